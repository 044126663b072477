#include "print/DetailReportFrm.h"

#include "print/DetailReport.h"
#include "report/ReportPreview.h"

namespace nerova {

TDetailReportFrm::TDetailReportFrm(Database& db, const PreferencesRecord& preferences,
                                   QWidget* parent)
    : ReportHolder(db, preferences, parent, TableId::Flow, QStringLiteral("Detail Report"), true) {}

ReportDocument TDetailReportFrm::document() const {
    return DetailReport::build(m_feed, m_preferences, m_source, m_includeEvaluation,
                               m_includeCurve);
}

void TDetailReportFrm::DetailReportPrintingComplete() {
    closePreview();
}

void TDetailReportFrm::connectPrintingComplete(ReportPreview& preview) {
    connect(&preview, &ReportPreview::printingComplete, this,
            &TDetailReportFrm::DetailReportPrintingComplete);
}

} // namespace nerova
