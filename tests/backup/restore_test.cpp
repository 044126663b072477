#include "backup/ArchiveFixture.h"
#include "backup/ArchiveWorker.h"
#include "backup/BackupFrm.h"
#include "backup/RestoreFrm.h"
#include "data/Database.h"
#include "support/Child.h"
#include "support/ScriptedPrompt.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace nerova;
using namespace nerova::test;

namespace {

const QStringList kTables{"Company", "Location", "Pump", "Test", "Flow"};
const QString kSuccess = QStringLiteral("All files were restored successfully.");

QString tableFile(const QString& table) {
    return "NRVA2002" + table + ".db";
}

// A database folder inside its own parent, so that anything written beside it shows.
struct Site {
    QTemporaryDir root;
    QString db = root.path() + "/data";
    QString archive = root.path() + "/NRVA2002DataBackup.zip";

    Site() {
        for (const QString& t : kTables)
            writeFile(db + "/" + tableFile(t), tableFileBytes(t, "current"));
    }
    QString at(const QString& name) const { return db + "/" + name; }
    QStringList files() const {
        return QDir(db).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs |
                                      QDir::NoDotAndDotDot,
                                  QDir::Name);
    }
    QStringList allTableFiles() const {
        QStringList out;
        for (const QString& t : kTables)
            out << tableFile(t);
        out.sort();
        return out;
    }
};

QList<RawEntry> newTables(const QStringList& tables) {
    QList<RawEntry> out;
    for (const QString& t : tables)
        out << RawEntry{tableFile(t), tableFileBytes(t, "restored")};
    return out;
}

// Runs the restore with the archive chosen and the confirmation typed.
bool runRestore(ScriptedPrompt& prompt, const Site& site, const QString& archive,
                std::optional<QString> typed = QStringLiteral("YES")) {
    prompt.files.enqueue(archive);
    prompt.inputs.enqueue(typed);
    TRestoreFrm frm(site.db);
    return frm.RunRestore();
}

void verifyUntouched(const Site& site) {
    QCOMPARE(site.files(), site.allTableFiles());
    for (const QString& t : kTables)
        QCOMPARE(readFile(site.at(tableFile(t))), tableFileBytes(t, "current"));
}

} // namespace

class RestoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void restoresEveryTableAsNewFiles();
    void asksForTheArchiveAndTheConfirmation();
    void onlyExactYesRestores_data();
    void onlyExactYesRestores();
    void unopenableArchiveIsNotRestored();
    void partialArchiveReplacesOnlyItsTables();
    void entriesStayInsideTheDatabaseFolder();
    void damagedEntryKeepsTheOldFile();
    void unreadableArchiveChangesNothing_data();
    void unreadableArchiveChangesNothing();
    void tableFileSpelledDifferentlyIsReplaced();
    void hostileEntryChangesNothing_data();
    void hostileEntryChangesNothing();
    void cancelledRestoreLeavesNoStagedFile();
    void backupAndRestoreRoundTripRealTables();
};

void RestoreTest::restoresEveryTableAsNewFiles() {
    Site site;
    QList<RawEntry> entries = newTables(kTables);
    entries[1].mode = 0777; // what the archive says of modes and times is not taken over
    writeRawArchive(site.archive, entries);
    // A read-only table file in the folder is replaced all the same.
    ::chmod(QFile::encodeName(site.at(tableFile("Pump"))).constData(), 0444);
    const mode_t mask = ::umask(0);
    ::umask(mask);

    ScriptedPrompt prompt;
    prompt.files.enqueue(site.archive);
    prompt.inputs.enqueue(QStringLiteral("YES"));
    TRestoreFrm frm(site.db);
    QCOMPARE(frm.windowTitle(), QStringLiteral("Restoring Data"));
    QCOMPARE(child<QLabel>(frm, "StatusLabel2")->text(), QStringLiteral("None"));
    prompt.buttons.enqueue(Prompt::Button::Ok);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    QVERIFY(frm.RunRestore());

    QCOMPARE(prompt.texts(), QStringList{kSuccess});
    QCOMPARE(prompt.messages.first().kind, Prompt::Kind::Information);
    QCOMPARE(child<QLabel>(frm, "StatusLabel2")->text(), QStringLiteral("Flow data files ..."));
    QVERIFY(!frm.isVisible());
    QCOMPARE(site.files(), site.allTableFiles()); // no temporary file left behind
    for (const QString& t : kTables) {
        QCOMPARE(readFile(site.at(tableFile(t))), tableFileBytes(t, "restored"));
        QVERIFY(QFileInfo(site.at(tableFile(t))).lastModified() >= before);
        QCOMPARE(fileMode(site.at(tableFile(t))), int(0666 & ~mask));
    }
}

void RestoreTest::asksForTheArchiveAndTheConfirmation() {
    Site site;
    ScriptedPrompt prompt;
    TRestoreFrm frm(site.db);
    QVERIFY(!frm.RunRestore()); // dialog cancelled
    QCOMPARE(prompt.fileRequests,
             QStringList{"Select Backup File to Restore|" + QDir::toNativeSeparators(site.db) +
                         "/|NRVA 2002 Backups (NRVA2002DataBackup*.zip);;All Files (*)|"
                         "NRVA 2002 Backups (NRVA2002DataBackup*.zip)|zip"});
    QVERIFY(prompt.inputPrompts.isEmpty());
    QVERIFY(prompt.messages.isEmpty());
    QVERIFY(!frm.isVisible());

    // Any name chosen through "All Files" is read the same way.
    const QString odd = site.root.path() + "/july-backup";
    writeRawArchive(odd, newTables(kTables));
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(runRestore(prompt, site, odd));
    QCOMPARE(prompt.inputPrompts,
             QStringList{"Confirm Restore|Type YES to confirm overwriting existing data files"});
    QCOMPARE(readFile(site.at(tableFile("Flow"))), tableFileBytes("Flow", "restored"));
}

void RestoreTest::onlyExactYesRestores_data() {
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::newRow("lower case") << std::optional<QString>("yes");
    QTest::newRow("leading blank") << std::optional<QString>(" YES");
    QTest::newRow("box cancelled") << std::optional<QString>();
}

void RestoreTest::onlyExactYesRestores() {
    QFETCH(std::optional<QString>, typed);
    Site site;
    writeRawArchive(site.archive, newTables(kTables));
    ScriptedPrompt prompt;
    QVERIFY(!runRestore(prompt, site, site.archive, typed));
    QVERIFY(prompt.messages.isEmpty());
    verifyUntouched(site);
}

void RestoreTest::unopenableArchiveIsNotRestored() {
    Site site;
    writeRawArchive(site.archive, newTables(kTables));
    ::chmod(QFile::encodeName(site.archive).constData(), 0444);
    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(!runRestore(prompt, site, site.archive));
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(!runRestore(prompt, site, site.root.path() + "/NRVA2002DataBackupGone.zip"));
    QCOMPARE(prompt.texts(),
             (QStringList{"Error finding Backup File", "Error finding Backup File"}));
    QVERIFY(prompt.inputPrompts.isEmpty()); // never asked to confirm
    verifyUntouched(site);
}

void RestoreTest::partialArchiveReplacesOnlyItsTables() {
    Site site;
    QList<RawEntry> entries{{"readme.txt", "not a table"},
                            {"NRVA2002DataBackup.zip", "an archive inside"},
                            {"NRVA2002Company.px", "company index"}};
    entries << newTables({"Company"});
    writeRawArchive(site.archive, entries);

    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(runRestore(prompt, site, site.archive));
    QCOMPARE(prompt.texts(), QStringList{kSuccess});
    QCOMPARE(readFile(site.at(tableFile("Company"))), tableFileBytes("Company", "restored"));
    QCOMPARE(readFile(site.at("NRVA2002Company.px")), QByteArray("company index"));
    for (const QString& t : kTables.mid(1))
        QCOMPARE(readFile(site.at(tableFile(t))), tableFileBytes(t, "current"));
    QStringList expected = site.allTableFiles() << "NRVA2002Company.px";
    expected.sort();
    QCOMPARE(site.files(), expected);
}

void RestoreTest::entriesStayInsideTheDatabaseFolder() {
    Site site;
    QTemporaryDir outside;
    writeRawArchive(
        site.archive,
        {{"../" + tableFile("Company"), tableFileBytes("Company", "restored")},
         {outside.path() + "/" + tableFile("Location"), tableFileBytes("Location", "restored")},
         {"C:\\" + tableFile("Pump"), tableFileBytes("Pump", "restored")},
         {"sub/" + tableFile("Test"), tableFileBytes("Test", "restored")},
         {"NRVA2002Flow.db/", QByteArray()}}); // a folder entry

    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(runRestore(prompt, site, site.archive));
    QCOMPARE(prompt.texts(), QStringList{kSuccess});
    for (const QString& t : kTables.first(4))
        QCOMPARE(readFile(site.at(tableFile(t))), tableFileBytes(t, "restored"));
    QCOMPARE(readFile(site.at(tableFile("Flow"))), tableFileBytes("Flow", "current"));
    QCOMPARE(site.files(), site.allTableFiles()); // no "sub" folder, nothing else
    QCOMPARE(QDir(site.root.path()).entryList(QDir::Files),
             QStringList{site.archive.mid(site.root.path().size() + 1)});
    QVERIFY(QDir(outside.path()).isEmpty());
}

void RestoreTest::damagedEntryKeepsTheOldFile() {
    Site site;
    QList<RawEntry> entries = newTables(kTables);
    entries[4].stored = true; // stored bytes can be altered without breaking inflation
    writeRawArchive(site.archive, entries);
    QByteArray raw = readFile(site.archive);
    const qsizetype at = raw.indexOf(tableFileBytes("Flow", "restored").left(40));
    QVERIFY(at > 0);
    raw[at + 5] = 'X';
    writeFile(site.archive, raw);

    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok); // the damaged entry
    prompt.buttons.enqueue(Prompt::Button::Ok); // the closing warning
    QVERIFY(runRestore(prompt, site, site.archive));
    QCOMPARE(prompt.messages.size(), 2);
    QCOMPARE(prompt.messages[0].kind, Prompt::Kind::Error);
    QVERIFY(prompt.messages[0].text.contains("NRVA2002Flow.db"));
    QVERIFY(prompt.messages[0].text.contains("CRC"));
    // The close says so instead of claiming every file came back.
    QCOMPARE(prompt.messages[1].kind, Prompt::Kind::Warning);
    QVERIFY(prompt.messages[1].text != kSuccess);
    QCOMPARE(readFile(site.at(tableFile("Flow"))), tableFileBytes("Flow", "current"));
    for (const QString& t : kTables.first(4))
        QCOMPARE(readFile(site.at(tableFile(t))), tableFileBytes(t, "restored"));
    QCOMPARE(site.files(), site.allTableFiles());
}

void RestoreTest::unreadableArchiveChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("truncated archive") << "truncated";
    QTest::newRow("text file named .zip") << "text";
}

void RestoreTest::unreadableArchiveChangesNothing() {
    QFETCH(QString, kind);
    Site site;
    if (kind == "truncated") {
        writeRawArchive(site.archive, newTables(kTables));
        const QByteArray raw = readFile(site.archive);
        writeFile(site.archive, raw.left(raw.size() * 2 / 3));
    } else {
        writeFile(site.archive, "NRVA2002Company.db\nthis is a letter, not an archive\n");
    }

    ScriptedPrompt prompt;
    TRestoreFrm frm(site.db);
    prompt.files.enqueue(site.archive);
    prompt.inputs.enqueue(QStringLiteral("YES"));
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(!frm.RunRestore());
    QCOMPARE(prompt.messages.size(), 1);
    QCOMPARE(prompt.messages.first().kind, Prompt::Kind::Error);
    QVERIFY(prompt.lastText().contains(QDir::toNativeSeparators(site.archive)));
    verifyUntouched(site);
}

void RestoreTest::tableFileSpelledDifferentlyIsReplaced() {
    Site site;
    QFile::rename(site.at("NRVA2002Company.db"), site.at("NRVA2002company.db"));
    writeFile(site.at("NRVA2002COMPANY.DB"), "a stray second spelling");
    writeRawArchive(site.archive, newTables({"Company"}));

    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(runRestore(prompt, site, site.archive));
    QCOMPARE(prompt.texts(), QStringList{kSuccess});
    QCOMPARE(site.files(), site.allTableFiles()); // one file for the table
    QCOMPARE(readFile(site.at("NRVA2002Company.db")), tableFileBytes("Company", "restored"));
}

void RestoreTest::hostileEntryChangesNothing_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("mode");
    QTest::addColumn<qint64>("freeSpace"); // beyond the margin; -1: the disk's own figure
    QTest::addColumn<QString>("why");
    const QString notTable = "NRVA2002Flow.db is not a Flow table";
    QTest::newRow("symbolic link") << QByteArray("../../etc/passwd") << 0120777 << qint64(-1)
                                   << "NRVA2002Flow.db is a symbolic link";
    QTest::newRow("junk") << QByteArray("no table at all").repeated(100) << 0644 << qint64(-1)
                          << notTable + " of this program (file is not a database)";
    QTest::newRow("zeros") << QByteArray(256 * 1024, '\0') << 0644 << qint64(-1) << notTable;
    QTest::newRow("zeros, too large") << QByteArray(1024 * 1024, '\0') << 0644 << qint64(512 * 1024)
                                      << "NRVA2002Flow.db is larger than the free space left";
    QTest::newRow("same name twice")
        << QByteArray() << 0644 << qint64(-1) << "the backup file holds NRVA2002Flow.db twice";
}

void RestoreTest::hostileEntryChangesNothing() {
    QFETCH(QByteArray, data);
    QFETCH(int, mode);
    QFETCH(qint64, freeSpace);
    QFETCH(QString, why);
    Site site;
    // Good files for the other tables: a hostile one among them keeps all five as they are.
    QList<RawEntry> entries = newTables(kTables.first(4));
    if (data.isEmpty()) {
        entries << newTables({"Flow"}) << RawEntry{"NRVA2002Flow.dX", tableFileBytes("Flow", "x")};
        writeRawArchive(site.archive, entries);
        writeFile(site.archive,
                  readFile(site.archive).replace("NRVA2002Flow.dX", "NRVA2002Flow.db"));
    } else {
        entries << RawEntry{tableFile("Flow"), data, false, mode};
        writeRawArchive(site.archive, entries);
    }

    ScriptedPrompt prompt;
    prompt.files.enqueue(site.archive);
    prompt.inputs.enqueue(QStringLiteral("YES"));
    prompt.buttons.enqueue(Prompt::Button::Ok);
    TRestoreFrm frm(site.db);
    if (freeSpace >= 0)
        frm.setFreeSpaceProbe(
            [&](const QString&) { return freeSpace + TRestoreFrm::kFreeSpaceMargin; });
    QVERIFY(!frm.RunRestore());
    QCOMPARE(prompt.messages.size(), 1);
    QCOMPARE(prompt.messages.first().kind, Prompt::Kind::Error);
    QVERIFY2(prompt.lastText().startsWith("Nothing was restored: ") &&
                 prompt.lastText().contains(why),
             qPrintable(prompt.lastText()));
    verifyUntouched(site);
}

void RestoreTest::cancelledRestoreLeavesNoStagedFile() {
    Site site;
    writeRawArchive(site.archive, newTables(kTables));
    ScriptedPrompt prompt;
    prompt.files.enqueue(site.archive);
    prompt.inputs.enqueue(QStringLiteral("YES"));
    TRestoreFrm frm(site.db);
    // Cancel as soon as the first block is out, from the worker itself, so it is never late.
    connect(
        &frm.worker(), &ArchiveWorker::progressed, &frm.worker(), [&frm] { frm.worker().cancel(); },
        Qt::DirectConnection);
    QVERIFY(!frm.RunRestore());
    QCOMPARE(prompt.texts(), QStringList());
    QCOMPARE(child<QLabel>(frm, "StatusLabel2")->text(), QStringLiteral("Restore cancelled"));
    verifyUntouched(site);
}

void RestoreTest::backupAndRestoreRoundTripRealTables() {
    QTemporaryDir root;
    const QString db = root.path() + "/data";
    {
        Database engine(root.path() + "/aliases.ini", db);
        for (TableId id : kAllTables)
            engine.createTable(id);
    }
    QMap<QString, QByteArray> saved;
    for (const QString& f : QDir(db).entryList(QDir::Files))
        saved.insert(f, readFile(db + "/" + f));
    QCOMPARE(saved.size(), 5);

    ScriptedPrompt prompt;
    TBackupFrm backup(db);
    prompt.folders.enqueue(root.path());
    backup.ChangeButtonClick();
    backup.BackupButtonClick();
    QCOMPARE(prompt.texts(), QStringList());

    // Damage the data: one table lost, one overwritten.
    QFile::remove(db + "/NRVA2002pump.db");
    writeFile(db + "/NRVA2002test.db", "overwritten");

    prompt.files.enqueue(root.path() + "/NRVA2002DataBackup.zip");
    prompt.inputs.enqueue(QStringLiteral("YES"));
    TRestoreFrm restore(db);
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(restore.RunRestore());
    QCOMPARE(prompt.texts(), QStringList{kSuccess});
    for (auto it = saved.cbegin(); it != saved.cend(); ++it)
        QCOMPARE(readFile(db + "/" + it.key()), it.value());

    // The engine opens every restored table.
    Database engine(root.path() + "/aliases.ini", db);
    for (TableId id : kAllTables) {
        engine.acquire(id);
        engine.release(id);
    }
}

QTEST_MAIN(RestoreTest)
#include "restore_test.moc"
