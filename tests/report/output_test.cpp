#include "report/PdfFile.h"
#include "report/ReportLayout.h"
#include "report/ReportPainter.h"
#include "report/ReportPreview.h"
#include "support/ScriptedPrompt.h"
#include "support/TemporaryHome.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace nerova;
using nerova::test::ScriptedPrompt;

namespace {

QVector<ReportPage> threePages() {
    ReportDocument doc;
    ReportRow title;
    title.add(ReportItem::caption(0, doc.page.bodyWidth(), QStringLiteral("Fire Pump Test"),
                                  Qt::AlignHCenter, ReportFont::times(48)));
    doc.title = title;
    doc.titleOnOwnPage = true;
    ReportRow footer;
    footer.add(ReportItem::caption(0, 0, QStringLiteral("Page {page}"), Qt::AlignLeft,
                                   ReportFont::times(10)));
    doc.footer = footer;
    doc.footerOnFirstPage = false;
    ReportSection s;
    for (int i = 0; i < 70; ++i) {
        ReportRow row;
        row.add(ReportItem::field(0, 0, QStringLiteral("row %1").arg(i)));
        row.add(ReportItem::rectangle(100, 0, 20, 4));
        s.rows << row;
    }
    doc.sections << s;
    return ReportLayout::layOut(doc);
}

// What the PDF holds: its signature and the number of page objects.
struct PdfContents {
    QByteArray head;
    qsizetype pages = 0;
};

PdfContents readPdf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    static const QRegularExpression pageObject(QStringLiteral("/Type\\s*/Page[^s]"));
    return {data.left(5), QString::fromLatin1(data).count(pageObject)};
}

QAction* actionNamed(QDialog& dialog, const QString& text) {
    const QList<QAction*> actions = dialog.findChildren<QAction*>();
    for (QAction* action : actions) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class OutputTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The folder a PDF was saved into is remembered in the test area, never the user's.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void pdfName_data();
    void pdfName();
    // Before any PDF was saved: the documents folder, else the home folder.
    void firstPdfGoesToTheDocuments() {
        const nerova::test::TemporaryHome home;
        QCOMPARE(PdfFile::lastFolder(), home.documents());
        QVERIFY(QDir(home.documents()).removeRecursively());
        QCOMPARE(PdfFile::lastFolder(), home.path());
    }
    void writesEveryPageToPdf();
    void unwritablePdfFails();
    void previewSavesPdfAndClosesAfterPrinting();
    void previewClosedOrPrintCancelledPrintsNothing();
};

void OutputTest::pdfName_data() {
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("pump");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("demonstration test")
        << "ABC Paint Company"
        << "01" << QDate(2001, 7, 31)
        << "ABC Paint Company - Pump 01 - 2001-07-31 - Detail Report.pdf";
    QTest::newRow("characters no file name holds")
        << "A/B\\C: \"D\" <E>|F*?\tG"
        << "../1" << QDate(2001, 7, 31)
        << "A_B_C_ _D_ _E__F___G - Pump .._1 - 2001-07-31 - Detail Report.pdf";
    QTest::newRow("no pump, no date") << "ABC Paint Company"
                                      << "" << QDate() << "ABC Paint Company - Detail Report.pdf";
}

void OutputTest::pdfName() {
    QFETCH(QString, company);
    QFETCH(QString, pump);
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(PdfFile::proposedName(company, pump, date, QStringLiteral("Detail Report")), expected);
}

void OutputTest::writesEveryPageToPdf() {
    QTemporaryDir dir;
    const QVector<ReportPage> pages = threePages();
    QCOMPARE(pages.size(), 3);
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(ReportPainter(pages).writePdf(path));
    const PdfContents pdf = readPdf(path);
    QCOMPARE(pdf.head, QByteArray("%PDF-"));
    QCOMPARE(pdf.pages, 3);
}

void OutputTest::unwritablePdfFails() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/report.pdf"));
    QVERIFY(!ReportPainter(threePages()).writePdf(path));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!ReportPainter({}).writePdf(dir.filePath(QStringLiteral("empty.pdf"))));
}

void OutputTest::previewSavesPdfAndClosesAfterPrinting() {
    ScriptedPrompt prompt;
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("saved")); // no suffix typed
    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    prompt.files.enqueue(saved);

    ReportPreview preview(threePages());
    preview.setPdfName(QStringLiteral("Summary Report.pdf"));
    QSignalSpy complete(&preview, &ReportPreview::printingComplete);
    bool closedAfterPrint = false;
    bool readable = false;
    QString jobName;
    int previewPages = 0;
    QPageSize::PageSizeId paper = QPageSize::Custom;
    prompt.dialogs.enqueue([&](QDialog& dialog) {
        auto* qt = qobject_cast<QPrintPreviewDialog*>(&dialog);
        QAction* save = actionNamed(dialog, QStringLiteral("Save as PDF…"));
        QAction* print = actionNamed(dialog, QStringLiteral("Print"));
        if (!qt || !save || !print)
            return int(QDialog::Rejected);
        jobName = qt->printer()->docName();
        qt->show(); // the preview draws its pages when shown
        QApplication::processEvents();
        if (auto* view = qt->findChild<QPrintPreviewWidget*>()) {
            previewPages = view->pageCount();
            // Most of the screen, pages as wide as the window.
            const QSize screen = QGuiApplication::primaryScreen()->availableSize();
            readable = view->zoomMode() == QPrintPreviewWidget::FitToWidth &&
                       qt->width() >= screen.width() * 3 / 4 &&
                       qt->height() >= screen.height() * 3 / 4;
        }
        paper = qt->printer()->pageLayout().pageSize().id();
        save->trigger();
        print->trigger();
        closedAfterPrint = dialog.result() == QDialog::Accepted && !dialog.isVisible();
        return dialog.result();
    });
    // The print dialog: print pages 2 to 3 into a file instead of on a printer.
    prompt.dialogs.enqueue([&](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        if (!print)
            return int(QDialog::Rejected);
        print->printer()->setOutputFileName(printed);
        print->printer()->setPrintRange(QPrinter::PageRange);
        print->printer()->setFromTo(2, 3);
        return int(QDialog::Accepted);
    });

    QVERIFY(preview.exec());
    QCOMPARE(jobName, QStringLiteral("Report"));
    QCOMPARE(previewPages, 3);
    QCOMPARE(paper, QPageSize::Letter);
    QVERIFY(closedAfterPrint);
    QVERIFY(readable);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(prompt.dialogTitles.size(), 2);
    QVERIFY(prompt.dialogTitles.first().contains(QLatin1String("Report")));
    QVERIFY(prompt.messages.isEmpty());

    // The next save proposes the report's name in the folder saved into.
    QCOMPARE(PdfFile::lastFolder(), dir.path());
    QVERIFY(preview.saveAsPdf() == false);
    QCOMPARE(prompt.fileRequests.last().section(QLatin1Char('|'), 1, 1),
             dir.filePath(QStringLiteral("Summary Report.pdf")));

    const PdfContents savedPdf = readPdf(saved + QStringLiteral(".pdf"));
    QCOMPARE(savedPdf.head, QByteArray("%PDF-"));
    QCOMPARE(savedPdf.pages, 3);
    const PdfContents printedPdf = readPdf(printed);
    QCOMPARE(printedPdf.head, QByteArray("%PDF-"));
    QCOMPARE(printedPdf.pages, 2);
}

void OutputTest::previewClosedOrPrintCancelledPrintsNothing() {
    ScriptedPrompt prompt;
    ReportPreview preview(threePages());
    QSignalSpy complete(&preview, &ReportPreview::printingComplete);

    // Closed straight away.
    QVERIFY(!preview.exec());

    // Print dialog cancelled, Save as PDF cancelled: the preview stays until closed.
    bool stillOpen = false;
    prompt.dialogs.enqueue([&](QDialog& dialog) {
        actionNamed(dialog, QStringLiteral("Save as PDF…"))->trigger();
        actionNamed(dialog, QStringLiteral("Print"))->trigger();
        stillOpen = dialog.result() != QDialog::Accepted;
        return int(QDialog::Rejected);
    });
    prompt.dialogs.enqueue([](QDialog&) { return int(QDialog::Rejected); });
    QVERIFY(!preview.exec());
    QVERIFY(stillOpen);
    QCOMPARE(complete.count(), 0);
    QCOMPARE(prompt.fileRequests.size(), 1);
    QVERIFY(prompt.messages.isEmpty());

    // A file that cannot be written is reported, not passed over in silence.
    prompt.files.enqueue(QStringLiteral("/nonexistent-folder/report.pdf"));
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(!preview.saveAsPdf());
    QCOMPARE(prompt.messages.size(), 1);
    QCOMPARE(prompt.messages.first().kind, Prompt::Kind::Error);
}

QTEST_MAIN(OutputTest)
#include "output_test.moc"
