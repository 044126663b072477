#include "data/Database.h"

#include "data/CaseFold.h"
#include "data/EngineError.h"
#include "data/Global.h"
#include "data/Statement.h"
#include "data/TableFilesAside.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <optional>
#include <sqlite3.h>

namespace nerova {

namespace {

// The connection's main database. Cross-file transactions are atomic only when the main
// database is a real file (SQLite then writes a super-journal beside it), so a cascade over
// several table files survives a crash either completely or not at all.
const char* kMainFileName = "NRVA2002main.db";

QString sqlType(ColumnType t) {
    switch (t) {
    case ColumnType::Number:
        return QStringLiteral("REAL");
    case ColumnType::Logical:
        return QStringLiteral("INTEGER");
    default:
        return QStringLiteral("TEXT");
    }
}

QString createSql(const TableDef& def) {
    QStringList parts;
    for (const ColumnDef& c : def.columns) {
        QString col = quoteIdent(QString::fromLatin1(c.name)) + QLatin1Char(' ') + sqlType(c.type);
        if (c.required)
            col += QStringLiteral(" NOT NULL");
        parts << col;
    }
    QStringList keys;
    for (const QString& k : def.keyNames())
        keys << quoteIdent(k);
    parts << QStringLiteral("PRIMARY KEY (%1)").arg(keys.join(QStringLiteral(", ")));
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(quoteIdent(QString::fromLatin1(def.baseName)), parts.join(QStringLiteral(", ")));
}

void execOn(sqlite3* db, const QString& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "unknown error");
        sqlite3_free(err);
        throw EngineError(QStringLiteral("Database error: %1").arg(msg));
    }
}

} // namespace

bool fileOpensReadWrite(const QString& path) {
    QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return false;
    if (!(QFile::permissions(path) & QFileDevice::WriteOwner))
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    f.close();
    return true;
}

QString findFileNoCase(const QString& dir, const QString& name) {
    QDir d(dir);
    if (d.exists(name))
        return d.filePath(name);
    const QStringList entries = d.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return d.filePath(e);
    }
    return {};
}

Database::Database(QString registryPath, QString defaultDataDir)
    : m_registryPath(std::move(registryPath)), m_defaultDataDir(std::move(defaultDataDir)) {}

Database::~Database() {
    m_cache.clear();
}

void Database::Closer::operator()(sqlite3* db) const noexcept {
    // close_v2 waits for statements still shared out of the cache to be finalised.
    sqlite3_close_v2(db);
}

QString Database::defaultRegistryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/nerova2002/aliases.ini");
}

QString Database::defaultDataDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/nerova2002/data");
}

void Database::ensureRegistry() const {
    if (QFileInfo::exists(m_registryPath))
        return;
    // First use: register the alias as an installer would, and make its folder.
    QDir().mkpath(QFileInfo(m_registryPath).absolutePath());
    QDir().mkpath(m_defaultDataDir);
    QSaveFile f(m_registryPath);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream out(&f);
    out << '[' << kAliasName << "]\n"
        << "PATH=" << QDir::cleanPath(QDir(m_defaultDataDir).absolutePath()) << '\n';
    out.flush();
    f.commit();
}

QStringList Database::aliasParameters(const QString& alias) const {
    ensureRegistry();
    QFile f(m_registryPath);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList params;
    bool inGroup = false;
    bool found = false;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            if (inGroup)
                break;
            inGroup = line.mid(1, line.size() - 2).compare(alias, Qt::CaseInsensitive) == 0;
            found = found || inGroup;
            continue;
        }
        if (inGroup)
            params << line;
    }
    if (found && params.isEmpty())
        params << QString(); // the group exists without parameters
    return found ? params : QStringList();
}

bool Database::aliasExists(const QString& alias) const {
    return !aliasParameters(alias).isEmpty();
}

QString Database::databaseDirectory() const {
    const QStringList params = aliasParameters(QString::fromLatin1(kAliasName));
    if (params.isEmpty())
        throw EngineError(QStringLiteral("Alias %1 does not exist").arg(kAliasName));
    return params.first().mid(5);
}

QString Database::tableFilePath(TableId id) const {
    const TableDef& def = tableDef(id);
    const QString dir = databaseDirectory();
    const QString found = findFileNoCase(dir, def.fileName());
    return found.isEmpty() ? QDir(dir).filePath(def.fileName()) : found;
}

QString Database::qualifiedName(TableId id) const {
    const TableDef& def = tableDef(id);
    return QString::fromLatin1(def.name) + QLatin1Char('.') +
           quoteIdent(QString::fromLatin1(def.baseName));
}

void Database::createTable(TableId id, TableFilesAside* aside) {
    if (isAttached(id))
        throw EngineError(QStringLiteral("Table is open: %1").arg(tableDef(id).fileName()));
    const TableDef& def = tableDef(id);
    const QString dir = databaseDirectory();
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
        std::unique_ptr<sqlite3, Closer> db(raw);
        try {
            if (rc != SQLITE_OK)
                throw EngineError(QStringLiteral("Cannot create %1: %2")
                                      .arg(finalPath, QString::fromUtf8(sqlite3_errmsg(raw))));
            execOn(db.get(), QStringLiteral("PRAGMA journal_mode=DELETE"));
            execOn(db.get(), createSql(def));
            execOn(db.get(), QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion));
        } catch (...) {
            db.reset();
            QFile::remove(tmpPath);
            throw;
        }
    }

    // The old files, every spelling and the journal with them, go aside unchanged.
    std::optional<TableFilesAside> own;
    if (!aside)
        aside = &own.emplace(dir, now());
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

void Database::connect() {
    if (m_db)
        return;
    const QString dir = databaseDirectory();
    QString mainPath = QDir(dir).filePath(QString::fromLatin1(kMainFileName));
    auto open = [](const QByteArray& path) {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(path.constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        std::unique_ptr<sqlite3, Closer> db(raw); // a failed open still hands out a handle
        if (rc != SQLITE_OK)
            db.reset();
        return db;
    };
    auto db = open(mainPath.toUtf8());
    if (!db) {
        // A folder we cannot write to still lets the tables be read.
        db = open(QByteArrayLiteral(":memory:"));
        if (!db)
            throw EngineError(QStringLiteral("Cannot open the database in %1").arg(dir));
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

void Database::disconnect() {
    m_cache.clear();
    m_db.reset();
    m_depth = 0;
}

bool Database::isAttached(TableId id) const {
    return m_attachCount[static_cast<int>(id)] > 0;
}

void Database::acquire(TableId id) {
    int& count = m_attachCount[static_cast<int>(id)];
    if (count > 0) {
        ++count;
        return;
    }
    const TableDef& def = tableDef(id);
    const QString dir = databaseDirectory();
    const QString path = findFileNoCase(dir, def.fileName());
    if (path.isEmpty())
        throw EngineError(QStringLiteral("Table does not exist.\nFile: %1")
                              .arg(QDir(dir).filePath(def.fileName())));
    if (!fileOpensReadWrite(path))
        throw EngineError(
            QStringLiteral("Table is read-only or in use by another program.\nFile: %1").arg(path));
    const bool wasConnected = m_db != nullptr;
    connect();
    try {
        Statement attach(m_db.get(), QStringLiteral("ATTACH DATABASE ?1 AS %1").arg(def.name));
        attach.bind(1, path);
        attach.run();
    } catch (const EngineError& e) {
        if (!wasConnected)
            disconnect();
        throw EngineError(QStringLiteral("Cannot open table %1.\n%2").arg(path, e.text()));
    }
    try {
        const QString schema = QString::fromLatin1(def.name);
        execOn(m_db.get(), QStringLiteral("PRAGMA %1.journal_mode=DELETE").arg(schema));
        execOn(m_db.get(), QStringLiteral("PRAGMA %1.synchronous=FULL").arg(schema));
        Statement check(m_db.get(), QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE "
                                                   "type='table' AND name=?1 COLLATE NOCASE")
                                        .arg(schema));
        check.bind(1, QString::fromLatin1(def.baseName));
        if (!check.step() || check.int64(0) != 1)
            throw EngineError(QStringLiteral("Not a %1 table file.\nFile: %2")
                                  .arg(QString::fromLatin1(def.label), path));
        bringToCurrentVersion(id, path);
    } catch (const EngineError&) {
        m_cache.clear();
        execOn(m_db.get(), QStringLiteral("DETACH DATABASE %1").arg(def.name));
        if (!wasConnected)
            disconnect();
        throw;
    }
    count = 1;
}

void Database::release(TableId id) {
    int& count = m_attachCount[static_cast<int>(id)];
    if (count == 0)
        return;
    if (--count > 0)
        return;
    m_cache.clear(); // cached statements may refer to the detached schema
    if (m_db) {
        try {
            execOn(m_db.get(), QStringLiteral("DETACH DATABASE %1").arg(tableDef(id).name));
        } catch (const EngineError&) {
        }
    }
    bool any = false;
    for (int c : m_attachCount)
        any = any || c > 0;
    if (!any)
        disconnect();
}

std::shared_ptr<Statement> Database::prepared(const QString& sql) {
    if (!m_db)
        throw EngineError(QStringLiteral("The table is not open."));
    auto it = m_cache.find(sql);
    if (it == m_cache.end())
        it = m_cache.insert(sql, std::make_shared<Statement>(m_db.get(), sql));
    it.value()->reset();
    return it.value();
}

void Database::exec(const QString& sql) {
    if (!m_db)
        throw EngineError(QStringLiteral("The table is not open."));
    execOn(m_db.get(), sql);
}

void Database::begin() {
    if (m_depth == 0)
        exec(QStringLiteral("BEGIN IMMEDIATE"));
    else
        exec(QStringLiteral("SAVEPOINT sp%1").arg(m_depth));
    ++m_depth;
}

void Database::commit() {
    if (m_depth == 0)
        return;
    if (m_depth == 1)
        exec(QStringLiteral("COMMIT"));
    else
        exec(QStringLiteral("RELEASE sp%1").arg(m_depth - 1));
    --m_depth;
}

void Database::rollback() {
    if (m_depth == 0)
        return;
    --m_depth;
    if (!m_db)
        return;
    try {
        if (m_depth == 0)
            exec(QStringLiteral("ROLLBACK"));
        else
            exec(QStringLiteral("ROLLBACK TO sp%1; RELEASE sp%1").arg(m_depth));
    } catch (const EngineError&) {
        // SQLite may already have rolled back on its own (disk full, I/O error).
    }
}

QString Database::lastErrorText() const {
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db.get())) : QString();
}

Database::Transaction::~Transaction() {
    if (!m_done)
        m_db.rollback();
}

void Database::Transaction::commit() {
    m_db.commit();
    m_done = true;
}

} // namespace nerova
