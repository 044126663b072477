#include "backup/ArchiveFixture.h"
#include "backup/BackupFrmU.h"
#include "backup/RestoreFrmU.h"
#include "data/Database.h"
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
            writeFile(db + "/" + tableFile(t), tableBytes(t, "current"));
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
        out << RawEntry{tableFile(t), tableBytes(t, "restored")};
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
        QCOMPARE(readFile(site.at(tableFile(t))), tableBytes(t, "current"));
}

} // namespace

class RestoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void restoresEveryTableWithTimesAndModes();
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
    void backupAndRestoreRoundTripRealTables();
};

void RestoreTest::restoresEveryTableWithTimesAndModes() {
    Site site;
    QList<RawEntry> entries = newTables(kTables);
    entries[1].mode = 0444; // stored read-only: restored read-only
    writeRawArchive(site.archive, entries);
    // A read-only table file in the folder is replaced all the same.
    ::chmod(QFile::encodeName(site.at(tableFile("Pump"))).constData(), 0444);

    ScriptedPrompt prompt;
    prompt.files.enqueue(site.archive);
    prompt.inputs.enqueue(QStringLiteral("YES"));
    TRestoreFrm frm(site.db);
    QCOMPARE(frm.windowTitle(), QStringLiteral("Restoring Data"));
    QCOMPARE(frm.StatusLabel2()->text(), QStringLiteral("None"));
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(frm.RunRestore());

    QCOMPARE(prompt.texts(), QStringList{kSuccess});
    QCOMPARE(prompt.messages.first().kind, Prompt::Kind::Information);
    QCOMPARE(frm.StatusLabel2()->text(), QStringLiteral("Flow data files ..."));
    QVERIFY(!frm.isVisible());
    QCOMPARE(site.files(), site.allTableFiles()); // no temporary file left behind
    for (const QString& t : kTables) {
        QCOMPARE(readFile(site.at(tableFile(t))), tableBytes(t, "restored"));
        QCOMPARE(QFileInfo(site.at(tableFile(t))).lastModified(), fixtureTime(30));
    }
    QCOMPARE(fileMode(site.at(tableFile("Location"))), 0444);
    QCOMPARE(fileMode(site.at(tableFile("Pump"))), 0644);
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
    QCOMPARE(readFile(site.at(tableFile("Flow"))), tableBytes("Flow", "restored"));
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
    QCOMPARE(readFile(site.at(tableFile("Company"))), tableBytes("Company", "restored"));
    QCOMPARE(readFile(site.at("NRVA2002Company.px")), QByteArray("company index"));
    for (const QString& t : kTables.mid(1))
        QCOMPARE(readFile(site.at(tableFile(t))), tableBytes(t, "current"));
    QStringList expected = site.allTableFiles() << "NRVA2002Company.px";
    expected.sort();
    QCOMPARE(site.files(), expected);
}

void RestoreTest::entriesStayInsideTheDatabaseFolder() {
    Site site;
    QTemporaryDir outside;
    writeRawArchive(
        site.archive,
        {{"../" + tableFile("Company"), tableBytes("Company", "restored")},
         {outside.path() + "/" + tableFile("Location"), tableBytes("Location", "restored")},
         {"C:\\" + tableFile("Pump"), tableBytes("Pump", "restored")},
         {"sub/" + tableFile("Test"), tableBytes("Test", "restored")},
         {"NRVA2002Flow.db/", QByteArray()}}); // a folder entry

    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(runRestore(prompt, site, site.archive));
    QCOMPARE(prompt.texts(), QStringList{kSuccess});
    for (const QString& t : kTables.first(4))
        QCOMPARE(readFile(site.at(tableFile(t))), tableBytes(t, "restored"));
    QCOMPARE(readFile(site.at(tableFile("Flow"))), tableBytes("Flow", "current"));
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
    const qsizetype at = raw.indexOf(tableBytes("Flow", "restored").left(40));
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
    QCOMPARE(readFile(site.at(tableFile("Flow"))), tableBytes("Flow", "current"));
    for (const QString& t : kTables.first(4))
        QCOMPARE(readFile(site.at(tableFile(t))), tableBytes(t, "restored"));
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
    QCOMPARE(readFile(site.at("NRVA2002Company.db")), tableBytes("Company", "restored"));
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
