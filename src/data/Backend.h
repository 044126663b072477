#pragma once

#include "data/Schema.h"

#include <QString>
#include <QVariantList>
#include <memory>
#include <utility>
#include <vector>

namespace nerova {

class Statement;

// Writes many rows into one table as fast as the backend takes them, inside the caller's
// transaction. Values are every column in stored order, as the cursor keeps them.
class RowWriter {
public:
    virtual ~RowWriter() = default;
    virtual void write(const QVariantList& values) = 0;
    virtual void finish() = 0; // throws when the rows were not all taken
};

// What the table engine needs of a database: a folder of SQLite table files, or a
// PostgreSQL server. The cursor, cascades and changes of identifier write one SQL dialect
// that both understand (parameters as "?", a rowid column, RETURNING, SAVEPOINT);
// everything that differs lives behind this interface.
// The two sides of a prefix comparison: the beginning of the column's text, as many characters
// long as the prefix, and the prefix; their parameters are appended to binds. SQLite counts
// characters, not UTF-16 units, and folding keeps the count of characters.
std::pair<QString, QString> prefixSides(const QString& column, const QString& prefix,
                                        QVariantList& binds);

class Backend {
public:
    virtual ~Backend() = default;

    virtual bool isServer() const = 0;
    // Makes a table usable by statements (attaches its file, checks the server's table);
    // throws EngineError when it is missing, read-only or not ours.
    virtual void openTable(TableId id) = 0;
    // The last user of the table is gone.
    virtual void closeTable(TableId id) = 0;
    // True when nothing is held once every table is closed, so the backend can be dropped.
    virtual bool idleWhenNoTableOpen() const = 0;

    // The name to write in SQL text for a table.
    virtual QString qualifiedName(TableId id) const = 0;
    // A statement from the backend's cache, reset and unbound.
    virtual std::shared_ptr<Statement> prepared(const QString& sql) = 0;
    // A statement, not cached, that reads a large result a row at a time; while it has rows
    // to come nothing else may run on the connection.
    virtual std::shared_ptr<Statement> streamed(const QString& sql) { return prepared(sql); }
    virtual void exec(const QString& sql) = 0;
    // Runs bound statements of prepared() in one round trip where a round trip costs, so
    // that their rows are there to step through; elsewhere each runs on its first step.
    virtual void runTogether(const std::vector<Statement*>& /*statements*/) {}
    // Statements run together cannot read each other's results, so a row named by a
    // subquery is found again by every statement that needs it. Where that costs, the first
    // statement keeps the row id for the later ones: returns the statement that keeps the
    // value of `subquery` (a scalar subquery giving a row id) and the expression that reads
    // it back; both empty where each statement is to find the row itself.
    virtual std::pair<QString, QString> keptRowId(const QString& /*subquery*/) const { return {}; }
    // The statement that opens the outermost transaction.
    virtual QString beginSql() const = 0;
    // The statement that opens an outermost transaction whose reads all see one moment,
    // whatever others write meanwhile. Where nobody else writes, any transaction does.
    virtual QString beginSnapshotSql() const { return beginSql(); }

    // An expression read with a row that changes whenever anyone changes the row; empty when
    // no other program can write to the tables while we have them open.
    virtual QString rowVersionExpression() const = 0;

    // Written after a SELECT to lock the rows it reads until the transaction ends: against
    // deletion and key changes (forUpdate false) or against every change. Empty where no
    // other program writes to the tables.
    virtual QString rowLockClause(bool /*forUpdate*/) const { return {}; }

    // An SQL condition true when two texts are equal with letter case ignored beyond A to Z
    // (as QString::compare with Qt::CaseInsensitive).
    virtual QString caseFoldEquals(const QString& lhs, const QString& rhs) const = 0;

    // An SQL condition true when the text of `column` of the table begins with `prefix`, letter
    // case ignored as caseFoldEquals does; its parameters are appended to binds. The typed
    // text is data, never pattern syntax.
    virtual QString foldedPrefix(TableId id, const QString& column, const QString& prefix,
                                 QVariantList& binds) const;

    // Written after each ORDER BY term so that blanks sort first, as in the file database.
    virtual QString orderSuffix() const { return {}; }

    // A writer of rows into an open table; see RowWriter.
    virtual std::unique_ptr<RowWriter> rowWriter(TableId id) = 0;

    // True when the table is there, ours, and open for reading and writing.
    virtual bool tablePresent(TableId id) = 0;
    // Replaces the table by an empty one with its indexes; what it held is kept aside, never
    // deleted: with what the other tables of the run replaced (see startReplacing), or on
    // its own outside a run.
    virtual void createTable(TableId id) = 0;
    // Starts or ends a run of createTable: what its tables replace is kept together, in one
    // place named for the moment (a folder beside the table files, names on a server).
    virtual void setReplacingRun(bool on) = 0;
    // Adds one of the schema's indexes to an open table of an older version, inside the
    // caller's transaction; an index of ours already on the table is kept as it is.
    virtual void addIndex(TableId id, const IndexDef& index) = 0;
    // Where the run's replaced tables are kept, for the user; empty when it kept none.
    virtual QString replacedTablesNote() const = 0;

    // For messages: the folder or the server and database.
    virtual QString displayName() const = 0;
    // The engine and its version, and for a server where the data is ("SQLite 3.40.1",
    // "PostgreSQL 15.4 server, database x on y"); throws EngineError when unreachable.
    virtual QString engineDescription() = 0;
    virtual QString lastErrorText() const = 0;
};

// The backends; each throws EngineError when it cannot be reached.
std::unique_ptr<Backend> makeSqliteBackend(const QString& directory);
std::unique_ptr<Backend> makePostgresBackend(const QString& connection);

} // namespace nerova
