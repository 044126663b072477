#pragma once

#include "data/Schema.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace nerova {

class Database;

// What one table of a copy holds: its rows and a checksum over every column of every row in
// key order (SHA-256 of the values in one canonical text, the same for either backend).
struct TableTally {
    TableId id = TableId::Company;
    qint64 rows = 0;
    QByteArray checksum; // hex
    bool operator==(const TableTally&) const = default;
};

enum class CopyMode {
    RefuseRows, // a target table that holds rows stops the copy before anything is written
    Replace     // the target's rows are deleted in the same transaction
};

// Told before each table is copied, and every few thousand rows.
using CopyProgress = std::function<void(TableId id, qint64 rowsDone)>;

// Copies every row of the five tables from one database to another (file to server, server
// to file, or between two of a kind). The target's missing tables are created first (on a
// server inside the copy's transaction; in a folder written down until the copy is done,
// and removed again when it fails); then all five are emptied (Replace) and filled in one
// transaction of the target, which is committed only when each table's row count and
// checksum read back from the target equal the source's. The source is read in one transaction too,
// so the copy is one moment of it. Throws EngineError (nothing of the target changed) when the
// target holds rows under RefuseRows, when source and target are the same database, or on any
// failure. No table of either database may be open in a cursor.
QList<TableTally> copyDatabase(Database& from, Database& to, CopyMode mode,
                               const CopyProgress& progress = {});

// Removes the tables a copy into the folder made and never filled (the copy was killed
// before it committed): they are written down in the folder until the copy is done. A
// table is removed only while it holds no row.
void removeUnfinishedCopy(const QString& directory);

// The tally of each table of a database, as copyDatabase compares them.
QList<TableTally> tallyDatabase(Database& db);

} // namespace nerova
