#include "print/SummaryReportFrmU.h"

#include "print/SummaryReport.h"
#include "report/ReportLayout.h"
#include "report/ReportPainter.h"
#include "report/ReportPreview.h"

#include <QPrintPreviewDialog>
#include <QWidget>

namespace nerova {

TSummaryReportFrm::TSummaryReportFrm(Database& db, const PreferencesRecord& preferences,
                                     QWidget* parent)
    : QObject(parent), m_parentWidget(parent), m_preferences(preferences), m_feed(db, 4),
      m_source(m_preferences, false) {}

TSummaryReportFrm::~TSummaryReportFrm() = default;

bool TSummaryReportFrm::position(const QStringList& ids) {
    return m_feed.position(ids);
}

ReportDocument TSummaryReportFrm::document() const {
    return SummaryReport::build(m_feed, m_preferences, m_source, m_includeEvaluation);
}

QVector<ReportPage> TSummaryReportFrm::pages() const {
    return ReportLayout::layOut(document());
}

bool TSummaryReportFrm::writePdf(const QString& path) const {
    return ReportPainter(pages()).writePdf(path);
}

void TSummaryReportFrm::preview() {
    ReportPreview preview(pages());
    preview.setPdfName(m_feed.pdfName(QStringLiteral("Summary Report")));
    m_preview = &preview;
    connect(&preview, &ReportPreview::printingComplete, this,
            &TSummaryReportFrm::SummaryReportPrintingComplete);
    preview.exec(m_parentWidget);
    m_preview = nullptr;
}

void TSummaryReportFrm::SummaryReportPrintingComplete() {
    if (m_preview && m_preview->dialog())
        m_preview->dialog()->accept();
}

QVariant TSummaryReportFrm::ppJITPipeline1GetFieldValue(const QString& name) const {
    return m_source.fieldValue(name);
}

QString TSummaryReportFrm::ppJITPipeline1GetFieldAsString(const QString& name) const {
    return m_source.fieldAsString(name);
}

} // namespace nerova
