#include "data/Backend.h"
#include "data/CaseFold.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Global.h"
#include "data/SchemaVersion.h"
#include "data/SqliteStatement.h"
#include "data/TableFileCheck.h"
#include "data/TableFilesAside.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <optional>
#include <sqlite3.h>

// The file database: one SQLite connection to which each table file is attached while a
// cursor has it open, so that a change touching several tables (a delete cascade, a change
// of identifier) is one transaction.

namespace nerova {

namespace {

// The connection's main database. Cross-file transactions are atomic only when the main
// database is a real file (SQLite then writes a super-journal beside it), so a cascade over
// several table files survives a crash either completely or not at all.
const char* kMainFileName = "NRVA2002main.db";

struct Closer {
    void operator()(sqlite3* db) const noexcept {
        // close_v2 waits for statements still shared out of the cache to be finalised.
        sqlite3_close_v2(db);
    }
};
using Connection = std::unique_ptr<sqlite3, Closer>;

void execOn(sqlite3* db, const QString& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "unknown error");
        sqlite3_free(err);
        throw EngineError(QStringLiteral("Database error: %1").arg(msg));
    }
}

Connection openFile(const QByteArray& path) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Connection db(raw); // a failed open still hands out a handle
    if (rc != SQLITE_OK)
        db.reset();
    return db;
}

class SqliteBackend final : public Backend {
public:
    explicit SqliteBackend(QString dir) : m_dir(std::move(dir)) {}
    ~SqliteBackend() override { m_cache.clear(); }

    bool isServer() const override { return false; }
    bool idleWhenNoTableOpen() const override { return true; }
    QString displayName() const override { return QDir::toNativeSeparators(m_dir); }
    QString engineDescription() override {
        return QStringLiteral("SQLite %1").arg(QString::fromLatin1(sqlite3_libversion()));
    }
    QString beginSql() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    // One program per data folder (the single-copy lock): nobody else writes meanwhile.
    QString rowVersionExpression() const override { return {}; }
    QString caseFoldEquals(const QString& lhs, const QString& rhs) const override {
        return QStringLiteral("%1 = %2 COLLATE %3")
            .arg(lhs, rhs, QLatin1String(kCaseFoldCollation));
    }

    QString qualifiedName(TableId id) const override {
        const TableDef& def = tableDef(id);
        return QString::fromLatin1(def.name) + QLatin1Char('.') +
               quoteIdent(QString::fromLatin1(def.baseName));
    }

    std::shared_ptr<Statement> prepared(const QString& sql) override {
        if (!m_db)
            throw EngineError(QStringLiteral("The table is not open."));
        auto it = m_cache.find(sql);
        if (it == m_cache.end())
            it = m_cache.insert(sql, std::make_shared<SqliteStatement>(m_db.get(), sql));
        it.value()->reset();
        return it.value();
    }

    void exec(const QString& sql) override {
        if (!m_db)
            throw EngineError(QStringLiteral("The table is not open."));
        execOn(m_db.get(), sql);
    }

    QString lastErrorText() const override {
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db.get())) : QString();
    }

    std::unique_ptr<RowWriter> rowWriter(TableId id) override {
        // A prepared INSERT per row: inside one transaction SQLite takes them at memory speed.
        class Writer final : public RowWriter {
        public:
            explicit Writer(std::shared_ptr<Statement> insert) : m_insert(std::move(insert)) {}
            void write(const QVariantList& values) override {
                m_insert->reset();
                m_insert->bindAll(values);
                m_insert->run();
            }
            void finish() override { m_insert->reset(); }

        private:
            std::shared_ptr<Statement> m_insert;
        };
        return std::make_unique<Writer>(prepared(insertSql(qualifiedName(id), tableDef(id))));
    }

    bool tablePresent(TableId id) override {
        const QString path = findFileNoCase(m_dir, tableDef(id).capitalisedFileName());
        return !path.isEmpty() && fileOpensReadWrite(path);
    }

    void openTable(TableId id) override;
    void closeTable(TableId id) override;
    void createTable(TableId id) override;
    void setReplacingRun(bool on) override {
        if (on)
            m_run.emplace(m_dir, now());
        else
            m_run.reset();
    }
    QString replacedTablesNote() const override {
        if (!m_run || m_run->folderPath().isEmpty())
            return {};
        return QStringLiteral("The replaced table files are kept unchanged in\n%1\n"
                              "Restore them from that folder to go back to them.")
            .arg(QDir::toNativeSeparators(m_run->folderPath()));
    }
    void addIndex(TableId id, const IndexDef& index) override {
        const TableDef& def = tableDef(id);
        exec(tableFileIndexSql(def, index, QString::fromLatin1(def.name)));
    }

private:
    void connect();
    void bringToCurrentVersion(TableId id, const QString& path);

    QString m_dir;
    Connection m_db;
    QHash<QString, std::shared_ptr<SqliteStatement>> m_cache;
    // The replaced files of the current run of createTable go into one folder.
    std::optional<TableFilesAside> m_run;
};

void SqliteBackend::connect() {
    if (m_db)
        return;
    auto db = openFile(QDir(m_dir).filePath(QString::fromLatin1(kMainFileName)).toUtf8());
    if (!db) {
        // A folder we cannot write to still lets the tables be read.
        db = openFile(QByteArrayLiteral(":memory:"));
        if (!db)
            throw EngineError(QStringLiteral("Cannot open the database in %1").arg(m_dir));
    }
    sqlite3_busy_timeout(db.get(), 2000);
    sqlite3_extended_result_codes(db.get(), 1);
    registerCaseFold(db.get());
    try {
        execOn(db.get(), QStringLiteral("PRAGMA journal_mode=DELETE"));
        execOn(db.get(), QStringLiteral("PRAGMA synchronous=FULL"));
    } catch (const EngineError&) {
        // The main file only coordinates commits; a read-only one is not fatal.
    }
    m_db = std::move(db);
}

void SqliteBackend::openTable(TableId id) {
    const TableDef& def = tableDef(id);
    const QString path = findFileNoCase(m_dir, def.fileName());
    if (path.isEmpty())
        throw EngineError(QStringLiteral("Table does not exist.\nFile: %1")
                              .arg(QDir(m_dir).filePath(def.fileName())),
                          EngineError::Code::Missing);
    if (!fileOpensReadWrite(path))
        throw EngineError(
            QStringLiteral("Table is read-only or in use by another program.\nFile: %1").arg(path),
            EngineError::Code::ReadOnly);
    connect();
    try {
        SqliteStatement attach(m_db.get(),
                               QStringLiteral("ATTACH DATABASE ?1 AS %1").arg(def.name));
        attach.bind(1, path);
        attach.run();
    } catch (const EngineError& e) {
        throw EngineError(QStringLiteral("Cannot open table %1.\n%2").arg(path, e.text()));
    }
    try {
        const QString schema = QString::fromLatin1(def.name);
        execOn(m_db.get(), QStringLiteral("PRAGMA %1.journal_mode=DELETE").arg(schema));
        execOn(m_db.get(), QStringLiteral("PRAGMA %1.synchronous=FULL").arg(schema));
        SqliteStatement check(m_db.get(),
                              QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE "
                                             "type='table' AND name=?1 COLLATE NOCASE")
                                  .arg(schema));
        check.bind(1, QString::fromLatin1(def.baseName));
        if (!check.step() || check.int64(0) != 1)
            throw EngineError(QStringLiteral("Not a %1 table file.\nFile: %2")
                                  .arg(QString::fromLatin1(def.label), path));
        bringToCurrentVersion(id, path);
    } catch (const EngineError&) {
        closeTable(id);
        throw;
    }
}

void SqliteBackend::closeTable(TableId id) {
    m_cache.clear(); // cached statements may refer to the detached schema
    if (m_db) {
        try {
            execOn(m_db.get(), QStringLiteral("DETACH DATABASE %1").arg(tableDef(id).name));
        } catch (const EngineError&) {
        }
    }
}

void SqliteBackend::bringToCurrentVersion(TableId id, const QString& path) {
    const TableDef& def = tableDef(id);
    const QString schema = QString::fromLatin1(def.name);
    SqliteStatement read(m_db.get(), QStringLiteral("PRAGMA %1.user_version").arg(schema));
    const int version = read.step() ? static_cast<int>(read.int64(0)) : 0;
    if (version == kSchemaVersion)
        return;
    if (version == 0) {
        // Written before versions were stamped: ours only when its columns are.
        SqliteStatement info(m_db.get(),
                             QStringLiteral("PRAGMA %1.table_info(%2)")
                                 .arg(schema, quoteIdent(QString::fromLatin1(def.baseName))));
        QStringList columns;
        while (info.step())
            columns << info.text(1);
        if (columns != def.columnNames())
            throw EngineError(QStringLiteral("Not a %1 table file.\nFile: %2")
                                  .arg(QString::fromLatin1(def.label), path));
    }
    const bool callersTransaction = sqlite3_get_autocommit(m_db.get()) == 0;
    const auto undo = [&] {
        try {
            execOn(m_db.get(), QStringLiteral("ROLLBACK TO migrate; RELEASE migrate"));
        } catch (const EngineError&) {
        }
        if (!callersTransaction && sqlite3_get_autocommit(m_db.get()) == 0) {
            try {
                execOn(m_db.get(), QStringLiteral("ROLLBACK"));
            } catch (const EngineError&) {
            }
        }
    };
    execOn(m_db.get(), QStringLiteral("SAVEPOINT migrate"));
    try {
        migrateTable(*this, id, version, path);
        execOn(m_db.get(),
               QStringLiteral("PRAGMA %1.user_version = %2").arg(schema).arg(kSchemaVersion));
        execOn(m_db.get(), QStringLiteral("RELEASE migrate"));
    } catch (const EngineError&) {
        undo();
        // A table of a version we can use as it is opens all the same (a full disk leaves it
        // without its new index, only slower) and is brought up to date at a later opening;
        // unless SQLite ended the caller's transaction with the failure, which the caller
        // must hear of.
        const bool callerIntact = !callersTransaction || sqlite3_get_autocommit(m_db.get()) == 0;
        if (!schemaVersionUsable(version) || !callerIntact)
            throw;
    } catch (...) {
        undo();
        throw;
    }
}

void SqliteBackend::createTable(TableId id) {
    const TableDef& def = tableDef(id);
    const QString& dir = m_dir;
    if (!QFileInfo(dir).isDir())
        throw EngineError(QStringLiteral("Directory does not exist: %1").arg(dir));

    // Build the new file under a passing name and move it into place, so a failure never
    // leaves half a table behind. The leading dot keeps the passing file out of the table's
    // family of files, which is moved aside below.
    const QString finalPath = QDir(dir).filePath(def.fileName());
    const QString tmpPath =
        QDir(dir).filePath(QLatin1Char('.') + def.fileName() + QStringLiteral(".new"));
    QFile::remove(tmpPath); // our own leftover from an interrupted creation
    {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(tmpPath.toUtf8().constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        Connection db(raw);
        try {
            if (rc != SQLITE_OK)
                throw EngineError(QStringLiteral("Cannot create %1: %2")
                                      .arg(finalPath, QString::fromUtf8(sqlite3_errmsg(raw))));
            execOn(db.get(), QStringLiteral("PRAGMA journal_mode=DELETE"));
            execOn(db.get(), QStringLiteral("BEGIN"));
            execOn(db.get(), tableFileCreateSql(def));
            for (const IndexDef& index : def.indexes)
                if (!index.serverOnly())
                    execOn(db.get(), tableFileIndexSql(def, index));
            execOn(db.get(), QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion));
            execOn(db.get(), QStringLiteral("COMMIT"));
        } catch (...) {
            db.reset();
            QFile::remove(tmpPath);
            throw;
        }
    }

    // The old files, every spelling and the journal with them, go aside unchanged.
    std::optional<TableFilesAside> own;
    TableFilesAside* aside = m_run ? &*m_run : &own.emplace(dir, now());
    try {
        aside->take(id);
    } catch (...) {
        QFile::remove(tmpPath);
        throw;
    }
    if (!QFile::rename(tmpPath, finalPath)) {
        QFile::remove(tmpPath);
        aside->putBack();
        throw EngineError(QStringLiteral("Cannot create %1").arg(finalPath));
    }
}

} // namespace

std::unique_ptr<Backend> makeSqliteBackend(const QString& directory) {
    return std::make_unique<SqliteBackend>(directory);
}

} // namespace nerova
