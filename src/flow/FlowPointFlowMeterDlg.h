#pragma once

#include "flow/FlowPointDialog.h"

namespace nerova {

class FlowEntry;

// The flow of one flow point read from a flow meter: one entry in whole gpm, stored as the
// point's total; the device columns a point may hold from other dialogs are left alone.
class TFlowPointFLowMeterDlg1 : public FlowPointDialog {
    Q_OBJECT
public:
    explicit TFlowPointFLowMeterDlg1(Table& flow, QWidget* parent = nullptr);

    void FormShow() override;
    void SaveFlowRow(Table& flow) override;

protected:
    QWidget* firstFocus() const override;

private:
    FlowEntry* FlowMeterField = nullptr;
};

} // namespace nerova
