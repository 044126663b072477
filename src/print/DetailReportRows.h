#pragma once

#include "report/ReportDocument.h"

#include <QString>
#include <QVector>

namespace nerova {

class Table;

// Rows that the detail report and the summary report print alike: the identifier row,
// a party's name and address block, and the pump's maker and rating lines.
class DetailReportRows {
public:
    static constexpr double kValueX = 37.0;     // company and location sections
    static constexpr double kPumpValueX = 37.6; // pump and equipment sections
    static constexpr double kSecondX = 64.0;    // second caption-value group
    static constexpr double kSecondValueX = 100.0;
    static constexpr double kThirdX = 117.0;
    static constexpr double kThirdValueX = 153.0;

    // "ID:  " and the row's identifier.
    static ReportRow identifier(const Table& table, const QString& column, double valueX,
                                bool printed);
    // Name, address, second address line, composed city line and contact name of a
    // company or location; shown false hides them all (a location marked the same as its
    // company).
    static QVector<ReportRow> nameAndAddress(const Table& party, bool shown);
    // Manufacturer with label, model number and serial number of the pump itself.
    static QVector<ReportRow> pumpMaker(const Table& pump);
    // The three rating lines: churn, 100 % and 150 %.
    static ReportRow rating(const Table& pump, double valueX);
};

} // namespace nerova
