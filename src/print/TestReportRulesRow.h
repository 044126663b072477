#pragma once

#include "print/TestReportRulesFormat.h"
#include "report/ReportDocument.h"

#include <QString>

namespace nerova {

class Table;

// Builds one report row from the current row of a cursor, so a report layout reads like
// its list of captions and fields:
//
//     TestReportRulesRow(pump).pair(0, 37.6, "Pump Type:  ", "Pump Type")
//                         .pair(64, 100, "RPM:  ", "Pump RPM", kBlankZero)
//                         .when(TestReportRules::any(pump, {"Pump Type", "Pump RPM"}));
//
// Captions are regular, values bold; the font size is the row's (12 point unless told).
// next() starts a further line of a row that spans several lines.
class TestReportRulesRow {
public:
    explicit TestReportRulesRow(const Table* table = nullptr, double pointSize = 12.0);
    explicit TestReportRulesRow(const Table& table, double pointSize = 12.0)
        : TestReportRulesRow(&table, pointSize) {}

    // A caption that ends where its value begins at valueX, then the value. A caption too
    // wide for [captionX, valueX] starts at captionX and its value follows it.
    TestReportRulesRow& pair(double captionX, double valueX, const QString& caption,
                             const QString& column, FieldFormat format = kPlain);
    // The same with a text of the report's own making as the value.
    TestReportRulesRow& pairText(double captionX, double valueX, const QString& caption,
                                 const QString& value);
    // A caption ending at valueX with nothing after it (a line such as "Elevations -  ").
    TestReportRulesRow& label(double captionX, double valueX, const QString& caption);

    // Free-standing captions and values; width 0 means "as wide as the text".
    TestReportRulesRow& caption(double x, const QString& text, double width = 0.0,
                                Qt::Alignment alignment = Qt::AlignLeft);
    TestReportRulesRow& boldCaption(double x, const QString& text, double width = 0.0,
                                    Qt::Alignment alignment = Qt::AlignLeft);
    TestReportRulesRow& field(double x, const QString& column, FieldFormat format = kPlain,
                              double width = 0.0, Qt::Alignment alignment = Qt::AlignLeft);
    TestReportRulesRow& text(double x, const QString& value, double width = 0.0,
                             Qt::Alignment alignment = Qt::AlignLeft);
    TestReportRulesRow& memo(double x, double width, const QString& column);

    // Items that follow the previous one: a unit ("  psi"), a fixed bold text, a value.
    TestReportRulesRow& unit(const QString& caption);
    TestReportRulesRow& thenText(const QString& value);
    TestReportRulesRow& thenField(const QString& column, FieldFormat format = kPlain);

    // A further line of the same row.
    TestReportRulesRow& next();
    TestReportRulesRow& underline();
    TestReportRulesRow& when(bool printed);

    const ReportRow& row() const { return m_row; }
    operator ReportRow() const { return finished(); }
    ReportRow finished() const;

    // The text a field of this row's cursor prints.
    QString value(const QString& column, FieldFormat format = kPlain) const;

private:
    TestReportRulesRow& add(ReportItem item);
    ReportFont captionFont() const;
    ReportFont valueFont() const;

    const Table* m_table;
    double m_pointSize;
    double m_lineHeight;
    int m_line = 0;
    bool m_underline = false;
    ReportRow m_row;
};

} // namespace nerova
