#pragma once

#include "prompt/Prompt.h"
#include "report/ReportPainter.h"

#include <QObject>
#include <QPrinter>

class QPrintPreviewDialog;
class QWidget;

namespace nerova {

// The modal on-screen preview of a laid-out report (Qt's print preview on US Letter, job
// name "Report"), with a "Save as PDF…" button beside Print.
//
// Print asks for the printer through the print dialog, prints, signals printingComplete
// and closes the preview by itself; closing the preview without printing simply ends it.
// Every modal window (the preview, the print dialog, the file chooser, error boxes) goes
// through the prompt seam. The seam defaults to the process-wide one, looked up by the
// caller, so this library needs no link to the controls library.
class ReportPreview : public QObject {
    Q_OBJECT

public:
    explicit ReportPreview(QVector<ReportPage> pages, Prompt& prompt = Prompt::instance(),
                           QObject* parent = nullptr);
    ~ReportPreview() override;

    // Shows the preview until it is closed; answers true when the report was printed.
    bool exec(QWidget* parent = nullptr);

    // The preview while exec() runs, else nullptr.
    QPrintPreviewDialog* dialog() const { return m_dialog; }

    // The name "Save as PDF…" proposes, e.g. from PdfFile::proposedName(); "Report.pdf"
    // unless set.
    void setPdfName(const QString& name) { m_pdfName = name; }
    const QString& pdfName() const { return m_pdfName; }

    // The toolbar's "Save as PDF…": asks for a file, proposing the PDF name in the folder
    // last saved into, and writes the pages to it.
    bool saveAsPdf();
    // The toolbar's Print: the print dialog, then the pages on the chosen printer.
    bool printReport();

    const QVector<ReportPage>& pages() const { return m_painter.pages(); }

Q_SIGNALS:
    // A print started from the preview has been sent to the printer.
    void printingComplete();

private:
    void paintPreview(QPrinter* printer);
    void fitToolBar(QPrintPreviewDialog& dialog);
    // Most of the screen, the pages as wide as the window: readable without zooming.
    static void fitScreen(QPrintPreviewDialog& dialog);

    ReportPainter m_painter;
    Prompt& m_prompt;
    QPrinter m_printer;
    QPrintPreviewDialog* m_dialog = nullptr;
    QString m_pdfName = QStringLiteral("Report.pdf");
    bool m_printed = false;
};

} // namespace nerova
