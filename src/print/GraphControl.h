#pragma once

#include "print/GraphProperties.h"

#include <QWidget>

class QPagedPaintDevice;
class QPrinter;

namespace nerova {

// The graph control of the curve sheet: a GraphProperties shown in a widget, redrawn on
// every property change, and printed or saved as PDF on US Letter as it is last shown.
class TFlpGrf : public QWidget, public GraphProperties {
    Q_OBJECT

public:
    explicit TFlpGrf(QWidget* parent = nullptr);

    // Dots per inch for the print qualities -1 draft … -4 high; 0 for any other value,
    // which leaves the printer's own resolution alone.
    static int resolutionForQuality(int quality);

    // 2: offers the print dialog (through the prompt seam, so a machine without a printer
    // can print to a PDF file) and prints the sheet there. Answers true when printed.
    bool printNow(int how = 2);
    // Writes the sheet to a one-page PDF file; false when the file cannot be written.
    bool writePdf(const QString& path) const;

    // Lays out the printer's page (US Letter, orientation, resolution) for this sheet.
    void preparePrinter(QPrinter& printer) const;
    // Draws the sheet over the whole printable area of an open paged device.
    void paintSheet(QPainter& painter, const QRectF& area) const;

    QSize sizeHint() const override { return {720, 520}; }

protected:
    void changed() override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool paintOn(QPagedPaintDevice& device) const;
};

} // namespace nerova
