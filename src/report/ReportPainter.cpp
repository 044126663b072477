#include "report/ReportPainter.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <utility>

namespace nerova {

namespace {

constexpr double mmPerInch = 25.4;
constexpr double ruleWidthMm = 0.25;

QPageLayout pageLayoutFor(const ReportPage& page) {
    const QPageSize size(QSizeF(page.width, page.height), QPageSize::Millimeter);
    const auto orientation =
        page.width > page.height ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(size, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void drawPage(QPainter& painter, const ReportPage& page, double dotsPerMmX, double dotsPerMmY) {
    auto toDevice = [&](const ReportPageItem& item) {
        return QRectF(item.x * dotsPerMmX, item.y * dotsPerMmY, item.width * dotsPerMmX,
                      item.height * dotsPerMmY);
    };
    QPen pen(Qt::black);
    pen.setWidthF(ruleWidthMm * dotsPerMmX);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const ReportPageItem& item : page.items) {
        const QRectF rect = toDevice(item);
        switch (item.kind) {
        case ReportPageItem::Kind::Text:
            painter.setFont(item.font.toQFont());
            painter.drawText(rect,
                             static_cast<int>(item.alignment | Qt::AlignTop) | Qt::TextDontClip |
                                 Qt::TextSingleLine,
                             item.text);
            break;
        case ReportPageItem::Kind::Line:
            painter.drawLine(rect.topLeft(), rect.bottomRight());
            break;
        case ReportPageItem::Kind::Rectangle:
            painter.drawRect(rect);
            break;
        case ReportPageItem::Kind::Drawing:
            if (item.paint && *item.paint) {
                painter.save();
                (*item.paint)(painter, rect);
                painter.restore();
            }
            break;
        }
    }
}

} // namespace

ReportPainter::ReportPainter(QVector<ReportPage> pages) : m_pages(std::move(pages)) {}

bool ReportPainter::paint(QPagedPaintDevice& device, qsizetype first, qsizetype last) const {
    if (last < 0 || last >= m_pages.size())
        last = m_pages.size() - 1;
    first = std::max<qsizetype>(first, 0);
    if (first > last)
        return false;

    device.setPageLayout(pageLayoutFor(m_pages.at(first)));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double dotsPerMmX = device.logicalDpiX() / mmPerInch;
    const double dotsPerMmY = device.logicalDpiY() / mmPerInch;
    for (qsizetype i = first; i <= last; ++i) {
        if (i > first) {
            const ReportPage& previous = m_pages.at(i - 1);
            const ReportPage& page = m_pages.at(i);
            // Printers refuse a new layout while painting; only a change of paper needs one.
            if (page.width != previous.width || page.height != previous.height)
                device.setPageLayout(pageLayoutFor(page));
            if (!device.newPage())
                return false;
        }
        drawPage(painter, m_pages.at(i), dotsPerMmX, dotsPerMmY);
    }
    return painter.end();
}

bool ReportPainter::writePdf(const QString& path) const {
    if (m_pages.isEmpty())
        return false;
    {
        QPdfWriter writer(path);
        writer.setResolution(1200);
        writer.setTitle(QStringLiteral("Report"));
        writer.setCreator(QStringLiteral("Nerova 2002"));
        if (paint(writer))
            return true;
    }
    // A half-written file is worse than none.
    QFile::remove(path);
    return false;
}

bool ReportPainter::print(QPrinter& printer) const {
    if (m_pages.isEmpty())
        return false;
    printer.setFullPage(true);
    qsizetype first = 0;
    qsizetype last = m_pages.size() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage() - 1;
        if (printer.toPage() > 0)
            last = std::min<qsizetype>(last, printer.toPage() - 1);
    }
    return paint(printer, first, last);
}

} // namespace nerova
