// A stand-in for a user working on the database without pause, for the crash test, which
// kills it at random moments. It goes the program's own ways: the tables opened as the
// main window's chain, edits posted through the cursor, a company deleted with its cascade,
// a location given a new identifier, and the tables restored from an archive through the
// restore window with the tables closed.
//
// Before each operation it logs "B <operation>", after its commit "E", each line on disk
// (fsync) before it goes on, so the test knows what was done and what may have been under
// way.
//
// reliability_worker <alias registry> <data folder> <log file> <seed> <archive>
#include "backup/RestoreFrm.h"
#include "data/Cascade.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Identifiers.h"
#include "data/TableChain.h"
#include "data/TablesExistCreate.h"
#include "reliability/SampleTree.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QApplication>
#include <QRandomGenerator>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace nerova;
using namespace nerova::test;

namespace {

int g_log = -1;

void logLine(const QString& line) {
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    if (::write(g_log, bytes.constData(), static_cast<size_t>(bytes.size())) != bytes.size())
        std::_Exit(4);
    ::fsync(g_log);
}

QVariantList keyOf(const QString& key) {
    QVariantList out;
    for (const QString& part : key.split(kKeySeparator))
        out << part;
    return out;
}

// Positions the chain on the test row, as a user would by paging through the levels.
void locateTest(TableChain& chain, const QStringList& parts) {
    if (!chain.company.locate({QStringLiteral("CompanyID")}, {parts[0]}) ||
        !chain.location.locate({QStringLiteral("LocationID")}, {parts[1]}) ||
        !chain.pump.locate({QStringLiteral("PumpID")}, {parts[2]}) ||
        !chain.test.locate({QStringLiteral("TestID")}, {parts[3]}))
        throw EngineError(QStringLiteral("row not found: ") + parts.join(kKeySeparator));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 6)
        return 2;
    const QString registry = QString::fromLocal8Bit(argv[1]);
    const QString dataDir = QString::fromLocal8Bit(argv[2]);
    const QString archive = QString::fromLocal8Bit(argv[5]);
    const quint32 seed = static_cast<quint32>(QByteArray(argv[4]).toUInt());
    g_log = ::open(argv[3], O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (g_log < 0)
        return 3;

    ScriptedPrompt prompt;
    Database db(registry, dataDir);
    if (!TablesExist(db, silentProgress())) {
        logLine(QStringLiteral("X tables missing at start-up"));
        return 5;
    }
    TableChain chain(db);
    try {
        chain.open(TableId::Flow);
        TreeSnapshot model = readSnapshot(db);
        QRandomGenerator rng(seed);
        std::puts("READY");
        std::fflush(stdout);

        for (int n = 0;; ++n) {
            const int pick = rng.bounded(100);
            QString op;
            if (pick < 45 && !model.rows[3].isEmpty()) {
                const QStringList tests = model.tests();
                const QString key = tests[rng.bounded(static_cast<int>(tests.size()))];
                const QString text = QStringLiteral("s%1n%2").arg(seed).arg(n);
                op = QStringLiteral("POST %1 %2").arg(key, text);
                logLine(QStringLiteral("B ") + op);
                locateTest(chain, key.split(kKeySeparator));
                chain.test.edit();
                chain.test.setValue(QStringLiteral("Notes"), text);
                chain.test.post();
            } else if (pick < 65 && model.rows[0].size() > 3) {
                const QStringList companies = model.companies();
                const QString c = companies[rng.bounded(static_cast<int>(companies.size()))];
                op = QStringLiteral("DELC ") + c;
                logLine(QStringLiteral("B ") + op);
                chain.company.locate({QStringLiteral("CompanyID")}, {c});
                deleteWithDependants(db, TableId::Company, {c});
                chain.company.refresh();
            } else if (pick < 85 && !model.rows[1].isEmpty()) {
                const QStringList locations = model.locations();
                const QString key = locations[rng.bounded(static_cast<int>(locations.size()))];
                const QString fresh = QStringLiteral("L%1x%2").arg(seed).arg(n);
                op = QStringLiteral("CHLOC %1 %2 %3")
                         .arg(key.section(kKeySeparator, 0, 0), key.section(kKeySeparator, 1, 1),
                              fresh);
                logLine(QStringLiteral("B ") + op);
                if (identifierInUse(db, TableId::Location, keyOf(key), fresh))
                    throw EngineError(QStringLiteral("identifier in use: ") + fresh);
                changeIdentifier(db, TableId::Location, keyOf(key), fresh);
                chain.company.refresh();
            } else {
                op = QStringLiteral("RESTORE");
                logLine(QStringLiteral("B ") + op);
                chain.close();
                TRestoreFrm frm(db.databaseDirectory());
                prompt.clear();
                prompt.files.enqueue(archive);
                prompt.inputs.enqueue(QStringLiteral("YES"));
                prompt.buttons.enqueue(Prompt::Button::Ok); // the closing box
                const bool ran = frm.RunRestore();
                if (!ran || !prompt.lastText().startsWith(
                                QLatin1String("All files were restored successfully."))) {
                    logLine(QStringLiteral("X restore failed: ") +
                            prompt.texts().join(QLatin1Char('/')));
                    return 6;
                }
                chain.open(TableId::Flow);
            }
            logLine(QStringLiteral("E"));
            model = applyOperation(model, op);
        }
    } catch (const EngineError& e) {
        logLine(QStringLiteral("X ") +
                QString(e.text()).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return 7;
    }
}
