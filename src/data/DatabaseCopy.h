#pragma once

#include "data/Schema.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantList>
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

// The rows each of the five tables holds, company first; 0 for a table not there yet.
QList<qint64> rowCounts(Database& db);

// Rows that come from outside any database of ours (the former program's tables): every
// table's rows in whatever order the source keeps them, each with every column in stored
// order and typed as the engine keeps values (see typedValue).
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual void readRows(TableId id, const std::function<void(const QVariantList&)>& row) = 0;
};

// Writes the rows of a source into `to` the way copyDatabase writes: missing tables created,
// the five emptied (Replace) or found empty (RefuseRows) and filled in one transaction that
// is committed only when every table read back holds the same rows. The source's order need
// not be the key order, so the checksum here adds up one SHA-256 per row, which no order
// changes. Throws EngineError, nothing of the target changed, on any failure.
QList<TableTally> writeRows(RowSource& from, Database& to, CopyMode mode,
                            const CopyProgress& progress = {});

} // namespace nerova
