#include "data/Identifiers.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/RowLocks.h"
#include "data/Statement.h"

#include <QStringList>

namespace nerova {

namespace {

// "CompanyID" = ? AND "LocationID" = ? … over the first `count` key columns.
QString keyCondition(int count) {
    const TableDef& flow = tableDef(TableId::Flow); // its key holds every level's key
    QStringList conds;
    for (int i = 0; i < count; ++i)
        conds << quoteIdent(QString::fromLatin1(flow.columns[static_cast<std::size_t>(i)].name)) +
                     QStringLiteral(" = ?");
    return conds.join(QStringLiteral(" AND "));
}

} // namespace

bool identifierInUse(Database& db, TableId level, const QVariantList& key, const QString& id) {
    const TableDef& def = tableDef(level);
    const int owners = def.keyCount - 1;
    QString sql =
        QStringLiteral("SELECT count(*) FROM %1 WHERE %2")
            .arg(db.qualifiedName(level),
                 db.caseFoldEquals(quoteIdent(identifierColumn(level)), QStringLiteral("?")));
    if (owners > 0)
        sql += QStringLiteral(" AND ") + keyCondition(owners);
    const auto st = db.prepared(sql);
    st->bind(1, id);
    for (int i = 0; i < owners; ++i)
        st->bind(i + 2, key.value(i));
    return st->step() && st->int64(0) > 0;
}

void changeIdentifier(Database& db, TableId level, const QVariantList& key, const QString& newId) {
    const TableDef& def = tableDef(level);
    if (key.size() != def.keyCount)
        throw EngineError(QStringLiteral("Cannot perform this operation on an empty table."));
    checkAlphaText(*def.find(identifierColumn(level)), newId);
    const QString column = quoteIdent(identifierColumn(level));
    const QString notDone = changedByAnotherUser(QStringLiteral("its ID was not changed"));
    Database::Transaction tx(db);
    // Locked first, so that no other user puts a row under the old identifier meanwhile.
    lockRowForChange(db, level, key, notDone);
    // Deepest table first, the row itself last, so that no row is ever without its owner.
    for (int t = static_cast<int>(TableId::Flow); t >= static_cast<int>(level); --t) {
        const auto id = static_cast<TableId>(t);
        const bool own = id == level;
        const auto st =
            db.prepared(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3%4")
                            .arg(db.qualifiedName(id), column, keyCondition(def.keyCount),
                                 own ? QStringLiteral(" RETURNING rowid") : QString()));
        st->bind(1, newId);
        for (int i = 0; i < key.size(); ++i)
            st->bind(i + 2, key[i]);
        try {
            int changed = 0;
            while (st->step())
                ++changed;
            if (own && changed != 1)
                throw EngineError(notDone, EngineError::Code::Conflict);
        } catch (const EngineError& e) {
            if (e.code() == EngineError::Code::KeyViolation)
                throw EngineError(QStringLiteral("Key violation.\nAnother %1 record already has "
                                                 "this identifier.")
                                      .arg(QString::fromLatin1(tableDef(id).label)),
                                  EngineError::Code::KeyViolation);
            throw;
        }
    }
    tx.commit();
}

} // namespace nerova
