#include "print/DetailReportFrmU.h"

#include "print/DetailReport.h"
#include "report/ReportLayout.h"
#include "report/ReportPainter.h"
#include "report/ReportPreview.h"

#include <QPrintPreviewDialog>
#include <QWidget>

namespace nerova {

TDetailReportFrm::TDetailReportFrm(Database& db, const PreferencesRecord& preferences,
                                   QWidget* parent)
    : QObject(parent), m_parentWidget(parent), m_preferences(preferences), m_feed(db, 5),
      m_source(m_preferences, true) {}

TDetailReportFrm::~TDetailReportFrm() = default;

bool TDetailReportFrm::position(const QStringList& ids) {
    return m_feed.position(ids);
}

ReportDocument TDetailReportFrm::document() const {
    return DetailReport::build(m_feed, m_preferences, m_source, m_includeEvaluation);
}

QVector<ReportPage> TDetailReportFrm::pages() const {
    return ReportLayout::layOut(document());
}

bool TDetailReportFrm::writePdf(const QString& path) const {
    return ReportPainter(pages()).writePdf(path);
}

void TDetailReportFrm::preview() {
    ReportPreview preview(pages());
    preview.setPdfName(m_feed.pdfName(QStringLiteral("Detail Report")));
    m_preview = &preview;
    connect(&preview, &ReportPreview::printingComplete, this,
            &TDetailReportFrm::DetailReportPrintingComplete);
    preview.exec(m_parentWidget);
    m_preview = nullptr;
}

void TDetailReportFrm::DetailReportPrintingComplete() {
    if (m_preview && m_preview->dialog())
        m_preview->dialog()->accept();
}

QVariant TDetailReportFrm::ppJITPipeline1GetFieldValue(const QString& name) const {
    return m_source.fieldValue(name);
}

QString TDetailReportFrm::ppJITPipeline1GetFieldAsString(const QString& name) const {
    return m_source.fieldAsString(name);
}

} // namespace nerova
