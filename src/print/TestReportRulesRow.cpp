#include "print/TestReportRulesRow.h"

#include "report/ReportMetrics.h"

namespace nerova {

namespace {

// One text line of a row: 5 mm at 12 point, in proportion for other sizes.
double lineHeightFor(double pointSize) {
    return 5.0 * pointSize / 12.0;
}

} // namespace

TestReportRulesRow::TestReportRulesRow(const Table* table, double pointSize)
    : m_table(table), m_pointSize(pointSize), m_lineHeight(lineHeightFor(pointSize)) {
    m_row.height = m_lineHeight;
}

ReportFont TestReportRulesRow::captionFont() const {
    return ReportFont::arial(m_pointSize, false, m_underline);
}

ReportFont TestReportRulesRow::valueFont() const {
    return ReportFont::arial(m_pointSize, true);
}

QString TestReportRulesRow::value(const QString& column, FieldFormat format) const {
    return m_table ? TestReportRulesFormat::field(*m_table, column, format) : QString();
}

TestReportRulesRow& TestReportRulesRow::add(ReportItem item) {
    item.y = m_line * m_lineHeight;
    m_row.items.append(item);
    return *this;
}

TestReportRulesRow& TestReportRulesRow::pairText(double captionX, double valueX,
                                                 const QString& caption, const QString& value) {
    const ReportFont font = captionFont();
    ReportItem valueItem = ReportItem::field(valueX, 0.0, value, Qt::AlignLeft, valueFont());
    if (ReportMetrics::textWidth(caption, font) > valueX - captionX) {
        add(ReportItem::caption(captionX, 0.0, caption, Qt::AlignLeft, font));
        valueItem.x = 0.0;
        valueItem.followsPrevious = true;
    } else {
        add(ReportItem::caption(captionX, valueX - captionX, caption, Qt::AlignRight, font));
    }
    return add(valueItem);
}

TestReportRulesRow& TestReportRulesRow::pair(double captionX, double valueX, const QString& caption,
                                             const QString& column, FieldFormat format) {
    return pairText(captionX, valueX, caption, value(column, format));
}

TestReportRulesRow& TestReportRulesRow::label(double captionX, double valueX,
                                              const QString& caption) {
    const ReportFont font = captionFont();
    if (ReportMetrics::textWidth(caption, font) > valueX - captionX)
        return add(ReportItem::caption(captionX, 0.0, caption, Qt::AlignLeft, font));
    return add(ReportItem::caption(captionX, valueX - captionX, caption, Qt::AlignRight, font));
}

TestReportRulesRow& TestReportRulesRow::caption(double x, const QString& text, double width,
                                                Qt::Alignment alignment) {
    return add(ReportItem::caption(x, width, text, alignment, captionFont()));
}

TestReportRulesRow& TestReportRulesRow::boldCaption(double x, const QString& text, double width,
                                                    Qt::Alignment alignment) {
    return add(ReportItem::caption(x, width, text, alignment, valueFont()));
}

TestReportRulesRow& TestReportRulesRow::field(double x, const QString& column, FieldFormat format,
                                              double width, Qt::Alignment alignment) {
    return text(x, value(column, format), width, alignment);
}

TestReportRulesRow& TestReportRulesRow::text(double x, const QString& value, double width,
                                             Qt::Alignment alignment) {
    return add(ReportItem::field(x, width, value, alignment, valueFont()));
}

TestReportRulesRow& TestReportRulesRow::memo(double x, double width, const QString& column) {
    return add(ReportItem::memo(x, width, value(column), valueFont()));
}

TestReportRulesRow& TestReportRulesRow::unit(const QString& caption) {
    ReportItem item = ReportItem::caption(0.0, 0.0, caption, Qt::AlignLeft, captionFont());
    item.followsPrevious = true;
    return add(item);
}

TestReportRulesRow& TestReportRulesRow::thenText(const QString& value) {
    ReportItem item = ReportItem::field(0.0, 0.0, value, Qt::AlignLeft, valueFont());
    item.followsPrevious = true;
    return add(item);
}

TestReportRulesRow& TestReportRulesRow::thenField(const QString& column, FieldFormat format) {
    return thenText(value(column, format));
}

TestReportRulesRow& TestReportRulesRow::next() {
    ++m_line;
    m_row.height = (m_line + 1) * m_lineHeight;
    return *this;
}

TestReportRulesRow& TestReportRulesRow::underline() {
    m_underline = true;
    return *this;
}

TestReportRulesRow& TestReportRulesRow::when(bool printed) {
    m_row.printed = printed;
    return *this;
}

ReportRow TestReportRulesRow::finished() const {
    return m_row;
}

} // namespace nerova
