#pragma once

#include <QPointer>
#include <functional>

class QWidget;

namespace nerova {

class FlowPointDialog;
class PreferencesRecord;
class TableChain;
class TFlowPointFLowMeterDlg1;
class TFlowPointHoseMonsterDlg1;
class TFlowPointNozzleDlg1;

// Opens the flow dialog of a test's flow point and stores what it returns. The dialog is
// chosen by the test's discharge device; its readings go into the point's flow row (one row
// per test and point, stored at once), its total into the test's flow column (left in edit
// with the rest of the test's changes), and the point is evaluated again.
//
// The three dialogs are created here once and reused for every point.
class FlowPointDispatcher {
public:
    // calculateTest: evaluates a flow point of the current test (the main window's).
    // parent: the window the dialogs belong to; they are deleted with it or with this
    // dispatcher, whichever goes first.
    FlowPointDispatcher(TableChain& tables, PreferencesRecord& prefs,
                        std::function<void(int)> calculateTest, QWidget* parent = nullptr);
    ~FlowPointDispatcher();

    FlowPointDispatcher(const FlowPointDispatcher&) = delete;
    FlowPointDispatcher& operator=(const FlowPointDispatcher&) = delete;

    // The double-click on flow field n (1 to 8). Ignored while there is no test row.
    void FlowPointDialogs(int n);

    // The dialog FlowPointDialogs would open for a discharge-device value.
    FlowPointDialog& dialogFor(const QString& dischargeDevice);

    TFlowPointNozzleDlg1& nozzleDialog() { return *m_nozzle; }
    TFlowPointHoseMonsterDlg1& hoseMonsterDialog() { return *m_hoseMonster; }
    TFlowPointFLowMeterDlg1& flowMeterDialog() { return *m_flowMeter; }

private:
    void storeFlowRow(FlowPointDialog& dialog, bool found, int n);

    TableChain& m_tables;
    std::function<void(int)> m_calculateTest;
    QPointer<TFlowPointNozzleDlg1> m_nozzle;
    QPointer<TFlowPointHoseMonsterDlg1> m_hoseMonster;
    QPointer<TFlowPointFLowMeterDlg1> m_flowMeter;
};

} // namespace nerova
