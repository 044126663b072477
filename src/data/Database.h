#pragma once

#include "data/Schema.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace nerova {

class Backend;
class RowWriter;
class Statement;

// Where the tables of an alias are: a folder of table files (alias line "PATH=<folder>") or a
// PostgreSQL database (alias line "CONNECTION=postgresql://host[:port]/dbname[?…]"; the
// password comes from libpq's ~/.pgpass or PGPASSWORD, never from the alias).
struct DataLocation {
    bool server = false;
    QString directory;  // the folder, for a file database
    QString connection; // the libpq connection text, for a server

    // "PATH=…" or "CONNECTION=…" as first parameter line; an alias line without either
    // keeps the old reading, the folder from the 6th character on.
    static DataLocation fromParameters(const QStringList& params);
    // An alias parameter line: "postgresql://…" or "postgres://…" is a server, anything
    // else a folder.
    static DataLocation fromText(const QString& text);

    // A password written into a server's connection text (user:secret@host, ?password=);
    // messages and logs must never show it.
    bool carriesPassword() const;
    // The connection text without its password, for messages.
    QString shownConnection() const;
    // The folder or the connection without its password, for messages.
    QString shownName() const;
    // Both name the same folder (followed through links) or the same connection text.
    bool sameAs(const DataLocation& other) const;
};

// The table engine: the alias registry and the backend behind it (see Backend.h). The
// cursors, cascades and changes of identifier reach the tables only through here.
class Database {
public:
    // registryPath: the alias registry file. When it does not exist it is written with the
    // NRVA2002 alias pointing at defaultDataDir, and that folder is created.
    Database(QString registryPath, QString defaultDataDir);
    // A database at a location of its own, without any alias (copying to another backend).
    explicit Database(const DataLocation& location);
    ~Database();

    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The registry of the user's configuration (~/.config/nerova2002/aliases.ini) and its
    // default data folder (~/.local/share/nerova2002/data).
    static QString defaultRegistryPath();
    // The alias registry this database was opened through; empty for a location of its own.
    QString registryPath() const { return m_registryPath; }
    static QString defaultDataDirectory();

    bool aliasExists(const QString& alias) const;
    QStringList aliasParameters(const QString& alias) const; // "PATH=..." lines, in order
    // Where the NRVA2002 alias points. Throws EngineError when the alias does not exist.
    // The alias is read when the tables are first used and kept while any backend is open
    // (a file database's while a table is open; a server's for good): a changed alias takes
    // effect at the next opening, as the connection itself would.
    DataLocation location() const;
    bool isServer() const;
    // The database directory of a file database. Throws EngineError when the alias does not
    // exist or names a server.
    QString databaseDirectory() const;
    // The folder, or the server and database, for messages.
    QString displayName() const;
    // What holds the data, for the About box: the engine with its version, and the folder,
    // or the server's database and host (only the engine's version for a database without a
    // folder). Throws EngineError when the server cannot be reached.
    QString engineDescription();

    // The file of a table in the database directory, matched ignoring letter case; the
    // canonical path when it does not exist yet.
    QString tableFilePath(TableId id) const;

    // True when the table is there and open for reading and writing: its file found with
    // any letter case and writable, or the server's table with our columns and rights.
    bool tablePresent(TableId id);
    // Makes a new empty table with exactly the schema's columns and its primary key. What
    // the table held is not deleted: its files are moved into a folder named for the moment
    // (one folder for a whole ReplacingRun); a server renames the old table. The table must
    // not be open.
    void createTable(TableId id);
    // While it lasts, the tables created keep what they replace together, in the one place
    // that replacedTablesNote() names.
    class ReplacingRun {
    public:
        explicit ReplacingRun(Database& db);
        ~ReplacingRun();
        ReplacingRun(const ReplacingRun&) = delete;
        ReplacingRun& operator=(const ReplacingRun&) = delete;

    private:
        Database& m_db;
    };
    // Where the current run keeps the tables it replaced, for the user; empty when none.
    QString replacedTablesNote() const;

    // The lock file that keeps a second copy of the program off the data: a folder of table
    // files is worked on by one program at a time. Empty where there is nothing to lock: a
    // server is shared by design (its rows carry their version, and every write checks it),
    // and a folder that does not exist holds nothing. Throws EngineError without the alias.
    QString singleCopyLockPath() const;
    // Clears away what a run of ours killed half-way left beside the table files; a server
    // keeps nothing of the kind. Call it only while the data is ours (the lock taken).
    void clearLeftovers() const;

    // Opening: cursors call these on open and close; the table stays usable while any
    // cursor of it is open. Throws EngineError when it is missing or read-only.
    void acquire(TableId id);
    void release(TableId id);
    bool isAttached(TableId id) const;

    // The table's name for SQL text.
    QString qualifiedName(TableId id) const;
    // Fast writing of many rows into an open table, in the current transaction.
    std::unique_ptr<RowWriter> rowWriter(TableId id);
    // See Backend::rowLockClause; RowLocks.h uses it.
    enum class RowLock { KeyShare, Update };
    QString rowLockClause(RowLock lock) const;
    // See Backend::rowVersionExpression and Backend::orderSuffix.
    QString rowVersionExpression() const;
    QString orderSuffix() const;
    // See Backend::caseFoldEquals; the file database's form while no backend is open.
    QString caseFoldEquals(const QString& lhs, const QString& rhs) const;
    // See Backend::foldedPrefix; column is the schema's name of the table's column.
    QString foldedPrefix(TableId id, const QString& column, const QString& prefix,
                         QVariantList& binds) const;

    // A prepared statement from the cache; reset and unbound, ready to bind. The handle
    // shares the statement with the cache, so it stays valid when the cache grows or is
    // cleared (a table closing); once the connection is gone, stepping it fails cleanly.
    std::shared_ptr<Statement> prepared(const QString& sql);
    // The same as a reference, for callers outside the engine: it lasts only until the next
    // table closes.
    Statement& statement(const QString& sql) { return *prepared(sql); }
    // See Backend::streamed: for reading every row of a table.
    std::shared_ptr<Statement> streamed(const QString& sql);
    void exec(const QString& sql);
    // See Backend::runTogether.
    void runTogether(const std::vector<Statement*>& statements);
    // See Backend::keptRowId.
    std::pair<QString, QString> keptRowId(const QString& subquery) const;
    // True where reading several things in one go saves round trips (a server).
    bool readsTogether() const;
    // Grows with every statement that may write: a reading older than a write is stale.
    quint64 writeEpoch() const { return m_writeEpoch; }

    // Transactions nest (the inner ones are savepoints).
    void begin();
    // As begin(); an outermost transaction reads everything as it was at one moment,
    // whatever other programs write meanwhile (an inner one sees what its outer one sees).
    void beginSnapshotRead();
    void commit();
    void rollback();
    int transactionDepth() const { return m_depth; }

    // RAII transaction: rolls back unless committed.
    class Transaction {
    public:
        explicit Transaction(Database& db) : m_db(db) { m_db.begin(); }
        // A transaction that reads one moment: see beginSnapshotRead.
        struct SnapshotRead {};
        Transaction(Database& db, SnapshotRead) : m_db(db) { m_db.beginSnapshotRead(); }
        ~Transaction();
        void commit();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        Database& m_db;
        bool m_done = false;
    };

    // A text the user understands for the connection's last error.
    QString lastErrorText() const;

private:
    void ensureRegistry() const;
    Backend& backend();
    void dropBackendWhenIdle();

    QString m_registryPath;
    QString m_defaultDataDir;
    std::optional<DataLocation> m_fixed;
    mutable std::optional<DataLocation> m_location; // see location()
    int m_replacingRuns = 0;
    bool m_runStarting = false;
    std::unique_ptr<Backend> m_backend;
    int m_attachCount[5] = {0, 0, 0, 0, 0};
    int m_depth = 0;
    quint64 m_writeEpoch = 0;
};

// Files are "present" only when they open for reading and writing; a read-only file (its
// owner write bit cleared) counts as missing even for a user who could override it.
bool fileOpensReadWrite(const QString& path);

// Finds a file in dir whose name equals name ignoring letter case; empty when none.
QString findFileNoCase(const QString& dir, const QString& name);

} // namespace nerova
