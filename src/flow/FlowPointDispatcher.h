#pragma once

#include <QList>
#include <QPointer>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <map>

class QWidget;

namespace nerova {

class FlowPointDialog;
class PreferencesRecord;
class TableChain;
class TFlowPointFLowMeterDlg1;
class TFlowPointHoseMonsterDlg1;
class TFlowPointNozzleDlg1;

// Opens the flow dialog of a test's flow point and keeps what it returns. The dialog is
// chosen by the test's discharge device; its total goes into the test's flow column (left in
// edit with the rest of the test's changes) and the point is evaluated again.
//
// The readings belong to that edit of the test: the point's flow row (one row per test and
// point) is written only when the test is saved, in the same transaction as the test row,
// and forgotten when the edit is cancelled. Until then the dialog shows a point from the
// readings waiting for the save. So the stored flow rows always agree with the stored test.
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

    // Saves the test being edited and the flow rows of its edit, all or nothing: on failure
    // nothing is stored, the test stays in edit with what was typed and the readings keep
    // waiting. Throws EngineError as the save of the test would.
    void postTest();
    // Points whose readings wait for the test's save.
    QList<int> pendingPoints() const;

    // The devices (flow columns by name) a point of the new test being inserted starts with
    // instead of the defaults, until it has readings of its own: the devices of the pump's
    // last test. They go with the test being inserted or just saved; moving to another test
    // or starting another forgets them.
    void setStartingDevices(std::map<int, QVariantMap> devices);

    // The dialog FlowPointDialogs would open for a discharge-device value.
    FlowPointDialog& dialogFor(const QString& dischargeDevice);

    TFlowPointNozzleDlg1& nozzleDialog() { return *m_nozzle; }
    TFlowPointHoseMonsterDlg1& hoseMonsterDialog() { return *m_hoseMonster; }
    TFlowPointFLowMeterDlg1& flowMeterDialog() { return *m_flowMeter; }

private:
    // Puts the flow cursor into edit on point n's stored row (found) or into insert, with
    // the waiting readings of the point when it has some.
    void openRow(int n, bool found);
    // The dialog's values as the point's waiting row.
    void keepFlowRow(FlowPointDialog& dialog, bool found, int n);
    void writePendingRows(const std::map<int, QVariantList>& rows);

    TableChain& m_tables;
    // Point number → every column of its flow row, in the table's order.
    std::map<int, QVariantList> m_pending;
    std::map<int, QVariantMap> m_starting;
    std::function<void(int)> m_calculateTest;
    QPointer<TFlowPointNozzleDlg1> m_nozzle;
    QPointer<TFlowPointHoseMonsterDlg1> m_hoseMonster;
    QPointer<TFlowPointFLowMeterDlg1> m_flowMeter;
};

} // namespace nerova
