#pragma once

#include "print/ReportHolder.h"

namespace nerova {

// Holds the summary report: cursors down to the test, without the flow rows.
class TSummaryReportFrm : public ReportHolder {
    Q_OBJECT

public:
    TSummaryReportFrm(Database& db, const PreferencesRecord& preferences,
                      QWidget* parent = nullptr);

    ReportDocument document() const override;

public Q_SLOTS:
    // A print started from the preview is done: the preview closes.
    void SummaryReportPrintingComplete();

private:
    void connectPrintingComplete(ReportPreview& preview) override;
};

} // namespace nerova
