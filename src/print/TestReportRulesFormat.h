#pragma once

#include <QDate>
#include <QString>
#include <QTime>

class QLocale;

namespace nerova {

class Table;

// How a report field turns its column into text: an optional display mask and the
// blank-when-zero mark.
struct FieldFormat {
    const char* mask = nullptr;
    bool blankZero = false;
};

inline constexpr FieldFormat kPlain{};
inline constexpr FieldFormat kBlankZero{nullptr, true};

// The display masks the report layouts use ("#,0", "#,0.0;-#,0.0", "##.##" …) and the
// plain text of a column without one.
class TestReportRulesFormat {
public:
    // A number through a mask; an unknown mask falls back to the plain number.
    static QString number(double value, const char* mask);
    // A number in its shortest general form: 1750, 98.7.
    static QString plainNumber(double value);
    // A date in the system's short numeric form with the year in full: "7/31/2001" in the
    // United States and under the C locale, "31.07.2001" in Germany.
    static QString date(const QDate& date);
    static QString dateFormat(const QLocale& locale);
    static QString time(const QTime& time);

    // The text a field prints for the cursor's current row. An empty (null) value prints
    // nothing; so does a zero marked blank-when-zero.
    static QString field(const Table& table, const QString& column, FieldFormat format = kPlain);
};

} // namespace nerova
