#include "flow/FlowPointDispatcher.h"

#include "data/TableChain.h"
#include "eval/FlowPointColumns.h"
#include "flow/FlowMath.h"
#include "flow/FlowPointFlowMeterDlg.h"
#include "flow/FlowPointHoseMonsterDlg.h"
#include "flow/FlowPointNozzleDlg.h"
#include "prompt/Prompt.h"

#include <QLabel>

namespace nerova {

FlowPointDispatcher::FlowPointDispatcher(TableChain& tables, PreferencesRecord& prefs,
                                         std::function<void(int)> calculateTest, QWidget* parent)
    : m_tables(tables), m_calculateTest(std::move(calculateTest)),
      m_nozzle(new TFlowPointNozzleDlg1(tables.flow, prefs, parent)),
      m_hoseMonster(new TFlowPointHoseMonsterDlg1(tables.flow, tables.test, parent)),
      m_flowMeter(new TFlowPointFLowMeterDlg1(tables.flow, parent)) {}

FlowPointDispatcher::~FlowPointDispatcher() {
    // A dialog already deleted with its parent window has cleared its pointer.
    delete m_nozzle.data();
    delete m_hoseMonster.data();
    delete m_flowMeter.data();
}

FlowPointDialog& FlowPointDispatcher::dialogFor(const QString& dischargeDevice) {
    // Whole-text comparison: only the exact list values pick the hose monster or the meter;
    // everything else, a blank included, is measured with nozzles.
    if (isHoseMonsterDevice(dischargeDevice))
        return *m_hoseMonster;
    if (dischargeDevice == QLatin1String(kFlowMeterDevice))
        return *m_flowMeter;
    return *m_nozzle;
}

void FlowPointDispatcher::FlowPointDialogs(int n) {
    if (n < 1 || n > kFlowPointCount)
        return;
    Table& test = m_tables.test;
    Table& flow = m_tables.flow;
    // Without a test row there is nothing to hang the readings on.
    if (!test.isOpen() || !flow.isOpen() || (test.isEmpty() && test.state() != TableState::Insert))
        return;

    const QString point = QString::number(n);
    const QStringList keys = flow.def().keyNames();
    QVariantList values;
    for (const QString& key : keys)
        values << (key == QLatin1String(kFlowPointNumberColumn) ? QVariant(point)
                                                                : test.value(key));
    const bool found = flow.locate(keys, values, Qt::CaseSensitive);

    FlowPointDialog& dialog = dialogFor(test.asString(QString::fromLatin1(kDischargeDeviceColumn)));
    dialog.setFlowPoint(point, found);
    dialog.FormShow();
    // The dialogs are reused: an answer left from the previous point must not count.
    dialog.setResult(QDialog::Rejected);
    if (Prompt::instance().runDialog(dialog) != QDialog::Accepted)
        return;

    storeFlowRow(dialog, found, n);

    if (!test.isEditing())
        test.edit();
    test.setValue(flowPointColumn(kFlowStem, n),
                  flow.asFloat(QString::fromLatin1(kFlowMeterColumn)));
    if (m_calculateTest)
        m_calculateTest(n);
}

void FlowPointDispatcher::storeFlowRow(FlowPointDialog& dialog, bool found, int n) {
    Table& flow = m_tables.flow;
    try {
        if (found) {
            flow.edit();
        } else {
            flow.insert();
            for (Table* owner :
                 {&m_tables.company, &m_tables.location, &m_tables.pump, &m_tables.test}) {
                const QString column = identifierColumn(owner->id());
                flow.setValue(column, owner->value(column));
            }
            flow.setValue(QString::fromLatin1(kFlowPointNumberColumn), QString::number(n));
        }
        dialog.SaveFlowRow(flow);
        flow.post();
    } catch (...) {
        // A row that cannot be stored must not stay half-written in the cursor, where the
        // next move would try to post it again.
        if (flow.isEditing())
            flow.cancel();
        throw;
    }
}

} // namespace nerova
