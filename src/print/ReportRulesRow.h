#pragma once

#include "print/ReportRulesFormat.h"
#include "report/ReportDocument.h"

#include <QString>

namespace nerova {

class Table;

// Builds one report row from the current row of a cursor, so a report layout reads like
// its list of captions and fields:
//
//     ReportRulesRow(pump).pair(0, 37.6, "Pump Type:  ", "Pump Type")
//                         .pair(64, 100, "RPM:  ", "Pump RPM", kBlankZero)
//                         .when(ReportRules::any(pump, {"Pump Type", "Pump RPM"}));
//
// Captions are regular, values bold; the font size is the row's (12 point unless told).
// next() starts a further line of a row that spans several lines.
class ReportRulesRow {
public:
    explicit ReportRulesRow(const Table* table = nullptr, double pointSize = 12.0);
    explicit ReportRulesRow(const Table& table, double pointSize = 12.0)
        : ReportRulesRow(&table, pointSize) {}

    // A caption that ends where its value begins at valueX, then the value. A caption too
    // wide for [captionX, valueX] starts at captionX and its value follows it.
    ReportRulesRow& pair(double captionX, double valueX, const QString& caption,
                         const QString& column, FieldFormat format = kPlain);
    // The same with a text of the report's own making as the value.
    ReportRulesRow& pairText(double captionX, double valueX, const QString& caption,
                             const QString& value);
    // A caption ending at valueX with nothing after it (a line such as "Elevations -  ").
    ReportRulesRow& label(double captionX, double valueX, const QString& caption);

    // Free-standing captions and values; width 0 means "as wide as the text".
    ReportRulesRow& caption(double x, const QString& text, double width = 0.0,
                            Qt::Alignment alignment = Qt::AlignLeft);
    ReportRulesRow& boldCaption(double x, const QString& text, double width = 0.0,
                                Qt::Alignment alignment = Qt::AlignLeft);
    ReportRulesRow& field(double x, const QString& column, FieldFormat format = kPlain,
                          double width = 0.0, Qt::Alignment alignment = Qt::AlignLeft);
    ReportRulesRow& text(double x, const QString& value, double width = 0.0,
                         Qt::Alignment alignment = Qt::AlignLeft);
    ReportRulesRow& memo(double x, double width, const QString& column);

    // Items that follow the previous one: a unit ("  psi"), a fixed bold text, a value.
    ReportRulesRow& unit(const QString& caption);
    ReportRulesRow& thenText(const QString& value);
    ReportRulesRow& thenField(const QString& column, FieldFormat format = kPlain);

    // A further line of the same row.
    ReportRulesRow& next();
    ReportRulesRow& underline();
    ReportRulesRow& when(bool printed);

    const ReportRow& row() const { return m_row; }
    operator ReportRow() const { return finished(); }
    ReportRow finished() const;

    // The text a field of this row's cursor prints.
    QString value(const QString& column, FieldFormat format = kPlain) const;

private:
    ReportRulesRow& add(ReportItem item);
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
