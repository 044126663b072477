#include "print/ReportRulesRow.h"

#include "report/ReportMetrics.h"

namespace nerova {

namespace {

// One text line of a row: 5 mm at 12 point, in proportion for other sizes.
double lineHeightFor(double pointSize) {
    return 5.0 * pointSize / 12.0;
}

} // namespace

ReportRulesRow::ReportRulesRow(const Table* table, double pointSize)
    : m_table(table), m_pointSize(pointSize), m_lineHeight(lineHeightFor(pointSize)) {
    m_row.height = m_lineHeight;
}

ReportFont ReportRulesRow::captionFont() const {
    return ReportFont::arial(m_pointSize, false, m_underline);
}

ReportFont ReportRulesRow::valueFont() const {
    return ReportFont::arial(m_pointSize, true);
}

QString ReportRulesRow::value(const QString& column, FieldFormat format) const {
    return m_table ? ReportRulesFormat::field(*m_table, column, format) : QString();
}

ReportRulesRow& ReportRulesRow::add(ReportItem item) {
    item.y = m_line * m_lineHeight;
    m_row.items.append(item);
    return *this;
}

ReportRulesRow& ReportRulesRow::pairText(double captionX, double valueX, const QString& caption,
                                         const QString& value) {
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

ReportRulesRow& ReportRulesRow::pair(double captionX, double valueX, const QString& caption,
                                     const QString& column, FieldFormat format) {
    return pairText(captionX, valueX, caption, value(column, format));
}

ReportRulesRow& ReportRulesRow::label(double captionX, double valueX, const QString& caption) {
    const ReportFont font = captionFont();
    if (ReportMetrics::textWidth(caption, font) > valueX - captionX)
        return add(ReportItem::caption(captionX, 0.0, caption, Qt::AlignLeft, font));
    return add(ReportItem::caption(captionX, valueX - captionX, caption, Qt::AlignRight, font));
}

ReportRulesRow& ReportRulesRow::caption(double x, const QString& text, double width,
                                        Qt::Alignment alignment) {
    return add(ReportItem::caption(x, width, text, alignment, captionFont()));
}

ReportRulesRow& ReportRulesRow::boldCaption(double x, const QString& text, double width,
                                            Qt::Alignment alignment) {
    return add(ReportItem::caption(x, width, text, alignment, valueFont()));
}

ReportRulesRow& ReportRulesRow::field(double x, const QString& column, FieldFormat format,
                                      double width, Qt::Alignment alignment) {
    return text(x, value(column, format), width, alignment);
}

ReportRulesRow& ReportRulesRow::text(double x, const QString& value, double width,
                                     Qt::Alignment alignment) {
    return add(ReportItem::field(x, width, value, alignment, valueFont()));
}

ReportRulesRow& ReportRulesRow::memo(double x, double width, const QString& column) {
    return add(ReportItem::memo(x, width, value(column), valueFont()));
}

ReportRulesRow& ReportRulesRow::unit(const QString& caption) {
    ReportItem item = ReportItem::caption(0.0, 0.0, caption, Qt::AlignLeft, captionFont());
    item.followsPrevious = true;
    return add(item);
}

ReportRulesRow& ReportRulesRow::thenText(const QString& value) {
    ReportItem item = ReportItem::field(0.0, 0.0, value, Qt::AlignLeft, valueFont());
    item.followsPrevious = true;
    return add(item);
}

ReportRulesRow& ReportRulesRow::thenField(const QString& column, FieldFormat format) {
    return thenText(value(column, format));
}

ReportRulesRow& ReportRulesRow::next() {
    ++m_line;
    m_row.height = (m_line + 1) * m_lineHeight;
    return *this;
}

ReportRulesRow& ReportRulesRow::underline() {
    m_underline = true;
    return *this;
}

ReportRulesRow& ReportRulesRow::when(bool printed) {
    m_row.printed = printed;
    return *this;
}

ReportRow ReportRulesRow::finished() const {
    return m_row;
}

} // namespace nerova
