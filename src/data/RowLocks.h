#pragma once

#include "data/Schema.h"

#include <QString>
#include <QVariantList>

namespace nerova {

class Database;

// Where several programs write to the same tables (an office server), a row must never
// outlive its owner: a location saved under a company another tester deletes at that very
// moment would be stored under a company that is gone. Every new row therefore locks its
// owner rows against deletion and key changes in the transaction that inserts it, and every
// delete cascade and change of identifier locks its own row against them before it starts;
// whichever comes second waits for the first and then sees what it did. In the file
// database, which one program has to itself, the lock clauses are empty.

// Locks the owners of a new row of id (its company, location, pump and test, as far as they
// are above it; `values` are the row's columns in stored order) until the transaction ends,
// the company first. Throws EngineError (Conflict) naming the highest owner that no longer
// exists. Does nothing in the file database.
void lockOwnerRows(Database& db, TableId id, const QVariantList& values);

// The same locks as a condition for the statement that inserts the row: "EXISTS (…) AND …",
// true while every owner is there, each locked by the statement itself, so the insert and
// its locks are one round trip. Empty where lockOwnerRows does nothing (file database,
// companies). Its parameters are appended to binds.
QString ownerRowsLocked(Database& db, TableId id, const QVariantList& values, QVariantList& binds);

// Locks the row of id with the given key against every other writer until the transaction
// ends, so that nothing can be put under it meanwhile. Throws EngineError (Conflict) with
// the text `gone` when no row has that key any more (another user deleted it or changed its
// identifier since it was shown), and when `shownVersion` is given and the row's version is
// another (someone saved it since).
void lockRowForChange(Database& db, TableId id, const QVariantList& key, const QString& gone,
                      const QString& shownVersion = {});

// The text of a refused delete or change of identifier whose row another user changed.
QString changedByAnotherUser(const QString& whatWasNotDone);

} // namespace nerova
