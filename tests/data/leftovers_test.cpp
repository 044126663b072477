// What runs of ours killed half-way leave behind is gone once the program starts again;
// nothing of the user's and nothing a running copy still uses goes with it.
#include "data/Database.h"
#include "data/Leftovers.h"
#include "data/Table.h"
#include "data/TablesExistCreate.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QtTest>

using namespace nerova;
using nerova::test::silentProgress;
using nerova::test::TempDatabase;

namespace {

void writeFile(const QString& path, const QByteArray& bytes = "x") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The note and lock a run writes for a passing path, as a run killed with it in place left
// them: a lock of ours whose process is gone.
void killedRunWroteDown(const QString& registry, const QString& name, const QString& path) {
    QProcess gone;
    gone.start(QStringLiteral("true"));
    QVERIFY(gone.waitForStarted());
    const QByteArray pid = QByteArray::number(gone.processId());
    QVERIFY(gone.waitForFinished());
    const QString lockPath = registry + "/" + name + ".lck";
    QDir().mkpath(registry);
    {
        QLockFile lock(lockPath);
        QVERIFY(lock.tryLock(0));
        QFile f(lockPath);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        lock.unlock(); // removes it; written again below with the dead process's number
        bytes.replace(0, bytes.indexOf('\n'), pid);
        writeFile(lockPath, bytes);
    }
    writeFile(registry + "/" + name + ".path", QFile::encodeName(path));
}

} // namespace

class LeftoversTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void databaseFolderIsClearedAtStart() {
        if (TempDatabase::serverRequested())
            QSKIP("a folder's own leftovers");
        TempDatabase tmp;
        const QDir data(tmp.dataDir());
        const QStringList litter{"NRVA2002main.db-mj1A2B3C4D", "NRVA2002main.db-mj0F0F0F0F",
                                 ".NRVA2002restore-3k2j1h", ".NRVA2002pump.db.new"};
        for (const QString& name : litter)
            writeFile(data.filePath(name));
        writeFile(data.filePath("NRVA2002main notes.txt"));  // the user's
        QVERIFY(data.mkdir("Replaced 2003-01-02 03-04-05")); // made, then killed
        writeFile(data.filePath("Replaced 2003-01-02 03-04-06/NRVA2002company.db"));
        // A copy killed before it committed left the empty tables it made, written down.
        const QString copied = tmp.path("copied");
        {
            Database target(DataLocation{false, copied, {}});
            QDir().mkpath(copied);
            for (TableId id : kAllTables)
                target.createTable(id);
        }
        writeFile(copied + "/.NRVA2002copy.unfinished", "NRVA2002company.db\nNRVA2002flow.db\n");

        TablesProgress& progress = silentProgress();
        QVERIFY(TablesExist(tmp.db(), progress));
        for (const QString& name : litter)
            QVERIFY2(!data.exists(name), qPrintable(name));
        QVERIFY(data.exists("NRVA2002main notes.txt"));
        QCOMPARE(data.entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{"Replaced 2003-01-02 03-04-06"});
        Table company(tmp.db(), TableId::Company);
        company.open();
        QCOMPARE(company.recordCount(), 1);

        removeLeftovers(copied);
        QCOMPARE(QDir(copied).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"NRVA2002location.db", "NRVA2002pump.db", "NRVA2002test.db"}));
    }

    void passingPathsOfGoneRunsAreRemoved() {
        QTemporaryDir dir;
        const QString registry = dir.filePath("register");
        setPassingRegister(registry);
        const QString usb = dir.filePath("usb");
        const QString partial = usb + "/.NRVA2002DataBackup1a2b3c.partial";
        const QString tables = dir.filePath("nerova2002-tables-Xy12Zw");
        const QString users = usb + "/letter.txt";
        for (const QString& path :
             {partial, partial + ".Ab12Cd", tables + "/NRVA2002company.db", users})
            writeFile(path);
        killedRunWroteDown(registry, "a", partial);
        killedRunWroteDown(registry, "b", tables);
        killedRunWroteDown(registry, "c", users); // not a name of ours: never removed
        // A backup still running keeps its partial archive.
        const QString running = usb + "/.NRVA2002DataBackupffff.partial";
        writeFile(running);
        {
            const PassingPathHolder holder(running);
            removePassingLeftovers();
            QCOMPARE(QDir(usb).entryList(QDir::Files | QDir::Hidden),
                     (QStringList{".NRVA2002DataBackupffff.partial", "letter.txt"}));
            QVERIFY(!QFileInfo::exists(tables));
        }
        QCOMPARE(QDir(registry).entryList(QDir::Files | QDir::Hidden), QStringList());
        setPassingRegister({});
    }
};

QTEST_GUILESS_MAIN(LeftoversTest)
#include "leftovers_test.moc"
