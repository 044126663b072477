#include "report/ReportPreview.h"

#include "prompt/GuardedCommand.h"
#include "report/PdfFile.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QToolBar>

#include <utility>

namespace nerova {

namespace {

const char* const jobName = "Report";

// The preview's own actions carry translated texts and no object names.
QAction* previewAction(QPrintPreviewDialog& dialog, const char* text) {
    const QString wanted = QCoreApplication::translate("QPrintPreviewDialog", text);
    const QList<QAction*> actions = dialog.findChildren<QAction*>();
    for (QAction* action : actions) {
        if (action->text() == wanted)
            return action;
    }
    return nullptr;
}

} // namespace

ReportPreview::ReportPreview(QVector<ReportPage> pages, Prompt& prompt, QObject* parent)
    : QObject(parent), m_painter(std::move(pages)), m_prompt(prompt),
      m_printer(QPrinter::HighResolution) {
    m_printer.setDocName(QString::fromLatin1(jobName));
    m_printer.setFullPage(true);
    const ReportPage first = m_painter.pages().isEmpty() ? ReportPage() : m_painter.pages().first();
    m_printer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(first.width, first.height), QPageSize::Millimeter),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

ReportPreview::~ReportPreview() = default;

bool ReportPreview::exec(QWidget* parent) {
    m_printed = false;
    QPrintPreviewDialog dialog(&m_printer, parent);
    m_dialog = &dialog;
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &ReportPreview::paintPreview);
    fitToolBar(dialog);
    fitScreen(dialog);
    m_prompt.runDialog(dialog);
    m_dialog = nullptr;
    return m_printed;
}

void ReportPreview::fitToolBar(QPrintPreviewDialog& dialog) {
    // The pages are laid out for one paper and orientation; letting the user switch
    // either would only show them cut off or stretched.
    for (const char* text : {"Page setup", "Portrait", "Landscape"}) {
        if (QAction* action = previewAction(dialog, text))
            action->setVisible(false);
    }
    // Print goes through our own handler so that the print dialog runs through the prompt
    // seam and the preview knows when printing is done.
    if (QAction* print = previewAction(dialog, "Print")) {
        QObject::disconnect(print, nullptr, &dialog, nullptr);
        connect(print, &QAction::triggered, this,
                [this] { runGuarded(m_prompt, [this] { printReport(); }); });
    }
    if (auto* toolBar = dialog.findChild<QToolBar*>()) {
        toolBar->addSeparator();
        QAction* save = toolBar->addAction(QIcon::fromTheme(QStringLiteral("document-save-as")),
                                           QStringLiteral("Save as PDF…"));
        save->setParent(&dialog);
        connect(save, &QAction::triggered, this,
                [this] { runGuarded(m_prompt, [this] { saveAsPdf(); }); });
    }
}

void ReportPreview::fitScreen(QPrintPreviewDialog& dialog) {
    // Left to itself the preview opens small with the whole page fitted in: a strip of
    // text too small to read.
    const QScreen* screen =
        dialog.parentWidget() ? dialog.parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        QRect frame(QPoint(0, 0), available.size() * 0.8);
        frame.moveCenter(available.center());
        dialog.setGeometry(frame);
    }
    // Through the toolbar's own action, so that its button shows the mode in use.
    if (QAction* fitWidth = previewAction(dialog, "Fit width"))
        fitWidth->trigger();
    else if (auto* view = dialog.findChild<QPrintPreviewWidget*>())
        view->fitToWidth();
}

void ReportPreview::paintPreview(QPrinter* printer) {
    if (printer)
        m_painter.paint(*printer);
}

bool ReportPreview::saveAsPdf() {
    const QString path = PdfFile::ask(m_prompt, m_pdfName);
    if (path.isEmpty())
        return false;
    if (!m_painter.writePdf(path)) {
        m_prompt.message(Prompt::Kind::Error,
                         QStringLiteral("The file \"%1\" could not be written.")
                             .arg(QDir::toNativeSeparators(path)),
                         {Prompt::Button::Ok});
        return false;
    }
    PdfFile::saved(path);
    return true;
}

bool ReportPreview::printReport() {
    QPrintDialog printDialog(&m_printer, m_dialog);
    printDialog.setMinMax(1, static_cast<int>(m_painter.pages().size()));
    if (m_prompt.runDialog(printDialog) != QDialog::Accepted)
        return false;
    if (!m_painter.print(m_printer)) {
        m_prompt.message(Prompt::Kind::Error, QStringLiteral("The report could not be printed."),
                         {Prompt::Button::Ok});
        return false;
    }
    m_printed = true;
    Q_EMIT printingComplete();
    if (m_dialog)
        m_dialog->accept();
    return true;
}

} // namespace nerova
