#include "support/TempDatabase.h"

#include "data/TablesExistCreate.h"

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

TempDatabase::TempDatabase(bool withDemoTables) {
    m_db = std::make_unique<Database>(registryPath(), dataDir());
    m_db->databaseDirectory(); // writes the registry and makes the data folder
    if (withDemoTables)
        createDemoTables();
}

void TempDatabase::createDemoTables() {
    SilentProgress progress;
    QString failure;
    if (!TablesCreate(*m_db, progress, [&](const QString& e) { failure = e; }))
        throw std::runtime_error(failure.toStdString());
}

} // namespace nerova::test
