#include "data/Database.h"

#include "data/Backend.h"
#include "data/CaseFold.h"
#include "data/EngineError.h"
#include "data/Global.h"
#include "data/Leftovers.h"
#include "data/Statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace nerova {

DataLocation DataLocation::fromParameters(const QStringList& params) {
    const QString first = params.value(0);
    const QLatin1String connection("CONNECTION=");
    if (first.startsWith(connection, Qt::CaseInsensitive))
        return {true, {}, first.mid(connection.size()).trimmed()};
    return {false, first.mid(5), {}};
}

DataLocation DataLocation::fromText(const QString& text) {
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
        t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive))
        return {true, {}, t};
    return {false, t, {}};
}

namespace {

// "scheme://user:secret@" and "password=secret" among the parameters.
const QRegularExpression kUrlPassword(QStringLiteral("^([A-Za-z]+://[^/@:?]*):([^@/?]*)@"));
const QRegularExpression kParameterPassword(QStringLiteral("([?&])password=([^&]*)(&|$)"),
                                            QRegularExpression::CaseInsensitiveOption);

} // namespace

bool DataLocation::carriesPassword() const {
    const QString t = connection.trimmed();
    return server && (!kUrlPassword.match(t).captured(2).isEmpty() ||
                      !kParameterPassword.match(t).captured(2).isEmpty());
}

QString DataLocation::shownConnection() const {
    QString t = connection.trimmed();
    t.replace(kUrlPassword, QStringLiteral("\\1@"));
    t.replace(kParameterPassword, QStringLiteral("\\1"));
    if (t.endsWith(u'?') || t.endsWith(u'&'))
        t.chop(1);
    return t;
}

QString DataLocation::shownName() const {
    return server ? shownConnection() : QDir::toNativeSeparators(directory);
}

bool DataLocation::sameAs(const DataLocation& other) const {
    if (server != other.server)
        return false;
    if (server)
        return connection.trimmed() == other.connection.trimmed();
    const QString mine = QDir(directory).canonicalPath();
    return !mine.isEmpty() && mine == QDir(other.directory).canonicalPath();
}

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

Database::Database(const DataLocation& location) : m_fixed(location) {}

Database::~Database() = default;

QString Database::defaultRegistryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/nerova2002/aliases.ini");
}

QString Database::defaultDataDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/nerova2002/data");
}

void Database::ensureRegistry() const {
    if (m_registryPath.isEmpty() || QFileInfo::exists(m_registryPath))
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

DataLocation Database::location() const {
    if (m_fixed)
        return *m_fixed;
    if (m_location)
        return *m_location;
    const QStringList params = aliasParameters(QString::fromLatin1(kAliasName));
    if (params.isEmpty())
        throw EngineError(QStringLiteral("Alias %1 does not exist").arg(kAliasName));
    return DataLocation::fromParameters(params);
}

bool Database::isServer() const {
    return m_backend ? m_backend->isServer() : location().server;
}

QString Database::singleCopyLockPath() const {
    const DataLocation where = location();
    if (where.server || !QFileInfo(where.directory).isDir())
        return {};
    return QDir(where.directory).filePath(QStringLiteral("NRVA2002.lck"));
}

void Database::clearLeftovers() const {
    if (const DataLocation where = location(); !where.server)
        removeLeftovers(where.directory);
}

QString Database::databaseDirectory() const {
    const DataLocation where = location();
    if (where.server)
        throw EngineError(
            QStringLiteral("Alias %1 names a database server, not a folder.").arg(kAliasName));
    return where.directory;
}

QString Database::displayName() const {
    if (m_backend)
        return m_backend->displayName();
    return location().shownName();
}

QString Database::engineDescription() {
    try {
        QString text = backend().engineDescription();
        // A server names its database and host itself; a folder is named here.
        if (const DataLocation where = location(); !where.server && !where.directory.isEmpty())
            text = QStringLiteral("%1 files in %2").arg(text, displayName());
        dropBackendWhenIdle();
        return text;
    } catch (...) {
        dropBackendWhenIdle();
        throw;
    }
}

QString Database::tableFilePath(TableId id) const {
    const TableDef& def = tableDef(id);
    const QString dir = databaseDirectory();
    const QString found = findFileNoCase(dir, def.fileName());
    return found.isEmpty() ? QDir(dir).filePath(def.fileName()) : found;
}

Backend& Database::backend() {
    if (!m_backend) {
        const DataLocation where = location();
        m_backend = where.server ? makePostgresBackend(where.connection)
                                 : makeSqliteBackend(where.directory);
        m_location = where;
    }
    return *m_backend;
}

void Database::dropBackendWhenIdle() {
    if (!m_backend || !m_backend->idleWhenNoTableOpen() || m_replacingRuns > 0)
        return;
    for (int c : m_attachCount)
        if (c > 0)
            return;
    m_backend.reset();
    m_location.reset();
    m_depth = 0;
}

bool Database::tablePresent(TableId id) {
    const bool present = backend().tablePresent(id);
    dropBackendWhenIdle();
    return present;
}

void Database::createTable(TableId id) {
    if (isAttached(id))
        throw EngineError(QStringLiteral("Table is open: %1").arg(tableDef(id).fileName()));
    try {
        Backend& b = backend();
        if (m_runStarting) {
            b.setReplacingRun(true);
            m_runStarting = false;
        }
        b.createTable(id);
    } catch (...) {
        dropBackendWhenIdle();
        throw;
    }
    dropBackendWhenIdle();
}

QString Database::replacedTablesNote() const {
    return m_backend ? m_backend->replacedTablesNote() : QString();
}

// The backend is reached at the first creation, so that an unreachable server fails there,
// as a creation, and it stays while the run lasts, holding the run's place.
Database::ReplacingRun::ReplacingRun(Database& db) : m_db(db) {
    ++m_db.m_replacingRuns;
    m_db.m_runStarting = true;
}

Database::ReplacingRun::~ReplacingRun() {
    if (--m_db.m_replacingRuns > 0)
        return;
    if (m_db.m_backend && !m_db.m_runStarting)
        m_db.m_backend->setReplacingRun(false);
    m_db.m_runStarting = false;
    m_db.dropBackendWhenIdle();
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
    try {
        backend().openTable(id);
    } catch (...) {
        dropBackendWhenIdle();
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
    if (m_backend)
        m_backend->closeTable(id);
    dropBackendWhenIdle();
}

QString Database::qualifiedName(TableId id) const {
    if (m_backend)
        return m_backend->qualifiedName(id);
    const TableDef& def = tableDef(id);
    return isServer() ? quoteIdent(QString::fromLatin1(def.baseName))
                      : QString::fromLatin1(def.name) + QLatin1Char('.') +
                            quoteIdent(QString::fromLatin1(def.baseName));
}

QString Database::rowVersionExpression() const {
    return m_backend ? m_backend->rowVersionExpression() : QString();
}

QString Database::rowLockClause(RowLock lock) const {
    return m_backend ? m_backend->rowLockClause(lock == RowLock::Update) : QString();
}

QString Database::caseFoldEquals(const QString& lhs, const QString& rhs) const {
    if (m_backend)
        return m_backend->caseFoldEquals(lhs, rhs);
    return QStringLiteral("%1 = %2 COLLATE %3").arg(lhs, rhs, QLatin1String(kCaseFoldCollation));
}

std::pair<QString, QString> prefixSides(const QString& column, const QString& prefix,
                                        QVariantList& binds) {
    binds << QVariant::fromValue<qint64>(prefix.toUcs4().size()) << prefix;
    return {QStringLiteral("substr(%1, 1, ?)").arg(quoteIdent(column)), QStringLiteral("?")};
}

QString Backend::foldedPrefix(TableId, const QString& column, const QString& prefix,
                              QVariantList& binds) const {
    const auto [lhs, rhs] = prefixSides(column, prefix, binds);
    return caseFoldEquals(lhs, rhs);
}

QString Database::foldedPrefix(TableId id, const QString& column, const QString& prefix,
                               QVariantList& binds) const {
    if (m_backend)
        return m_backend->foldedPrefix(id, column, prefix, binds);
    const auto [lhs, rhs] = prefixSides(column, prefix, binds);
    return caseFoldEquals(lhs, rhs);
}

std::unique_ptr<RowWriter> Database::rowWriter(TableId id) {
    ++m_writeEpoch;
    if (!m_backend || !isAttached(id))
        throw EngineError(QStringLiteral("The table is not open."));
    return m_backend->rowWriter(id);
}

QString Database::orderSuffix() const {
    return m_backend ? m_backend->orderSuffix() : QString();
}

std::shared_ptr<Statement> Database::prepared(const QString& sql) {
    if (!sql.startsWith(QLatin1String("SELECT ")))
        ++m_writeEpoch;
    if (!m_backend)
        throw EngineError(QStringLiteral("The table is not open."));
    return m_backend->prepared(sql);
}

std::shared_ptr<Statement> Database::streamed(const QString& sql) {
    if (!m_backend)
        throw EngineError(QStringLiteral("The table is not open."));
    return m_backend->streamed(sql);
}

void Database::exec(const QString& sql) {
    ++m_writeEpoch;
    if (!m_backend)
        throw EngineError(QStringLiteral("The table is not open."));
    m_backend->exec(sql);
}

void Database::runTogether(const std::vector<Statement*>& statements) {
    if (!m_backend)
        throw EngineError(QStringLiteral("The table is not open."));
    m_backend->runTogether(statements);
}

std::pair<QString, QString> Database::keptRowId(const QString& subquery) const {
    return m_backend ? m_backend->keptRowId(subquery) : std::pair<QString, QString>();
}

bool Database::readsTogether() const {
    return m_backend && m_backend->isServer();
}

void Database::begin() {
    if (m_depth == 0)
        exec(m_backend ? m_backend->beginSql() : QString());
    else
        exec(QStringLiteral("SAVEPOINT sp%1").arg(m_depth));
    ++m_depth;
}

void Database::beginSnapshotRead() {
    if (m_depth > 0 || !m_backend)
        return begin();
    exec(m_backend->beginSnapshotSql());
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
    if (!m_backend)
        return;
    try {
        if (m_depth == 0)
            exec(QStringLiteral("ROLLBACK"));
        else
            exec(QStringLiteral("ROLLBACK TO sp%1; RELEASE sp%1").arg(m_depth));
    } catch (const EngineError&) {
        // The backend may already have rolled back on its own (disk full, I/O error, a
        // lost connection).
    }
}

QString Database::lastErrorText() const {
    return m_backend ? m_backend->lastErrorText() : QString();
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
