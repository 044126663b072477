#pragma once

#include "flow/FlowPointDeviceDialog.h"

namespace nerova {

// The flow of one flow point from up to eight hose monsters. A hose monster's coefficient
// follows from its size, so only sizes and pitot readings are entered; only the three sizes
// made (and 0 for a row not in use) can be stored. New points start from the size the
// test's discharge device names. The nozzle coefficients a point may hold are left alone.
class TFlowPointHoseMonsterDlg1 : public FlowPointDeviceDialog {
    Q_OBJECT
public:
    // test: the current test, whose discharge device gives the default size.
    TFlowPointHoseMonsterDlg1(Table& flow, Table& test, QWidget* parent = nullptr);

    // Accepts only when every size is one of the hose-monster sizes or 0.
    void OKBtnClick() override;

protected:
    void putDefaults() override;
    double rowFlow(int i) const override;

private:
    static QString incorrectSizeMessage();

    Table& m_test;
};

} // namespace nerova
