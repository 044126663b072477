#pragma once

#include "flow/FlowPointDeviceDialog.h"

namespace nerova {

class PreferencesRecord;

// The flow of one flow point from up to eight open nozzles (playpipes and the like): each
// nozzle's flow from its size, discharge coefficient and pitot reading. New points start
// from the preferred nozzle size and coefficient.
class TFlowPointNozzleDlg1 : public FlowPointDeviceDialog {
    Q_OBJECT
public:
    TFlowPointNozzleDlg1(Table& flow, const PreferencesRecord& prefs, QWidget* parent = nullptr);

protected:
    void putDefaults() override;
    double rowFlow(int i) const override;

private:
    const PreferencesRecord& m_prefs;
    // Coef1Field … Coef8Field, by index 0 to 7.
    std::array<FlowEntry*, kNozzleCount> CoefFields{};
};

} // namespace nerova
