#include "app/TableReopen.h"

#include "data/TableChain.h"

namespace nerova {

RecordPosition::RecordPosition(TableChain& tables) {
    for (int level = 1; level <= 4; ++level) {
        Table& t = tables.at(level);
        if (!t.isOpen() || t.recNo() == 0)
            break;
        for (const QString& column : t.def().keyNames())
            m_keys[level - 1] << t.value(column);
    }
}

void RecordPosition::restore(TableChain& tables) const {
    for (int level = 1; level <= 4; ++level) {
        const QVariantList& keys = m_keys[level - 1];
        Table& t = tables.at(level);
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
