#include "support/TempDatabase.h"

#include "data/TablesExistCreate.h"
#include "support/PgCluster.h"

#include <QDir>
#include <QSaveFile>
#include <stdexcept>

namespace nerova::test {

namespace {
struct SilentProgress : TablesProgress {
    void setCaption(const QString&) override {}
    void setLabel(const QString&) override {}
    void showWindow() override {}
    void hideWindow() override {}
    void setBusy(bool) override {}
};
} // namespace

TablesProgress& silentProgress() {
    static SilentProgress progress;
    return progress;
}

bool TempDatabase::serverRequested() {
    return qEnvironmentVariable("NEROVA_TEST_BACKEND") == QLatin1String("server");
}

TempDatabase::TempDatabase(bool withDemoTables, Where where) {
    if (where == Where::Server || serverRequested()) {
        // A server run must not quietly fall back to files: a missing server is a failure.
        PgCluster& cluster = PgCluster::shared();
        if (!cluster.available())
            throw std::runtime_error(cluster.skipReason().toStdString());
        const QString uri = cluster.createDatabase();
        m_serverDatabase = PgCluster::databaseOf(uri);
        QSaveFile f(registryPath());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Text) ||
            f.write(QStringLiteral("[NRVA2002]\nCONNECTION=%1\n").arg(uri).toUtf8()) < 0 ||
            !f.commit())
            throw std::runtime_error("Cannot write the test alias registry");
        QDir().mkpath(dataDir());
        m_db = std::make_unique<Database>(registryPath(), dataDir());
    } else {
        m_db = std::make_unique<Database>(registryPath(), dataDir());
        m_db->databaseDirectory(); // writes the registry and makes the data folder
    }
    if (withDemoTables)
        createDemoTables();
}

TempDatabase::~TempDatabase() {
    // The connection goes first; a database still in use elsewhere is dropped regardless.
    m_db.reset();
    if (!isServer())
        return;
    try {
        PgCluster::shared().dropDatabase(m_serverDatabase);
    } catch (const std::exception&) {
        // A database left behind goes with the whole cluster at exit.
    }
}

void TempDatabase::createDemoTables() {
    TablesProgress& progress = silentProgress();
    QString failure;
    if (!TablesCreate(*m_db, progress, [&](const QString& e) { failure = e; }))
        throw std::runtime_error(failure.toStdString());
}

} // namespace nerova::test
