#include "data/FreshRowsHolder.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Statement.h"
#include "data/TableChain.h"

namespace nerova {

FreshRowsHolder::FreshRowsHolder(TableChain& chain, std::function<bool()> mayRefresh,
                                 QObject* parent)
    : QObject(parent), m_chain(chain), m_mayRefresh(std::move(mayRefresh)) {
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { check(); });
    m_timer.start();
}

bool FreshRowsHolder::check() {
    Database& db = m_chain.company.database();
    const QString version = db.rowVersionExpression();
    // Inside a command's transaction (a progress window lets the timer in) nothing is read.
    if (!db.readsTogether() || version.isEmpty() || db.transactionDepth() > 0 ||
        (m_mayRefresh && !m_mayRefresh()))
        return false;
    QStringList reads;
    QVariantList binds;
    QList<TableId> levels;
    for (const TableId id : kAllTables) {
        const Table& t = m_chain.table(id);
        // A master read again would store an edited detail before following it.
        if (t.isEditing())
            return false;
        if (!t.isOpen() || t.bookmark() == 0)
            continue;
        reads << QStringLiteral("(SELECT %1 FROM %2 WHERE rowid = ?)")
                     .arg(version, db.qualifiedName(id));
        binds << QVariant::fromValue<qint64>(t.bookmark());
        levels << id;
    }
    if (levels.isEmpty())
        return false;
    try {
        QStringList now;
        {
            const auto st =
                db.prepared(QStringLiteral("SELECT ") + reads.join(QStringLiteral(", ")));
            st->bindAll(binds);
            if (!st->step())
                return false;
            for (int i = 0; i < levels.size(); ++i)
                now << (st->isNull(i) ? QString() : st->text(i));
            st->reset();
        }
        for (int i = 0; i < levels.size(); ++i) {
            Table& t = m_chain.table(levels[i]);
            if (now[i] == t.rowVersion())
                continue;
            // The highest level that changed: those below follow it.
            t.refresh();
            Q_EMIT refreshed(levels[i]);
            return true;
        }
    } catch (const EngineError&) {
        // A server out of reach is reported by the user's next command, not by a box
        // popping up every second and a half.
    }
    return false;
}

} // namespace nerova
