#include "app/TableReopen.h"

#include "data/TableChain.h"

namespace nerova {

RecordPosition::RecordPosition(TableChain& tables) {
    for (const TableId level : kRecordLevels) {
        Table& t = tables.table(level);
        if (!t.isOpen() || t.recNo() == 0)
            break;
        for (const QString& column : t.def().keyNames())
            m_keys[std::size_t(levelIndex(level))] << t.value(column);
    }
}

void RecordPosition::restore(TableChain& tables) const {
    for (const TableId level : kRecordLevels) {
        const QVariantList& keys = m_keys[std::size_t(levelIndex(level))];
        Table& t = tables.table(level);
        if (keys.isEmpty() || !t.isOpen() || !t.locate(t.def().keyNames(), keys)) {
            // The details of a master that moved are on their first rows already; one
            // that did not move may be anywhere.
            if (t.isOpen() && t.recNo() > 1)
                t.first();
            return;
        }
    }
}

void runWithTablesClosed(TableChain& tables, const std::function<void()>& close,
                         const std::function<void()>& open, const std::function<void()>& command) {
    const RecordPosition position(tables);
    close();
    command();
    open();
    position.restore(tables);
}

} // namespace nerova
