#pragma once

#include "report/ReportPage.h"

#include <QString>
#include <QVector>

class QPagedPaintDevice;
class QPrinter;

namespace nerova {

// Draws laid-out pages on a paged device. Positions are millimetres from the paper's
// corner, so the device is set to the pages' paper size with no margins; fonts are given
// in points and keep their size at any device resolution.
class ReportPainter {
public:
    explicit ReportPainter(QVector<ReportPage> pages);

    // Draws pages first to last (0-based, inclusive; last < 0 means to the end) on a
    // device that has not been begun yet. False when the device cannot be painted on.
    bool paint(QPagedPaintDevice& device, qsizetype first = 0, qsizetype last = -1) const;

    // Writes every page to a PDF file titled "Report". False when the file cannot be
    // written.
    bool writePdf(const QString& path) const;

    // Prints on the printer as it was set up (printer choice, copies), honouring a page
    // range chosen in the print dialog. False when nothing could be printed.
    bool print(QPrinter& printer) const;

    const QVector<ReportPage>& pages() const { return m_pages; }

private:
    QVector<ReportPage> m_pages;
};

} // namespace nerova
