#pragma once

#include "data/Database.h"

#include <QTemporaryDir>
#include <memory>

namespace nerova {
class TablesProgress;
}

namespace nerova::test {

// A progress window that shows nothing, for the table check and creation in tests.
TablesProgress& silentProgress();

// A database of its own in a temporary folder: its own alias registry (never the user's)
// and a data folder, optionally holding the five tables with the demonstration rows.
//
// With NEROVA_TEST_BACKEND=server in the environment the alias names a fresh database on
// the process's own PostgreSQL server instead (the data folder is still made, for the other
// files a test writes); it is dropped again with this object.
class TempDatabase {
public:
    enum class Where { AsRequested, Server };
    explicit TempDatabase(bool withDemoTables = true, Where where = Where::AsRequested);
    ~TempDatabase();
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;

    QString dataDir() const { return m_dir.filePath(QStringLiteral("data")); }
    QString registryPath() const { return m_dir.filePath(QStringLiteral("aliases.ini")); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    Database& db() { return *m_db; }
    void createDemoTables();

    bool isServer() const { return !m_serverDatabase.isEmpty(); }
    static bool serverRequested();

private:
    QTemporaryDir m_dir;
    QString m_serverDatabase;
    std::unique_ptr<Database> m_db;
};

} // namespace nerova::test
