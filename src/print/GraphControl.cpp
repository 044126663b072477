#include "print/GraphControl.h"

#include "print/GraphPainter.h"
#include "prompt/Prompt.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

namespace nerova {

namespace {

const QMarginsF kSheetMargins(12.7, 12.7, 12.7, 12.7); // half an inch all round

QPageLayout::Orientation orientationOf(int code) {
    return code == 1 ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

TFlpGrf::TFlpGrf(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FlpGrf"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(400, 300);
}

int TFlpGrf::resolutionForQuality(int quality) {
    switch (quality) {
    case -1:
        return 150;
    case -2:
        return 300;
    case -3:
        return 600;
    case -4:
        return 1200;
    default:
        return 0;
    }
}

void TFlpGrf::changed() {
    update();
}

void TFlpGrf::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSheet(painter, QRectF(rect()));
}

void TFlpGrf::paintSheet(QPainter& painter, const QRectF& area) const {
    GraphPainter(*this).paint(painter, area);
}

void TFlpGrf::preparePrinter(QPrinter& printer) const {
    printer.setDocName(QStringLiteral("Pump Curve"));
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter),
                                      orientationOf(printOrientation()), kSheetMargins,
                                      QPageLayout::Millimeter));
    if (const int dpi = resolutionForQuality(printQuality()))
        printer.setResolution(dpi);
}

bool TFlpGrf::paintOn(QPagedPaintDevice& device) const {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRect page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    paintSheet(painter, QRectF(QPointF(0, 0), QSizeF(page.size())));
    return painter.end();
}

bool TFlpGrf::printNow(int how) {
    if (how != 2)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer);
    QPrintDialog dialog(&printer, window());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (Prompt::instance().runDialog(dialog) != QDialog::Accepted)
        return false;
    // The dialog may have swapped the printer or its output; the sheet's own page and
    // quality apply to whatever was chosen.
    preparePrinter(printer);
    return paintOn(printer);
}

bool TFlpGrf::writePdf(const QString& path) const {
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("Pump Curve"));
    writer.setCreator(QStringLiteral("Nerova 2002"));
    const int dpi = resolutionForQuality(printQuality());
    writer.setResolution(dpi ? dpi : 600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter),
                                     orientationOf(printOrientation()), kSheetMargins,
                                     QPageLayout::Millimeter));
    return paintOn(writer);
}

} // namespace nerova
