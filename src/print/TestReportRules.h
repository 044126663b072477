#pragma once

#include <QString>
#include <QStringList>

namespace nerova {

class Table;

// The print rules of report rows. A row prints or not by one of a few families; the
// families rest on whether a column is "present" in the current row:
//  - text, date, time and memo columns when their text is not empty;
//  - number columns when their value is not zero (an empty number counts as zero);
//  - logical columns when they are true.
// Driver types compare exactly, letter case included: "electric" is no electric driver.
class TestReportRules {
public:
    static bool present(const Table& table, const QString& column);
    // any(columns): at least one listed column is present.
    static bool any(const Table& table, const QStringList& columns);

    // Whether the location's rows print at all: not when it is marked the same as its
    // company (an empty mark counts as not the same).
    static bool locationShown(const Table& location);
    // The driver-type tests of the electric and diesel families.
    static bool electricDriver(const Table& pump);
    static bool dieselDriver(const Table& pump);
    static bool electric(const Table& pump, const QStringList& columns);
    static bool diesel(const Table& pump, const QStringList& columns);
    // Point N (1 … 8) of the flow-point table prints when its net pressure is not zero.
    static bool point(const Table& test, int n);
};

} // namespace nerova
