#pragma once

#include "data/Result.h"
#include "data/Schema.h"

#include <QString>

namespace nerova {

// The statement that makes the one table of a table file. Every table file this program
// writes holds its table exactly so; a file that does not is no table of ours.
QString tableFileCreateSql(const TableDef& def);
// The statement that makes one of the table's indexes in its file, as the file keeps it.
// With a schema, the same for the file attached under that name, doing nothing when the
// file has the index already.
QString tableFileIndexSql(const TableDef& def, const IndexDef& index, const QString& schema = {});

// Checks that the file at path is a table file the engine can trust for id, before it is
// put among the tables: it attaches beside a UTF-8 database as the engine attaches its
// tables, passes SQLite's integrity check, holds nothing but the table (made by
// tableFileCreateSql: our columns in order, our primary key and NOT NULL rules, a rowid
// table), the index of its key and the engine's own indexes (made by tableFileIndexSql, each
// of those its schema version has), and carries a schema version we know. No trigger, view,
// other table or other index gets in: a trigger would run at the next Save. A failure says
// why. The file is only read, and a journal beside it is never looked at.
Result checkTableFile(const QString& path, TableId id);

// The same as the reason alone, empty when the file is one of ours.
inline QString tableFileProblem(const QString& path, TableId id) {
    return checkTableFile(path, id).error();
}

} // namespace nerova
