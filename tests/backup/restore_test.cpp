#include "backup/ArchiveFixture.h"
#include "backup/ArchiveWorker.h"
#include "backup/BackupFrm.h"
#include "backup/RestoreFrm.h"
#include "data/Database.h"
#include "data/Global.h"
#include "data/SqliteStatement.h"
#include "data/TableFileCheck.h"
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
    QStringList allTableFiles(const QStringList& more = {}) const {
        QStringList out = more;
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

// The moment restores in these tests happen, and the folder the replaced tables go to.
const QDateTime kMoment(QDate(2003, 1, 2), QTime(3, 4, 5));
const QString kReplaced = QStringLiteral("Replaced 2003-01-02 03-04-05");

QString replacedNote(const Site& site) {
    return "The table files it replaced are kept unchanged in\n" +
           QDir::toNativeSeparators(site.at(kReplaced));
}

// A file made by statements of the test's own, for table files our engine never writes.
QByteArray craftedTable(const QStringList& statements, int version = 1) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.db");
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    for (const QString& sql : statements) {
        char* error = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
            qFatal("%s: %s", qPrintable(sql), error);
    }
    sqlite3_exec(db, QByteArray("PRAGMA user_version=" + QByteArray::number(version)).constData(),
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return readFile(path);
}

} // namespace

class RestoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        setNowForTesting([] { return kMoment; });
    }
    void cleanup() { setNowForTesting({}); }
    void restoresEveryTableAsNewFiles();
    void asksForTheArchiveAndTheConfirmation();
    void onlyExactYesRestores_data();
    void onlyExactYesRestores();
    void unopenableArchiveIsNotRestored();
    void partialArchiveReplacesOnlyItsTables();
    void entriesStayInsideTheDatabaseFolder();
    void damagedEntryRestoresNothing();
    void unreadableArchiveChangesNothing_data();
    void unreadableArchiveChangesNothing();
    void tableFileSpelledDifferentlyIsReplaced();
    void hostileEntryChangesNothing_data();
    void hostileEntryChangesNothing();
    void testTableIndexesAsTheirVersionHasThem_data();
    void testTableIndexesAsTheirVersionHasThem();
    void archiveOfThousandsOfEntriesIsRefusedAtOnce();
    void archiveWithoutTablesOfOursIsRefused_data();
    void archiveWithoutTablesOfOursIsRefused();
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

    QCOMPARE(prompt.texts(), QStringList{kSuccess + "\n\n" + replacedNote(site)});
    QCOMPARE(prompt.messages.first().kind, Prompt::Kind::Information);
    QCOMPARE(child<QLabel>(frm, "StatusLabel2")->text(), QStringLiteral("Flow data files ..."));
    QVERIFY(!frm.isVisible());
    QCOMPARE(site.files(), site.allTableFiles({kReplaced})); // no temporary file left behind
    for (const QString& t : kTables) {
        QCOMPARE(readFile(site.at(tableFile(t))), tableFileBytes(t, "restored"));
        QVERIFY(QFileInfo(site.at(tableFile(t))).lastModified() >= before);
        QCOMPARE(fileMode(site.at(tableFile(t))), int(0666 & ~mask));
        // What it replaced is kept as it was, so the restore can be undone.
        QCOMPARE(readFile(site.at(kReplaced + "/" + tableFile(t))), tableFileBytes(t, "current"));
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
    // What the archive holds against what it replaces, before the typed YES.
    QCOMPARE(prompt.inputPrompts.size(), 1);
    QVERIFY(prompt.inputPrompts[0].startsWith("Confirm Restore|The archive july-backup of "));
    QVERIFY(prompt.inputPrompts[0].endsWith(
        " holds 0 companies, 0 locations, 0 pumps, 0 tests. Your data now holds 0 companies, "
        "0 locations, 0 pumps, 0 tests; it will be replaced.\n\n"
        "Type YES to confirm overwriting existing data files"));
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
    // A stale journal beside the table is ours to leave out: replayed over the restored
    // table it would damage it. Other files of a table's family are named and left out too.
    QList<RawEntry> entries{{"readme.txt", "not a table"},
                            {"NRVA2002DataBackup.zip", "an archive inside"},
                            {"NRVA2002Company.px", "company index"},
                            {"NRVA2002Company.db-journal", QByteArray(4096, '\xd9')},
                            {"sub/NRVA2002Company.db-wal", QByteArray(4096, '\x37')}};
    entries << newTables({"Company"});
    writeRawArchive(site.archive, entries);
    writeFile(site.at("NRVA2002Company.db-journal"), "a stale journal of the current table");

    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(runRestore(prompt, site, site.archive));
    QCOMPARE(prompt.texts(),
             QStringList{kSuccess +
                         "\n\nLeft out, as they are no table files:\nNRVA2002Company.px\n"
                         "NRVA2002Company.db-journal\nsub/NRVA2002Company.db-wal\n\n" +
                         replacedNote(site)});
    QCOMPARE(readFile(site.at(tableFile("Company"))), tableFileBytes("Company", "restored"));
    QVERIFY(checkTableFile(site.at(tableFile("Company")), TableId::Company));
    for (const QString& t : kTables.mid(1))
        QCOMPARE(readFile(site.at(tableFile(t))), tableFileBytes(t, "current"));
    QCOMPARE(site.files(), site.allTableFiles({kReplaced}));
    // The current table went aside with its journal.
    QCOMPARE(QDir(site.at(kReplaced)).entryList(QDir::Files),
             (QStringList{"NRVA2002Company.db", "NRVA2002Company.db-journal"}));
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
    QCOMPARE(prompt.texts(), QStringList{kSuccess + "\n\n" + replacedNote(site)});
    for (const QString& t : kTables.first(4))
        QCOMPARE(readFile(site.at(tableFile(t))), tableFileBytes(t, "restored"));
    QCOMPARE(readFile(site.at(tableFile("Flow"))), tableFileBytes("Flow", "current"));
    QCOMPARE(site.files(), site.allTableFiles({kReplaced})); // no "sub" folder, nothing else
    QCOMPARE(QDir(site.root.path()).entryList(QDir::Files),
             QStringList{site.archive.mid(site.root.path().size() + 1)});
    QVERIFY(QDir(outside.path()).isEmpty());
}

void RestoreTest::damagedEntryRestoresNothing() {
    Site site;
    QList<RawEntry> entries = newTables(kTables);
    entries[4].stored = true; // stored bytes can be altered without breaking inflation
    writeRawArchive(site.archive, entries);
    QByteArray raw = readFile(site.archive);
    const qsizetype at = raw.indexOf(tableFileBytes("Flow", "restored").left(40));
    QVERIFY(at > 0);
    raw[at + 30] = 'X'; // past the header's first bytes, which tell what the file is
    writeFile(site.archive, raw);

    // Four good tables and a damaged fifth would be tables of two moments.
    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(!runRestore(prompt, site, site.archive));
    QCOMPARE(prompt.messages.size(), 1);
    QCOMPARE(prompt.messages[0].kind, Prompt::Kind::Error);
    QCOMPARE(prompt.lastText(), QStringLiteral("Nothing was restored: NRVA2002Flow.db cannot be "
                                               "taken from the backup file (CRC error)."));
    QVERIFY(prompt.inputPrompts.isEmpty()); // refused before the question
    verifyUntouched(site);
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
    QCOMPARE(prompt.texts(), QStringList{kSuccess + "\n\n" + replacedNote(site)});
    QCOMPARE(site.files(), site.allTableFiles({kReplaced})); // one file for the table
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
                          << "NRVA2002Flow.db is not a table file of this program";
    QTest::newRow("zeros") << QByteArray(256 * 1024, '\0') << 0644 << qint64(-1)
                           << "NRVA2002Flow.db is not a table file of this program";
    QTest::newRow("damaged beyond its header")
        << tableFileBytes("Flow", "x").left(100) + QByteArray(4000, '\x55') << 0644 << qint64(-1)
        << notTable;
    QTest::newRow("zeros, too large") << QByteArray(1024 * 1024, '\0') << 0644 << qint64(512 * 1024)
                                      << "NRVA2002Flow.db is larger than the free space left";
    QTest::newRow("same name twice")
        << QByteArray() << 0644 << qint64(-1) << "the backup file holds NRVA2002Flow.db twice";
    // Sound SQLite files the engine must not take: each would act on the user's data or
    // break the next start.
    const QString create = tableFileCreateSql(tableDef(TableId::Flow));
    const QString keyClause = create.mid(create.indexOf(", PRIMARY KEY"));
    const QString noKey = create.left(create.indexOf(", PRIMARY KEY")) + ")";
    const auto crafted = [&](const char* name, const QStringList& sql, const QString& problem) {
        QTest::newRow(name) << craftedTable(sql) << 0644 << qint64(-1)
                            << notTable + " of this program (" + problem + ")";
    };
    crafted("trigger deleting at every save",
            {create, "CREATE TRIGGER wipe AFTER UPDATE ON NRVA2002flow BEGIN DELETE FROM "
                     "NRVA2002flow; END"},
            "it also holds the trigger \"wipe\"");
    crafted("trigger ignoring every save",
            {create, "CREATE TRIGGER deaf BEFORE UPDATE ON NRVA2002flow BEGIN SELECT "
                     "RAISE(IGNORE); END"},
            "it also holds the trigger \"deaf\"");
    crafted("view", {create, "CREATE VIEW v AS SELECT 1"}, "it also holds the view \"v\"");
    crafted("index of someone else's", {create, "CREATE INDEX mine ON NRVA2002flow (TestID)"},
            "it also holds the index \"mine\"");
    crafted("UTF-16 text", {"PRAGMA encoding='UTF-16le'", create},
            "its text is stored as UTF-16, not UTF-8");
    crafted("without row ids", {create + " WITHOUT ROWID"}, "its Flow table has no row ids");
    crafted("no key, rows twice",
            {noKey, "INSERT INTO NRVA2002flow (CompanyID, LocationID, PumpID, TestID, "
                    "\"Flow Point Number\") VALUES ('a','b','c','d','1'), ('a','b','c','d','1')"},
            "its Flow table does not have this program's key");
    crafted("generated column",
            {noKey.chopped(1) + ", x TEXT GENERATED ALWAYS AS (1) VIRTUAL" + keyClause},
            "its Flow table has other columns than this program's");
    crafted("key that replaces rows", {create.chopped(1) + " ON CONFLICT REPLACE)"},
            "its Flow table is made otherwise than this program makes it");
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

// The test table's index by date came with the second table version: an archive of the
// first restores with or without it (the program before made it when it first counted what
// was due) and gains it when opened; one of the second must have it exactly as made here.
void RestoreTest::testTableIndexesAsTheirVersionHasThem_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("why"); // empty: restored
    const TableDef& def = tableDef(TableId::Test);
    const QString create = tableFileCreateSql(def);
    const QString byDate = tableFileIndexSql(def, def.indexes.front());
    const QString problem = "NRVA2002Test.db is not a Test table of this program (%1)";
    QTest::newRow("first version") << craftedTable({create}) << QString();
    QTest::newRow("first version, indexed") << craftedTable({create, byDate}) << QString();
    QTest::newRow("second version, unindexed")
        << craftedTable({create}, 2)
        << problem.arg("it lacks the index \"NRVA2002test by date\" of its table version");
    QTest::newRow("index by date over other columns")
        << craftedTable(
               {create, "CREATE INDEX \"NRVA2002test by date\" ON NRVA2002test (\"Test Date\")"})
        << problem.arg(
               "its index \"NRVA2002test by date\" is made otherwise than this program makes it");
}

void RestoreTest::testTableIndexesAsTheirVersionHasThem() {
    QFETCH(QByteArray, data);
    QFETCH(QString, why);
    Site site;
    QList<RawEntry> entries = newTables({"Company", "Location", "Pump", "Flow"});
    entries << RawEntry{tableFile("Test"), data};
    writeRawArchive(site.archive, entries);
    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    const bool restored = runRestore(prompt, site, site.archive);
    if (!why.isEmpty()) {
        QVERIFY(!restored);
        QVERIFY2(prompt.lastText().contains(why), qPrintable(prompt.lastText()));
        verifyUntouched(site);
        return;
    }
    QVERIFY2(restored, qPrintable(prompt.lastText()));
    Database engine(site.root.filePath("aliases.ini"), site.db);
    engine.acquire(TableId::Test);
    {
        auto version = engine.prepared("PRAGMA test.user_version");
        QVERIFY(version->step());
        QCOMPARE(version->int64(0), qint64(kSchemaVersion));
        auto index = engine.prepared("SELECT count(*) FROM test.sqlite_master WHERE "
                                     "name = 'NRVA2002test by date'");
        QVERIFY(index->step());
        QCOMPARE(index->int64(0), qint64(1));
    }
    engine.release(TableId::Test);
    // What was migrated restores again: the index as the migration wrote it is the engine's.
    QCOMPARE(tableFileProblem(engine.tableFilePath(TableId::Test), TableId::Test), QString());
}

void RestoreTest::archiveOfThousandsOfEntriesIsRefusedAtOnce() {
    Site site;
    QList<RawEntry> entries = newTables(kTables);
    for (int i = 0; i < 10000; ++i)
        entries << RawEntry{QStringLiteral("NRVA2002Company.%1").arg(i), "x", true};
    writeRawArchive(site.archive, entries);
    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(!runRestore(prompt, site, site.archive));
    QCOMPARE(prompt.texts(), QStringList{"Nothing was restored: the backup file holds 10005 "
                                         "entries, where a backup holds one file per table."});
    verifyUntouched(site);
}

void RestoreTest::archiveWithoutTablesOfOursIsRefused_data() {
    QTest::addColumn<QList<RawEntry>>("entries");
    QTest::addColumn<QString>("why");
    QTest::newRow("no table file")
        << QList<RawEntry>{{"readme.txt", "a letter"}, {"NRVA2002Company.px", "an index"}}
        << "the backup file holds no table file of this program";
    // The old program's tables carry the same names in another format.
    QTest::newRow("tables of another kind")
        << QList<RawEntry>{{"NRVA2002Company.DB", QByteArray(2048, '\x02')},
                           {"NRVA2002Company.PX", QByteArray(2048, '\x01')}}
        << "NRVA2002Company.DB is not a table file of this program";
}

void RestoreTest::archiveWithoutTablesOfOursIsRefused() {
    QFETCH(QList<RawEntry>, entries);
    QFETCH(QString, why);
    Site site;
    writeRawArchive(site.archive, entries);
    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    QVERIFY(!runRestore(prompt, site, site.archive));
    QCOMPARE(prompt.texts(), QStringList{"Nothing was restored: " + why + "."});
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
    QVERIFY(prompt.lastText().startsWith(kSuccess + "\n\nThe table files it replaced"));
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
