#include "data/TablesExistCreate.h"

#include "data/Database.h"
#include "data/DemoData.h"
#include "data/EngineError.h"
#include "data/Global.h"
#include "data/Schema.h"
#include "data/Table.h"

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
    // What a run of ours killed half-way left goes before the tables are looked at.
    db.clearLeftovers();
    int missing = 0;
    for (TableId id : kAllTables) {
        const TableDef& def = tableDef(id);
        // The flow table has no label of its own: the test label stays shown.
        if (id != TableId::Flow)
            progress.setLabel(QStringLiteral("Checking %1 files ...").arg(def.label));
        if (!db.tablePresent(id))
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
    // Whatever the five tables replace is kept together; however creation ends, the
    // window's last text tells where.
    const Database::ReplacingRun run(db);
    const auto asideNote = [&db] { return db.replacedTablesNote(); };
    const auto fail = [&](const QString& error) {
        progress.setBusy(false);
        showError(error);
        if (!asideNote().isEmpty())
            progress.setLabel(asideNote());
        return false;
    };
    try {
        for (TableId id : kAllTables) {
            const TableDef& def = tableDef(id);
            const QString label = QString::fromLatin1(def.label);
            progress.setLabel(QStringLiteral("Creating %1 files ...").arg(label));
            try {
                db.createTable(id);
            } catch (const EngineError&) {
                return fail(
                    QStringLiteral("Error creating field definitions - %1 Table").arg(label));
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
                return fail(QStringLiteral("Error filling - %1 Table").arg(label));
            }
            QString done = QStringLiteral("%1 Table Filled Successfully").arg(label);
            if (id == TableId::Flow) {
                done = QStringLiteral("Test Tables Filled Successfully");
                if (!asideNote().isEmpty())
                    done += QLatin1Char('\n') + asideNote();
            }
            progress.setLabel(done);
            table.close();
        }
    } catch (...) {
        if (!asideNote().isEmpty())
            progress.setLabel(asideNote());
        throw;
    }
    return true;
}

} // namespace nerova
