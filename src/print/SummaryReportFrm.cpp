#include "print/SummaryReportFrm.h"

#include "print/SummaryReport.h"
#include "report/ReportPreview.h"

namespace nerova {

TSummaryReportFrm::TSummaryReportFrm(Database& db, const PreferencesRecord& preferences,
                                     QWidget* parent)
    : ReportHolder(db, preferences, parent, TableId::Test, QStringLiteral("Summary Report"),
                   false) {}

ReportDocument TSummaryReportFrm::document() const {
    return SummaryReport::build(m_feed, m_preferences, m_source, m_includeEvaluation);
}

void TSummaryReportFrm::SummaryReportPrintingComplete() {
    closePreview();
}

void TSummaryReportFrm::connectPrintingComplete(ReportPreview& preview) {
    connect(&preview, &ReportPreview::printingComplete, this,
            &TSummaryReportFrm::SummaryReportPrintingComplete);
}

} // namespace nerova
