#include "report/ReportLayout.h"

#include "report/ReportMetrics.h"

#include <algorithm>

namespace nerova {

namespace {

// Rounding slack: positions come from sums of fractional millimetres.
constexpr double eps = 0.001;

// Where the text of an item ends, for an item that follows it.
double textEnd(double x, double width, double textWidth, Qt::Alignment alignment) {
    if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        return x + width;
    if (alignment & Qt::AlignHCenter)
        return x + (width + textWidth) / 2.0;
    return x + textWidth;
}

ReportRow withPageNumbers(ReportRow row, int page, qsizetype pageCount) {
    const QString number = QString::number(page);
    const QString count = QString::number(pageCount);
    for (ReportItem& item : row.items) {
        item.text.replace(QLatin1String(ReportDocument::pageNumberToken), number);
        item.text.replace(QLatin1String(ReportDocument::pageCountToken), count);
    }
    return row;
}

} // namespace

ReportLayout::ReportLayout(const ReportDocument& document) : m_doc(document) {}

QVector<ReportPage> ReportLayout::layOut(const ReportDocument& document) {
    return ReportLayout(document).pages();
}

QVector<ReportPage> ReportLayout::pages() {
    m_pages.clear();
    m_breakPending = false;
    m_headerHeight = m_doc.header ? rowBox(*m_doc.header).height : 0.0;
    m_footerHeight = m_doc.footer ? rowBox(*m_doc.footer).height : 0.0;

    newPage();
    if (m_doc.title) {
        const Box title = rowBox(*m_doc.title);
        emitBox(title, m_y, 0);
        m_y += title.height;
        m_breakPending = m_doc.titleOnOwnPage;
    }
    for (const ReportSection& section : m_doc.sections)
        layOutSection(section);
    addHeaderAndFooter();
    return m_pages;
}

ReportLayout::Box ReportLayout::rowBox(const ReportRow& row) const {
    Box box;
    box.height = row.height;
    double previousEnd = 0.0;
    QVector<double> candidates;

    for (const ReportItem& item : row.items) {
        const double x = item.followsPrevious ? previousEnd + item.x : item.x;
        ReportPageItem out;
        out.x = x;
        out.y = item.y;
        out.font = item.font;
        switch (item.kind) {
        case ReportItem::Kind::Caption:
        case ReportItem::Kind::Field: {
            const double textWidth = ReportMetrics::textWidth(item.text, item.font);
            out.text = item.text;
            out.width = item.width > 0.0 ? item.width : textWidth;
            out.height = ReportMetrics::lineHeight(item.font);
            out.alignment = item.width > 0.0 ? item.alignment : Qt::AlignLeft;
            previousEnd = textEnd(x, out.width, textWidth, out.alignment);
            box.items.append(out);
            break;
        }
        case ReportItem::Kind::Memo: {
            const double width =
                item.width > 0.0 ? item.width : m_doc.page.bodyWidth() - std::max(0.0, x);
            const double spacing = ReportMetrics::lineSpacing(item.font);
            const QStringList lines = ReportMetrics::wrap(item.text, item.font, width);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const double top = item.y + static_cast<double>(i) * spacing;
                if (i > 0)
                    candidates.append(top);
                if (lines.at(i).isEmpty())
                    continue;
                ReportPageItem line = out;
                line.y = top;
                line.width = width;
                line.height = spacing;
                line.text = lines.at(i);
                box.items.append(line);
            }
            box.height = std::max(box.height, item.y + static_cast<double>(lines.size()) * spacing);
            previousEnd = x + width;
            break;
        }
        case ReportItem::Kind::Line:
        case ReportItem::Kind::Rectangle:
            out.kind = item.kind == ReportItem::Kind::Line ? ReportPageItem::Kind::Line
                                                           : ReportPageItem::Kind::Rectangle;
            out.width = item.width;
            out.height = item.height;
            previousEnd = x + item.width;
            box.items.append(out);
            break;
        case ReportItem::Kind::Drawing:
            out.kind = ReportPageItem::Kind::Drawing;
            out.width = item.width;
            out.height = item.height;
            out.paint = item.paint;
            previousEnd = x + item.width;
            box.items.append(out);
            break;
        }
    }

    // A row may only be split where nothing straddles the cut.
    for (double cut : candidates) {
        const bool clean =
            std::none_of(box.items.cbegin(), box.items.cend(), [cut](const auto& it) {
                return it.y < cut - eps && it.y + it.height > cut + eps;
            });
        if (clean && cut > eps && cut < box.height - eps)
            box.breaks.append(cut);
    }
    std::sort(box.breaks.begin(), box.breaks.end());
    return box;
}

ReportLayout::Box ReportLayout::blockLineBox(const QVector<ReportBlock>& blocks,
                                             const QVector<double>& columns) const {
    Box line;
    for (qsizetype i = 0; i < blocks.size() && i < columns.size(); ++i) {
        const ReportBlock& block = blocks.at(i);
        const double left = columns.at(i);
        double y = 0.0;
        for (const ReportRow& row : block.rows) {
            if (!row.printed)
                continue;
            const Box box = rowBox(row);
            for (ReportPageItem item : box.items) {
                item.x += left;
                item.y += y;
                line.items.append(item);
            }
            y += box.height;
        }
        const double height = std::max(y, block.minHeight);
        if (block.framed) {
            ReportPageItem frame;
            frame.kind = ReportPageItem::Kind::Rectangle;
            frame.x = left;
            frame.width = block.width;
            frame.height = height;
            line.items.append(frame);
        }
        line.height = std::max(line.height, height);
    }
    return line;
}

void ReportLayout::layOutSection(const ReportSection& section) {
    QVector<Box> boxes;
    QVector<double> gaps;
    qsizetype headingCount = 0;
    for (const ReportRow& row : section.heading) {
        if (row.printed) {
            boxes.append(rowBox(row));
            boxes.last().keepWithNext = true;
            ++headingCount;
        }
    }
    for (const ReportRow& row : section.rows) {
        if (row.printed) {
            boxes.append(rowBox(row));
            boxes.last().keepWithNext = row.keepWithNext;
        }
    }
    gaps.fill(0.0, boxes.size());
    const qsizetype perLine = section.gridColumns.size();
    if (perLine > 0) {
        for (qsizetype i = 0; i < section.blocks.size(); i += perLine) {
            gaps.append(boxes.isEmpty() ? 0.0 : section.gridSpacing);
            boxes.append(blockLineBox(section.blocks.mid(i, perLine), section.gridColumns));
        }
    }
    if (boxes.isEmpty())
        return; // a section that prints nothing leaves no space either
    gaps[0] = section.spaceBefore;

    if (m_breakPending || (section.newPage && !atTop())) {
        m_breakPending = false;
        newPage();
    }

    // Height that has to fit below the current position for the section to stay here.
    const double pageHeight = bodyHeight(m_pages.size()); // any page after this one
    auto heightOf = [&](qsizetype count) {
        double sum = 0.0;
        for (qsizetype i = 0; i < count; ++i) {
            const Box& box = boxes.at(i);
            double h = box.height;
            // Of a last box that must be split anyway only its first piece has to fit.
            if (i == count - 1 && h > pageHeight && !box.breaks.isEmpty())
                h = box.breaks.first();
            sum += (i > 0 ? gaps.at(i) : 0.0) + h;
        }
        return sum;
    };
    double needed = 0.0;
    if (section.keep == ReportSection::Keep::Whole)
        needed = heightOf(boxes.size());
    if (section.keep == ReportSection::Keep::HeadingWithFirstRow ||
        (section.keep == ReportSection::Keep::Whole && needed > pageHeight + eps))
        needed = heightOf(std::min(headingCount + 1, boxes.size()));
    if (section.keep != ReportSection::Keep::None && !atTop() &&
        m_y + gaps.at(0) + needed > m_bottom + eps && needed <= pageHeight + eps)
        newPage();

    for (qsizetype i = 0; i < boxes.size(); ++i) {
        // A box kept with the next one (and that with its next, …) moves on with them when
        // they do not fit below it together.
        if (boxes.at(i).keepWithNext && i + 1 < boxes.size() && !atTop()) {
            qsizetype last = i + 1;
            while (last + 1 < boxes.size() && boxes.at(last).keepWithNext)
                ++last;
            double together = gaps.at(i);
            for (qsizetype k = i; k <= last; ++k) {
                const Box& box = boxes.at(k);
                // Of a last box taller than a page only its first piece has to fit.
                const double h = k == last && box.height > pageHeight && !box.breaks.isEmpty()
                                     ? box.breaks.first()
                                     : box.height;
                together += (k > i ? gaps.at(k) : 0.0) + h;
            }
            if (m_y + together > m_bottom + eps && together - gaps.at(i) <= pageHeight + eps)
                newPage();
        }
        place(boxes.at(i), gaps.at(i));
    }
}

void ReportLayout::place(Box box, double gap) {
    if (m_breakPending) {
        m_breakPending = false;
        newPage();
    }
    if (!atTop())
        m_y += gap; // space above a row is never carried to the top of a page
    const double pageHeight = bodyHeight(m_pages.size());
    for (;;) {
        const double available = m_bottom - m_y;
        if (box.height <= available + eps) {
            emitBox(box, m_y, m_pages.size() - 1);
            m_y += box.height;
            return;
        }
        if (!atTop() && box.height <= pageHeight + eps) {
            newPage();
            continue;
        }
        // Taller than a page: break it at the lowest cut that still fits here.
        double cut = 0.0;
        for (double b : box.breaks) {
            if (b <= available + eps)
                cut = b;
        }
        if (cut <= 0.0) {
            if (!atTop()) {
                newPage();
                continue;
            }
            // Nothing to break at: it runs past the foot of the page.
            emitBox(box, m_y, m_pages.size() - 1);
            m_y += box.height;
            return;
        }
        Box head;
        Box rest;
        head.height = cut;
        rest.height = box.height - cut;
        for (const ReportPageItem& item : std::as_const(box.items)) {
            if (item.y < cut - eps) {
                head.items.append(item);
            } else {
                ReportPageItem moved = item;
                moved.y -= cut;
                rest.items.append(moved);
            }
        }
        for (double b : std::as_const(box.breaks)) {
            if (b > cut + eps)
                rest.breaks.append(b - cut);
        }
        emitBox(head, m_y, m_pages.size() - 1);
        newPage();
        box = rest;
    }
}

void ReportLayout::emitBox(const Box& box, double top, qsizetype pageIndex) {
    ReportPage& page = m_pages[pageIndex];
    for (ReportPageItem item : box.items) {
        item.x += m_doc.page.marginLeft;
        item.y += top;
        page.items.append(item);
    }
}

void ReportLayout::newPage() {
    ReportPage page;
    page.width = m_doc.page.width;
    page.height = m_doc.page.height;
    m_pages.append(page);
    m_y = bodyTop(m_pages.size() - 1);
    m_bottom = bodyBottom(m_pages.size() - 1);
}

void ReportLayout::addHeaderAndFooter() {
    const qsizetype count = m_pages.size();
    for (qsizetype i = 0; i < count; ++i) {
        const int number = static_cast<int>(i) + 1;
        if (hasHeader(i))
            emitBox(rowBox(withPageNumbers(*m_doc.header, number, count)), m_doc.page.marginTop, i);
        if (hasFooter(i))
            emitBox(rowBox(withPageNumbers(*m_doc.footer, number, count)),
                    m_doc.page.height - m_doc.page.marginBottom - m_footerHeight, i);
    }
}

bool ReportLayout::hasHeader(qsizetype pageIndex) const {
    return m_doc.header && (pageIndex > 0 || m_doc.headerOnFirstPage);
}

bool ReportLayout::hasFooter(qsizetype pageIndex) const {
    return m_doc.footer && (pageIndex > 0 || m_doc.footerOnFirstPage);
}

double ReportLayout::bodyTop(qsizetype pageIndex) const {
    return m_doc.page.marginTop + (hasHeader(pageIndex) ? m_headerHeight : 0.0);
}

double ReportLayout::bodyBottom(qsizetype pageIndex) const {
    return m_doc.page.height - m_doc.page.marginBottom -
           (hasFooter(pageIndex) ? m_footerHeight + m_doc.footerGap : 0.0);
}

double ReportLayout::bodyHeight(qsizetype pageIndex) const {
    return bodyBottom(pageIndex) - bodyTop(pageIndex);
}

bool ReportLayout::atTop() const {
    return m_y <= bodyTop(m_pages.size() - 1) + eps;
}

} // namespace nerova
