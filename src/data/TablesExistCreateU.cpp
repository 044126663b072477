#include "data/TablesExistCreateU.h"

#include "data/Database.h"
#include "data/DemoData.h"
#include "data/EngineError.h"
#include "data/RestorePlan.h"
#include "data/Schema.h"
#include "data/Table.h"

#include <QDir>

namespace nerova {

namespace {

const QString kCaption = QStringLiteral("Checking files");

struct BusyGuard {
    TablesProgress& p;
    explicit BusyGuard(TablesProgress& progress) : p(progress) { p.setBusy(true); }
    ~BusyGuard() { p.setBusy(false); }
};

} // namespace

bool TablesExist(Database& db, TablesProgress& progress) {
    progress.setCaption(kCaption);
    progress.showWindow();
    const QString dir = db.databaseDirectory();
    finishInterruptedRestore(dir);
    int missing = 0;
    for (TableId id : kAllTables) {
        const TableDef& def = tableDef(id);
        // The flow table has no label of its own: the test label stays shown.
        if (id != TableId::Flow)
            progress.setLabel(QStringLiteral("Checking %1 files ...").arg(def.label));
        const QString path = findFileNoCase(dir, def.capitalisedFileName());
        if (path.isEmpty() || !fileOpensReadWrite(path))
            ++missing;
    }
    progress.hideWindow();
    return missing == 0;
}

bool TablesCreate(Database& db, TablesProgress& progress,
                  const std::function<void(const QString&)>& showError) {
    progress.setCaption(kCaption);
    progress.showWindow();
    BusyGuard busy(progress);
    for (TableId id : kAllTables) {
        const TableDef& def = tableDef(id);
        const QString label = QString::fromLatin1(def.label);
        progress.setLabel(QStringLiteral("Creating %1 files ...").arg(label));
        try {
            db.createTable(id);
        } catch (const EngineError&) {
            progress.setBusy(false);
            showError(QStringLiteral("Error creating field definitions - %1 Table").arg(label));
            return false;
        }
        Table table(db, id);
        table.open();
        progress.setLabel(QStringLiteral("Filling %1 Table").arg(label));
        try {
            for (int row = 0; row < demoRowCount(id); ++row) {
                table.append();
                fillDemoRow(table, id, row);
                table.post();
            }
        } catch (const EngineError&) {
            progress.setBusy(false);
            showError(QStringLiteral("Error filling - %1 Table").arg(label));
            return false;
        }
        progress.setLabel(id == TableId::Flow
                              ? QStringLiteral("Test Tables Filled Successfully")
                              : QStringLiteral("%1 Table Filled Successfully").arg(label));
        table.close();
    }
    return true;
}

} // namespace nerova
