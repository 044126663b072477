#include "data/Cascade.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/RowLocks.h"
#include "data/Statement.h"

#include <QStringList>

namespace nerova {

namespace {

QString keyCondition(const TableDef& def, int count) {
    QStringList conds;
    for (int i = 0; i < count; ++i)
        conds << quoteIdent(QString::fromLatin1(def.columns[static_cast<std::size_t>(i)].name)) +
                     QStringLiteral(" = ?");
    return conds.join(QStringLiteral(" AND "));
}

// Deletes the row of id with the full key; answers how many rows went.
int deleteKeyed(Database& db, TableId id, const QVariantList& key) {
    const TableDef& def = tableDef(id);
    const auto del = db.prepared(QStringLiteral("DELETE FROM %1 WHERE %2 RETURNING rowid")
                                     .arg(db.qualifiedName(id), keyCondition(def, def.keyCount)));
    del->bindAll(key);
    int deleted = 0;
    while (del->step())
        ++deleted;
    return deleted;
}

void deleteRow(Database& db, TableId id, const QVariantList& key, const CascadeObserver& observer) {
    const TableDef& def = tableDef(id);
    if (id != TableId::Flow) {
        const auto childId = static_cast<TableId>(static_cast<int>(id) + 1);
        const TableDef& child = tableDef(childId);
        const QString keyCols = quotedList(child.keyNames());
        // The children's keys are read first: deleting while a statement walks the same
        // table would disturb it.
        QList<QVariantList> children;
        {
            const auto st = db.prepared(
                QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %1")
                    .arg(keyCols, db.qualifiedName(childId), keyCondition(child, def.keyCount)));
            st->bindAll(key);
            while (st->step()) {
                QVariantList childKey;
                for (int i = 0; i < child.keyCount; ++i)
                    childKey << st->raw(i);
                children << childKey;
            }
        }
        for (const QVariantList& childKey : std::as_const(children))
            deleteRow(db, childId, childKey, observer);
    }
    if (observer)
        observer(id, key);
    if (deleteKeyed(db, id, key) != 1)
        throw EngineError(deleteRefusedText(), EngineError::Code::Conflict);
}

} // namespace

QString deleteRefusedText() {
    return QStringLiteral("This record was changed by another user since it was shown. Nothing "
                          "was deleted; it now shows their changes.");
}

void deleteWithDependants(Database& db, TableId table, const QVariantList& key,
                          const CascadeObserver& observer, const QString& shownVersion) {
    if (key.size() != tableDef(table).keyCount)
        throw EngineError(QStringLiteral("Cannot perform this operation on an empty table."));
    const QString notDone = deleteRefusedText();
    Database::Transaction tx(db);
    // The row is locked first: no other user can put a row under it while its dependants go,
    // and a row another user deleted or gave another identifier is not silently missed.
    lockRowForChange(db, table, key, notDone, shownVersion);
    if (observer) {
        deleteRow(db, table, key, observer);
    } else {
        // Without anyone watching row by row, one DELETE per table on the key does the
        // same work deepest table first, at the speed of plain SQL.
        const int keyCount = tableDef(table).keyCount;
        for (int level = static_cast<int>(TableId::Flow); level > static_cast<int>(table);
             --level) {
            const auto id = static_cast<TableId>(level);
            const auto del =
                db.prepared(QStringLiteral("DELETE FROM %1 WHERE %2")
                                .arg(db.qualifiedName(id), keyCondition(tableDef(id), keyCount)));
            del->bindAll(key);
            del->run();
        }
        if (deleteKeyed(db, table, key) != 1)
            throw EngineError(notDone, EngineError::Code::Conflict);
    }
    tx.commit();
}

} // namespace nerova
