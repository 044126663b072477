#include "data/RowLocks.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Statement.h"

#include <QStringList>

namespace nerova {

namespace {

// "CompanyID" = ? AND … over the key of id.
QString keyCondition(TableId id) {
    QStringList conds;
    for (const QString& column : tableDef(id).keyNames())
        conds << quoteIdent(column) + QStringLiteral(" = ?");
    return conds.join(QStringLiteral(" AND "));
}

// Locks the row; answers whether it is there, and its version through `version`.
bool lockRow(Database& db, TableId id, const QVariantList& key, Database::RowLock lock,
             QString* version = nullptr) {
    const QString versionExpr = db.rowVersionExpression();
    const bool withVersion = version && !versionExpr.isEmpty();
    const auto st =
        db.prepared(QStringLiteral("SELECT rowid%1 FROM %2 WHERE %3%4")
                        .arg(withVersion ? QStringLiteral(", ") + versionExpr : QString(),
                             db.qualifiedName(id), keyCondition(id), db.rowLockClause(lock)));
    st->bindAll(key);
    const bool found = st->step();
    if (found && withVersion)
        *version = st->text(1);
    st->reset();
    return found;
}

} // namespace

void lockOwnerRows(Database& db, TableId id, const QVariantList& values) {
    if (db.rowLockClause(Database::RowLock::KeyShare).isEmpty())
        return;
    for (int level = 0; level < levelIndex(id); ++level) {
        const TableId owner = levelAt(level);
        if (!lockRow(db, owner, values.mid(0, tableDef(owner).keyCount),
                     Database::RowLock::KeyShare))
            throw EngineError(QStringLiteral("The %1 record was deleted by another user; your "
                                             "new %2 was not saved.")
                                  .arg(QString::fromLatin1(tableDef(owner).label),
                                       QString::fromLatin1(tableDef(id).label)),
                              EngineError::Code::Conflict);
    }
}

QString ownerRowsLocked(Database& db, TableId id, const QVariantList& values, QVariantList& binds) {
    const QString lock = db.rowLockClause(Database::RowLock::KeyShare);
    if (lock.isEmpty())
        return {};
    QStringList conds;
    for (int level = 0; level < levelIndex(id); ++level) {
        const TableId owner = levelAt(level);
        conds << QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE %2%3)")
                     .arg(db.qualifiedName(owner), keyCondition(owner), lock);
        binds << values.mid(0, tableDef(owner).keyCount);
    }
    return conds.join(QStringLiteral(" AND "));
}

void lockRowForChange(Database& db, TableId id, const QVariantList& key, const QString& gone,
                      const QString& shownVersion) {
    QString version;
    if (!lockRow(db, id, key, Database::RowLock::Update, &version) ||
        (!shownVersion.isEmpty() && !version.isEmpty() && version != shownVersion))
        throw EngineError(gone, EngineError::Code::Conflict);
}

QString changedByAnotherUser(const QString& whatWasNotDone) {
    return QStringLiteral("This record was changed by another user; %1. The window shows it as "
                          "it is now.")
        .arg(whatWasNotDone);
}

} // namespace nerova
