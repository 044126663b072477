#pragma once

#include "flow/FlowPointDialog.h"

#include <array>

namespace nerova {

class FlowEntry;
class PreferencesRecord;

// The flow of one flow point from up to eight open nozzles (playpipes and the like): each
// nozzle's flow from its size, discharge coefficient and pitot reading, and the point's
// total as the sum of the rounded nozzle flows. New points start from the preferred nozzle
// size and coefficient.
class TFlowPointNozzleDlg1 : public FlowPointDialog {
    Q_OBJECT
public:
    TFlowPointNozzleDlg1(Table& flow, const PreferencesRecord& prefs, QWidget* parent = nullptr);

    void FormShow() override;
    void SaveFlowRow(Table& flow) override;

    // Recomputes nozzle k (1 to 8) and the total.
    void Calculate(int k);
    void ClearAllBtnClick();
    void RestoreDefaultsBtnClick();

    // Size1Field … Size8Field, Coef1Field …, Pitot1Field …, Flow1Label …, by index 0 to 7.
    std::array<FlowEntry*, 8> SizeFields{};
    std::array<FlowEntry*, 8> CoefFields{};
    std::array<FlowEntry*, 8> PitotFields{};
    std::array<QLabel*, 8> FlowLabels{};
    QLabel* TotalFlowLabel = nullptr;
    QPushButton* ClearAllBtn = nullptr;
    QPushButton* RestoreDefaultsBtn = nullptr;

    // The unrounded flow of each nozzle and the point's whole-number total: what OK saves.
    std::array<double, 8> NozzleFlow{};
    double TotalFlow = 0;

protected:
    QWidget* firstFocus() const override;

private:
    void buildLayout();
    // Shows flows and total as they stand in the working values.
    void showFlows();
    double preferredSize() const;
    double preferredCoefficient() const;

    const PreferencesRecord& m_prefs;
};

} // namespace nerova
