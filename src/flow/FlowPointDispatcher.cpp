#include "flow/FlowPointDispatcher.h"

#include "data/Database.h"
#include "data/TableChain.h"
#include "eval/FlowPointColumns.h"
#include "flow/FlowMath.h"
#include "flow/FlowPointFlowMeterDlg.h"
#include "flow/FlowPointHoseMonsterDlg.h"
#include "flow/FlowPointNozzleDlg.h"
#include "prompt/Prompt.h"

#include <QLabel>
#include <utility>

namespace nerova {

FlowPointDispatcher::FlowPointDispatcher(TableChain& tables, PreferencesRecord& prefs,
                                         std::function<void(int)> calculateTest, QWidget* parent)
    : m_tables(tables), m_calculateTest(std::move(calculateTest)),
      m_nozzle(new TFlowPointNozzleDlg1(tables.flow, prefs, parent)),
      m_hoseMonster(new TFlowPointHoseMonsterDlg1(tables.flow, tables.test, parent)),
      m_flowMeter(new TFlowPointFLowMeterDlg1(tables.flow, parent)) {
    Table& test = tables.test;
    // Cancelled, the edit takes its readings with it.
    QObject::connect(&test, &Table::afterCancel, &test, [this] {
        m_pending.clear();
        m_starting.clear();
    });
    QObject::connect(&test, &Table::afterScroll, &test, [this] {
        if (!m_tables.test.isEditing()) {
            m_pending.clear();
            m_starting.clear();
        }
    });
    QObject::connect(&test, &Table::afterInsert, &test, [this] { m_starting.clear(); });
    // Saved some other way than postTest (a cursor posts an edit before it moves): the
    // readings are written after it rather than lost or kept for another test.
    QObject::connect(&test, &Table::afterPost, &test, [this] {
        if (m_pending.empty())
            return;
        const std::map<int, QVariantList> rows = std::exchange(m_pending, {});
        try {
            Database::Transaction tx(m_tables.test.database());
            writePendingRows(rows);
            tx.commit();
        } catch (const std::exception& e) {
            // Nothing may be thrown through the cursor's notification.
            if (m_tables.flow.isEditing())
                m_tables.flow.cancel();
            qWarning("Flow readings not stored: %s", e.what());
        }
    });
}

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
    const bool waiting = m_pending.count(n) > 0;
    const auto starting = found || waiting ? m_starting.end() : m_starting.find(n);

    FlowPointDialog& dialog = dialogFor(test.asString(QString::fromLatin1(kDischargeDeviceColumn)));
    dialog.setFlowPoint(point, found || waiting || starting != m_starting.end());
    if (waiting || starting != m_starting.end()) {
        // The dialog reads the flow cursor's row: for a moment that is the waiting one, or
        // one holding nothing but the devices the point starts with.
        openRow(n, found);
        if (starting != m_starting.end()) {
            try {
                for (auto it = starting->second.cbegin(); it != starting->second.cend(); ++it)
                    flow.setValue(it.key(), it.value());
            } catch (...) {
                flow.cancel();
                throw;
            }
        }
        try {
            dialog.FormShow();
        } catch (...) {
            flow.cancel();
            throw;
        }
        flow.cancel();
    } else {
        dialog.FormShow();
    }
    // The dialogs are reused: an answer left from the previous point must not count.
    dialog.setResult(QDialog::Rejected);
    if (Prompt::instance().runDialog(dialog) != QDialog::Accepted)
        return;

    // The readings belong to an edit of the test: start it before keeping them.
    if (!test.isEditing())
        test.edit();
    keepFlowRow(dialog, found, n);
    test.setValue(
        flowPointColumn(kFlowStem, n),
        m_pending[n].value(flow.columnIndex(QString::fromLatin1(kFlowMeterColumn))).toDouble());
    if (m_calculateTest)
        m_calculateTest(n);
}

void FlowPointDispatcher::setStartingDevices(std::map<int, QVariantMap> devices) {
    m_starting = std::move(devices);
}

QList<int> FlowPointDispatcher::pendingPoints() const {
    QList<int> points;
    for (const auto& [n, row] : m_pending)
        points << n;
    return points;
}

void FlowPointDispatcher::openRow(int n, bool found) {
    Table& flow = m_tables.flow;
    if (found)
        flow.edit();
    else
        flow.insert();
    const auto waiting = m_pending.find(n);
    if (waiting == m_pending.end())
        return;
    const QVariantList& row = waiting->second;
    for (int i = 0; i < int(row.size()); ++i)
        flow.setValue(i, row[i]);
}

void FlowPointDispatcher::keepFlowRow(FlowPointDialog& dialog, bool found, int n) {
    Table& flow = m_tables.flow;
    try {
        openRow(n, found);
        dialog.SaveFlowRow(flow);
        QVariantList row;
        const int columns = int(flow.def().columns.size());
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << flow.value(i);
        flow.cancel();
        m_pending[n] = row;
    } catch (...) {
        // Nothing of a row that could not be read back stays in the cursor.
        if (flow.isEditing())
            flow.cancel();
        throw;
    }
}

void FlowPointDispatcher::writePendingRows(const std::map<int, QVariantList>& rows) {
    Table& flow = m_tables.flow;
    Table& test = m_tables.test;
    const QStringList keys = flow.def().keyNames();
    for (const auto& [n, row] : rows) {
        // The key is the test's as it is saved: a new test's identifier may have been typed
        // after its readings.
        QVariantList key;
        for (const QString& column : keys)
            key << (column == QLatin1String(kFlowPointNumberColumn) ? QVariant(QString::number(n))
                                                                    : test.value(column));
        if (flow.locate(keys, key, Qt::CaseSensitive))
            flow.edit();
        else
            flow.insert();
        for (int i = 0; i < int(row.size()); ++i) {
            const qsizetype k =
                keys.indexOf(QString::fromLatin1(flow.def().columns[std::size_t(i)].name));
            flow.setValue(i, k >= 0 ? key[k] : row[i]);
        }
        flow.post();
    }
}

void FlowPointDispatcher::postTest() {
    Table& test = m_tables.test;
    Table& flow = m_tables.flow;
    if (m_pending.empty()) {
        test.post();
        return;
    }
    const bool inserting = test.state() == TableState::Insert;
    QVariantList typed;
    for (int i = 0; i < int(test.def().columns.size()); ++i)
        typed << test.value(i);
    const std::map<int, QVariantList> rows = std::exchange(m_pending, {});
    try {
        // The test row first: on a server a flow row may only be stored under a test that
        // its own transaction can see.
        Database::Transaction tx(test.database());
        test.post();
        writePendingRows(rows);
        tx.commit();
    } catch (...) {
        // Rolled back: no flow row and no test row of this save is stored.
        try {
            if (flow.isEditing())
                flow.cancel();
            flow.refresh();
            if (!test.isEditing()) {
                // The test's post went through but the transaction did not: the edit, with
                // everything typed, comes back.
                test.refresh();
                if (inserting)
                    test.insert();
                else
                    test.edit();
                for (int i = 0; i < int(typed.size()); ++i)
                    test.setValue(i, typed[i]);
            }
        } catch (...) {
        }
        m_pending = rows;
        throw;
    }
}

} // namespace nerova
