#pragma once

#include "flow/FlowPointDialog.h"

#include <array>

namespace nerova {

class FlowEntry;

// The flow of one flow point from up to eight hose monsters. A hose monster's coefficient
// follows from its size, so only sizes and pitot readings are entered; only the three sizes
// made (and 0 for a row not in use) can be stored. New points start from the size the
// test's discharge device names. The nozzle coefficients a point may hold are left alone.
class TFlowPointHoseMonsterDlg1 : public FlowPointDialog {
    Q_OBJECT
public:
    // test: the current test, whose discharge device gives the default size.
    TFlowPointHoseMonsterDlg1(Table& flow, Table& test, QWidget* parent = nullptr);

    void FormShow() override;
    void SaveFlowRow(Table& flow) override;
    // Accepts only when every size is one of the hose-monster sizes or 0.
    void OKBtnClick() override;

    // Recomputes hose monster k (1 to 8) and the total.
    void Calculate(int k);
    void ClearAllBtnClick();
    void RestoreDefaultsBtnClick();

    // Size1Field … Size8Field, Pitot1Field …, Flow1Label …, by index 0 to 7.
    std::array<FlowEntry*, 8> SizeFields{};
    std::array<FlowEntry*, 8> PitotFields{};
    std::array<QLabel*, 8> FlowLabels{};
    QLabel* TotalFlowLabel = nullptr;
    QPushButton* ClearAllBtn = nullptr;
    QPushButton* RestoreDefaultsBtn = nullptr;

    std::array<double, 8> MonsterFlow{};
    double TotalFlow = 0;

    static QString incorrectSizeMessage();

protected:
    QWidget* firstFocus() const override;

private:
    void buildLayout();
    void showFlows();
    double deviceSize() const;

    Table& m_test;
};

} // namespace nerova
