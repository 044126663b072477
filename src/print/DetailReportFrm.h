#pragma once

#include "print/ReportHolder.h"

namespace nerova {

// Holds the detail report: cursors down to the flow rows and the whole letterhead.
class TDetailReportFrm : public ReportHolder {
    Q_OBJECT

public:
    TDetailReportFrm(Database& db, const PreferencesRecord& preferences, QWidget* parent = nullptr);

    ReportDocument document() const override;

public Q_SLOTS:
    // A print started from the preview is done: the preview closes.
    void DetailReportPrintingComplete();

private:
    void connectPrintingComplete(ReportPreview& preview) override;
};

} // namespace nerova
