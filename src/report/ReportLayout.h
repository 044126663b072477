#pragma once

#include "report/ReportDocument.h"
#include "report/ReportPage.h"

#include <QVector>

namespace nerova {

// Lays a ReportDocument onto pages.
//
// Page 1 opens with the title band; the body then flows section after section, row after
// row. A row that does not print takes no space. A row moves to the next page when it
// does not fit; a row taller than a whole page (a very long memo) is broken between its
// memo lines rather than cut off. Sections keep together as their Keep asks, unless the
// part to keep is taller than a page; a heading (or a row marked keepWithNext) always goes
// to the next page with the row after it. Lines of grid blocks move whole. Header and footer
// are added last, when the number of pages is known, so they can carry "Page N of M".
class ReportLayout {
public:
    explicit ReportLayout(const ReportDocument& document);

    QVector<ReportPage> pages();

    // Shorthand for ReportLayout(document).pages().
    static QVector<ReportPage> layOut(const ReportDocument& document);

private:
    // A row (or a line of blocks) measured and ready to place: items relative to the left
    // margin and the box's top, with the offsets at which it may be split.
    struct Box {
        double height = 0.0;
        QVector<ReportPageItem> items;
        QVector<double> breaks;
        bool keepWithNext = false;
    };

    Box rowBox(const ReportRow& row) const;
    Box blockLineBox(const QVector<ReportBlock>& blocks, const QVector<double>& columns) const;
    void layOutSection(const ReportSection& section);
    void place(Box box, double gap);
    void emitBox(const Box& box, double top, qsizetype pageIndex);
    void newPage();
    void addHeaderAndFooter();

    bool hasHeader(qsizetype pageIndex) const;
    bool hasFooter(qsizetype pageIndex) const;
    double bodyTop(qsizetype pageIndex) const;
    double bodyBottom(qsizetype pageIndex) const;
    double bodyHeight(qsizetype pageIndex) const;
    bool atTop() const;

    const ReportDocument& m_doc;
    QVector<ReportPage> m_pages;
    double m_headerHeight = 0.0;
    double m_footerHeight = 0.0;
    double m_y = 0.0;
    double m_bottom = 0.0;
    bool m_breakPending = false;
};

} // namespace nerova
