#pragma once

#include "data/Database.h"

#include <QTemporaryDir>
#include <memory>

namespace nerova::test {

// A database of its own in a temporary folder: its own alias registry (never the user's)
// and a data folder, optionally holding the five tables with the demonstration rows.
class TempDatabase {
public:
    explicit TempDatabase(bool withDemoTables = true);
    QString dataDir() const { return m_dir.filePath(QStringLiteral("data")); }
    QString registryPath() const { return m_dir.filePath(QStringLiteral("aliases.ini")); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    Database& db() { return *m_db; }
    void createDemoTables();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

} // namespace nerova::test
