// A worker process edits, deletes with cascades, renames locations and restores the tables
// without pause, and is killed with SIGKILL at random moments. After every kill the tables
// are opened as the program opens them at start-up, and must hold exactly what the worker
// had committed (plus, at most, the one operation it was in the middle of), in files that
// pass SQLite's own integrity check, with no row missing its owner.
#include "backup/BackupFrm.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/TableChain.h"
#include "data/TablesExistCreate.h"
#include "reliability/SampleTree.h"
#include "support/Child.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <unistd.h>

using namespace nerova;
using namespace nerova::test;

namespace {

constexpr int kKills = 200;
// A slow machine stretches the restores until most kills land inside one; it then keeps
// killing, up to this many times, until every kind of operation has been interrupted.
constexpr int kMaxKills = 600;
constexpr quint32 kSeed = 2002;
// Kills land this long after the worker is ready; its operations take a few milliseconds
// each, so the range covers many of them and every stage of a restore.
constexpr int kMaxDelayMicros = 150000;

QString describeDifference(const TreeSnapshot& want, const TreeSnapshot& got) {
    QStringList out;
    for (int t = 0; t < 5; ++t) {
        for (auto it = want.rows[t].cbegin(); it != want.rows[t].cend(); ++it) {
            if (!got.rows[t].contains(it.key()))
                out << QStringLiteral("missing %1").arg(it.key());
            else if (got.rows[t].value(it.key()) != it.value())
                out << QStringLiteral("%1 holds %2, not %3")
                           .arg(it.key(), got.rows[t].value(it.key()), it.value());
        }
        for (const QString& key : got.rows[t].keys()) {
            if (!want.rows[t].contains(key))
                out << QStringLiteral("unexpected %1").arg(key);
        }
    }
    return out.mid(0, 6).join(QStringLiteral("; "));
}

} // namespace

class CrashTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void killedAtRandomMomentsLosesNothing();

private:
    void resetToPristine();

    std::unique_ptr<TempDatabase> m_db;
    QTemporaryDir m_work;
    QString m_pristine;
    QString m_archive;
};

void CrashTest::initTestCase() {
    QVERIFY(QFileInfo::exists(QStringLiteral(RELIABILITY_WORKER)));
    m_db = std::make_unique<TempDatabase>(false);
    fillSampleTree(m_db->db());
    m_pristine = m_work.filePath(QStringLiteral("pristine"));
    QVERIFY(QDir().mkpath(m_pristine));
    for (TableId id : kAllTables)
        QVERIFY(QFile::copy(m_db->db().tableFilePath(id),
                            QDir(m_pristine).filePath(tableDef(id).fileName())));

    // The archive the worker restores from is written by the program's own backup.
    ScriptedPrompt prompt;
    prompt.folders.enqueue(m_work.path());
    prompt.dialogs.enqueue([](QDialog& d) {
        auto& frm = static_cast<TBackupFrm&>(d);
        child<QLineEdit>(frm, "FileNameField")->setText(QStringLiteral("Pristine"));
        frm.ChangeButtonClick();
        frm.BackupButtonClick();
        return frm.result();
    });
    TBackupFrm backup(m_db->dataDir());
    QCOMPARE(backup.ShowBackupWindow(), int(QDialog::Accepted));
    m_archive = backup.archivePath();
    QVERIFY2(QFileInfo::exists(m_archive), qPrintable(prompt.texts().join(QLatin1Char('/'))));
}

void CrashTest::resetToPristine() {
    QDir data(m_db->dataDir());
    for (const QString& name : data.entryList(QDir::Files | QDir::Hidden))
        QFile::remove(data.filePath(name));
    copyFolderFiles(m_pristine, m_db->dataDir());
}

void CrashTest::killedAtRandomMomentsLosesNothing() {
    const TreeSnapshot pristine = sampleSnapshot();
    TreeSnapshot model = pristine;
    QRandomGenerator rng(kSeed);
    const QString logPath = m_work.filePath(QStringLiteral("worker.log"));
    QMap<QString, int> interrupted; // operation kind → kills that landed inside it
    int completed = 0;
    int restoreBreaks = 0;
    QString firstBreak;
    QSet<QString> litter; // temporary files a killed command left in the data folder

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString runtime = m_work.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);

    int cycle = 0;
    for (; cycle < kMaxKills && (cycle < kKills || interrupted.size() < 4); ++cycle) {
        QFile::remove(logPath);
        QProcess worker;
        worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        worker.setProcessEnvironment(env);
        worker.start(QStringLiteral(RELIABILITY_WORKER),
                     {m_db->registryPath(), m_db->dataDir(), logPath,
                      QString::number(kSeed * 1000 + static_cast<quint32>(cycle)), m_archive});
        QVERIFY(worker.waitForStarted(30000));
        const bool ready = worker.waitForReadyRead(60000);
        QFile earlyLog(logPath);
        QVERIFY2(ready && worker.state() == QProcess::Running,
                 qPrintable(QStringLiteral("cycle %1: worker not ready: %2")
                                .arg(cycle)
                                .arg(earlyLog.open(QIODevice::ReadOnly)
                                         ? QString::fromUtf8(earlyLog.readAll())
                                         : QString())));
        ::usleep(static_cast<useconds_t>(rng.bounded(kMaxDelayMicros)));
        ::kill(static_cast<pid_t>(worker.processId()), SIGKILL);
        QVERIFY(worker.waitForFinished(30000));

        // Replay the log: what was committed, and what may have been under way.
        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        TreeSnapshot expected = model;
        QString pending;
        for (const QByteArray& raw : log.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw);
            QVERIFY2(
                !line.startsWith(QLatin1Char('X')),
                qPrintable(QStringLiteral("cycle %1: worker failed: %2").arg(cycle).arg(line)));
            if (line.startsWith(QLatin1String("B "))) {
                pending = line.mid(2);
            } else if (line == QLatin1String("E")) {
                expected = applyOperation(expected, pending);
                pending.clear();
                ++completed;
            }
        }
        if (!pending.isEmpty())
            ++interrupted[pending.section(QLatin1Char(' '), 0, 0)];

        // Open the tables as the program does at start-up.
        TreeSnapshot after;
        {
            Database db(m_db->registryPath(), m_db->dataDir());
            QVERIFY2(TablesExist(db, silentProgress()),
                     qPrintable(QStringLiteral("cycle %1: a table file is missing").arg(cycle)));
            TableChain chain(db);
            try {
                chain.open(TableId::Flow);
                const QStringList damaged = integrityProblems(db);
                QVERIFY2(damaged.isEmpty(),
                         qPrintable(QStringLiteral("cycle %1 (%2): %3")
                                        .arg(cycle)
                                        .arg(pending, damaged.join(QLatin1Char('/')))));
                after = readSnapshot(db);
            } catch (const EngineError& e) {
                QFAIL(qPrintable(
                    QStringLiteral("cycle %1 (%2): %3").arg(cycle).arg(pending, e.text())));
            }
            chain.close();
        }

        bool matches =
            after == expected || (!pending.isEmpty() && after == applyOperation(expected, pending));
        bool mixed = false;
        if (!matches && pending == QLatin1String("RESTORE")) {
            // A restore puts the files back one by one: each table is either as it was or
            // as archived.
            matches = true;
            for (int t = 0; t < 5; ++t)
                matches = matches &&
                          (after.rows[t] == expected.rows[t] || after.rows[t] == pristine.rows[t]);
            mixed = matches;
        }
        QVERIFY2(matches, qPrintable(QStringLiteral("cycle %1 (%2): %3")
                                         .arg(cycle)
                                         .arg(pending, describeDifference(expected, after))));

        // What the killed command left is gone once the program has started again.
        for (const QString& name : QDir(m_db->dataDir())
                                       .entryList({QStringLiteral(".NRVA2002restore-*"),
                                                   QStringLiteral("NRVA2002main.db-mj*")},
                                                  QDir::Files | QDir::Hidden))
            litter.insert(name);

        const QStringList shape = shapeProblems(after);
        if (!shape.isEmpty()) {
            QVERIFY2(mixed, qPrintable(QStringLiteral("cycle %1 (%2): %3")
                                           .arg(cycle)
                                           .arg(pending, shape.mid(0, 4).join(QLatin1Char('/')))));
            if (firstBreak.isEmpty())
                firstBreak = shape.first();
            ++restoreBreaks;
            resetToPristine();
            model = pristine;
        } else {
            model = after;
        }
    }

    QStringList counts;
    for (auto it = interrupted.cbegin(); it != interrupted.cend(); ++it)
        counts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    qInfo("%d kills, %d operations committed; kills inside: %s", cycle, completed,
          qPrintable(counts.join(QStringLiteral(", "))));
    // The kills must have found the worker busy with every kind of operation.
    QVERIFY(completed >= kKills / 4);
    QCOMPARE(interrupted.size(), 4);

    qInfo("%d kills inside a restore left the tables inconsistent; %d temporary files left",
          restoreBreaks, int(litter.size()));
    QVERIFY2(restoreBreaks == 0,
             qPrintable(QStringLiteral("%1 interrupted restores left the tables inconsistent, "
                                       "e.g. %2")
                            .arg(restoreBreaks)
                            .arg(firstBreak)));
    QVERIFY2(litter.isEmpty(),
             qPrintable(QStringLiteral("%1 temporary files left: %2")
                            .arg(litter.size())
                            .arg(litter.values().mid(0, 3).join(QLatin1Char(' ')))));
}

QTEST_MAIN(CrashTest)
#include "crash_test.moc"
