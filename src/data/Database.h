#pragma once

#include "data/Schema.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

struct sqlite3;

namespace nerova {

class Statement;
class TableFilesAside;

// The table engine: the alias registry and one SQLite connection to which each table file
// is attached while a cursor has it open, so that a change touching several tables (a
// delete cascade, a change of identifier) is one transaction.
class Database {
public:
    // registryPath: the alias registry file. When it does not exist it is written with the
    // NRVA2002 alias pointing at defaultDataDir, and that folder is created.
    Database(QString registryPath, QString defaultDataDir);
    ~Database();

    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The registry of the user's configuration (~/.config/nerova2002/aliases.ini) and its
    // default data folder (~/.local/share/nerova2002/data).
    static QString defaultRegistryPath();
    static QString defaultDataDirectory();

    bool aliasExists(const QString& alias) const;
    QStringList aliasParameters(const QString& alias) const; // "PATH=..." lines, in order
    // The database directory of the NRVA2002 alias: the first parameter line from its 6th
    // character on. Throws EngineError when the alias does not exist.
    QString databaseDirectory() const;

    // The file of a table in the database directory, matched ignoring letter case; the
    // canonical path when it does not exist yet.
    QString tableFilePath(TableId id) const;

    // Makes a new empty table with exactly the schema's columns and its primary key. The
    // table's present files are not deleted: they are moved into the folder of `aside`, or
    // of a folder named for this moment when none is given. The table must not be open.
    void createTable(TableId id, TableFilesAside* aside = nullptr);

    // Attaching: cursors call these on open and close; the file stays attached while any
    // cursor of it is open. Throws EngineError when the file is missing or read-only.
    void acquire(TableId id);
    void release(TableId id);
    bool isAttached(TableId id) const;

    // "schema"."NRVA2002company" for SQL text.
    QString qualifiedName(TableId id) const;

    sqlite3* handle() const { return m_db.get(); }
    // A prepared statement from the cache; reset and unbound, ready to bind. The handle
    // shares the statement with the cache, so it stays valid when the cache grows or is
    // cleared (a table closing); once the connection is gone, stepping it fails cleanly.
    std::shared_ptr<Statement> prepared(const QString& sql);
    // The same as a reference, for callers outside the engine: it lasts only until the next
    // table closes.
    Statement& statement(const QString& sql) { return *prepared(sql); }
    void exec(const QString& sql);

    // Transactions nest (the inner ones are savepoints).
    void begin();
    void commit();
    void rollback();
    int transactionDepth() const { return m_depth; }

    // RAII transaction: rolls back unless committed.
    class Transaction {
    public:
        explicit Transaction(Database& db) : m_db(db) { m_db.begin(); }
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
    void connect();
    void disconnect();
    // Refuses a file of a newer version and migrates an older one, on the attached schema.
    void bringToCurrentVersion(TableId id, const QString& path);

    struct Closer {
        void operator()(sqlite3* db) const noexcept;
    };

    QString m_registryPath;
    QString m_defaultDataDir;
    std::unique_ptr<sqlite3, Closer> m_db;
    int m_attachCount[5] = {0, 0, 0, 0, 0};
    int m_depth = 0;
    QHash<QString, std::shared_ptr<Statement>> m_cache;
};

// Files are "present" only when they open for reading and writing; a read-only file (its
// owner write bit cleared) counts as missing even for a user who could override it.
bool fileOpensReadWrite(const QString& path);

// Finds a file in dir whose name equals name ignoring letter case; empty when none.
QString findFileNoCase(const QString& dir, const QString& name);

} // namespace nerova
