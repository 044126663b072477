#include "backup/ArchiveFixture.h"
#include "backup/ArchiveWorker.h"
#include "backup/BackupFrm.h"
#include "backup/ZipArchiver.h"
#include "support/Child.h"
#include "support/ScriptedPrompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace nerova;
using namespace nerova::test;

namespace {

const QStringList kTableFiles{"NRVA2002company.db", "NRVA2002location.db", "NRVA2002pump.db",
                              "NRVA2002test.db", "NRVA2002flow.db"};

QString dirPath(const QTemporaryDir& dir, const QString& name = {}) {
    return name.isEmpty() ? dir.path() : dir.path() + QLatin1Char('/') + name;
}

void fillDatabase(const QString& folder) {
    for (int i = 0; i < kTableFiles.size(); ++i)
        writeFile(folder + QLatin1Char('/') + kTableFiles[i], tableBytes(kTableFiles[i], "v1"),
                  fixtureTime(i));
}

QMap<QString, ZipArchiver::Entry> entriesOf(const QString& archivePath) {
    ZipArchiver zip;
    QMap<QString, ZipArchiver::Entry> out;
    if (!zip.openForReading(archivePath))
        return out;
    for (const ZipArchiver::Entry& e : zip.entries())
        out.insert(e.name, e);
    return out;
}

QByteArray entryBytes(const QString& archivePath, const QString& name, const QString& scratch) {
    ZipArchiver zip;
    if (!zip.openForReading(archivePath))
        return {};
    for (const ZipArchiver::Entry& e : zip.entries()) {
        if (e.name == name && zip.extract(e.index, scratch))
            return readFile(scratch);
    }
    return {};
}

// Files other than the ones the test put there: probes and partial archives must go.
QStringList strays(const QString& folder, const QStringList& expected) {
    QStringList out;
    for (const QString& f : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        if (!expected.contains(f))
            out << f;
    }
    return out;
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void archivesEveryTableFileDeflatedWithTimesAndModes();
    void illegalCharacterStopsTheBackup_data();
    void illegalCharacterStopsTheBackup();
    void existingArchiveIsReplacedOnlyAfterYes();
    void readOnlyArchiveIsNotOfferedAndKept();
    void changeMovesTheArchiveAndWriteTestSparesUserFiles();
    void unreadableFileIsReportedAndSkipped();
    void cancelClosesWithoutWriting();
    void cancelledBackupLeavesNoPartialArchive();
};

void BackupTest::archivesEveryTableFileDeflatedWithTimesAndModes() {
    QTemporaryDir db;
    fillDatabase(db.path());
    // Only the table files themselves: a journal (beside a table, or of a crashed copy in a
    // subfolder) would be replayed over the table it is restored beside.
    writeFile(dirPath(db, "NRVA2002Pump.bak"), tableBytes("pump backup", "v0"), fixtureTime(10));
    writeFile(dirPath(db, "NRVA2002company.db-journal"), "stale journal");
    writeFile(dirPath(db, "crashed copy/NRVA2002flow.db-journal"), "journal of a crashed copy");
    writeFile(dirPath(db, "notes.txt"), "not a table file");
    writeFile(dirPath(db, "Replaced 2026-12-09 10-15-00/NRVA2002Flow.db-journal"), "old");
    writeFile(dirPath(db, "NRVA2002Company"), "no extension: not of the family");
    // A read-only table file is archived all the same, and keeps its mode in the entry.
    ::chmod(QFile::encodeName(dirPath(db, "NRVA2002location.db")).constData(), 0444);

    ScriptedPrompt prompt;
    TBackupFrm frm(db.path());
    QCOMPARE(frm.windowTitle(), QStringLiteral("Backup Data"));
    QCOMPARE(child<QLabel>(frm, "BackupStatusLabel2")->text(), QStringLiteral("None"));
    QCOMPARE(child<QLineEdit>(frm, "FileNameField")->maxLength(), 200);
    QVERIFY(child<QLineEdit>(frm, "FileFolderField")->isReadOnly());
    QCOMPARE(child<QLineEdit>(frm, "FileFolderField")->text(),
             QDir::toNativeSeparators(db.path() + "/"));

    frm.BackupButtonClick();
    QCOMPARE(prompt.texts(), QStringList()); // no completion message
    QCOMPARE(frm.result(), int(QDialog::Accepted));

    const QString archive = dirPath(db, "NRVA2002DataBackup.zip");
    const auto entries = entriesOf(archive);
    const QSet<QString> expected(kTableFiles.begin(), kTableFiles.end());
    QCOMPARE(QSet<QString>(entries.keyBegin(), entries.keyEnd()), expected);

    const auto flags = localHeaderFlags(archive);
    QCOMPARE(flags.size(), expected.size());
    for (const ZipArchiver::Entry& e : entries) {
        QCOMPARE(e.method, ZIP_CM_DEFLATE);
        QCOMPARE(flags.value(e.name) & 6, 2); // deflated at the maximum level
        QVERIFY(e.compressedSize < e.size);
        QCOMPARE(e.opsys, quint8(ZIP_OPSYS_UNIX));
    }
    for (int i = 0; i < kTableFiles.size(); ++i) {
        const auto e = entries.value(kTableFiles[i]);
        QCOMPARE(e.modified, fixtureTime(i));
        QCOMPARE(entryBytes(archive, e.name, dirPath(db, "x.out")),
                 tableBytes(kTableFiles[i], "v1"));
    }
    QCOMPARE(int((entries.value("NRVA2002location.db").attributes >> 16) & 0777), 0444);
    QCOMPARE(int((entries.value("NRVA2002pump.db").attributes >> 16) & 0777), 0644);

    QFile::remove(dirPath(db, "x.out"));
    QCOMPARE(strays(db.path(), QStringList(kTableFiles) << "NRVA2002Pump.bak"
                                                        << "NRVA2002company.db-journal"
                                                        << "notes.txt"
                                                        << "NRVA2002Company"
                                                        << "NRVA2002DataBackup.zip"),
             QStringList());
}

void BackupTest::illegalCharacterStopsTheBackup_data() {
    QTest::addColumn<QString>("namePart");
    QTest::addColumn<QString>("named");
    // Characters are tested in a fixed order, so the earlier one in that order is named.
    QTest::newRow("colon and question mark") << "2002:07?"
                                             << "?";
    QTest::newRow("bar before quote") << "a|b\"c"
                                      << "\"";
    QTest::newRow("slash") << "2002/07"
                           << "/";
}

void BackupTest::illegalCharacterStopsTheBackup() {
    QFETCH(QString, namePart);
    QFETCH(QString, named);
    QTemporaryDir db;
    fillDatabase(db.path());
    ScriptedPrompt prompt;
    TBackupFrm frm(db.path());
    child<QLineEdit>(frm, "FileNameField")->setText(namePart);

    prompt.buttons.enqueue(Prompt::Button::Ok);
    frm.BackupButtonClick();
    QCOMPARE(prompt.texts(), QStringList{"Backup Filename contains an illegal character " + named});
    QCOMPARE(prompt.messages.first().kind, Prompt::Kind::Error);
    QCOMPARE(child<QLabel>(frm, "BackupStatusLabel2")->text(), QStringLiteral("Backup cancelled"));
    QCOMPARE(frm.result(), int(QDialog::Rejected));
    QCOMPARE(strays(db.path(), kTableFiles), QStringList());

    // The window stays usable: a good name part then goes through.
    prompt.clear();
    child<QLineEdit>(frm, "FileNameField")->setText("2002-07");
    frm.BackupButtonClick();
    QCOMPARE(prompt.texts(), QStringList());
    QVERIFY(QFileInfo::exists(dirPath(db, "NRVA2002DataBackup2002-07.zip")));
}

void BackupTest::existingArchiveIsReplacedOnlyAfterYes() {
    QTemporaryDir db;
    fillDatabase(db.path());
    const QString archive = dirPath(db, "NRVA2002DataBackup2002-07.zip");
    writeRawArchive(archive, {{"NRVA2002Company.old", "old entry"}});
    const QByteArray before = readFile(archive);

    ScriptedPrompt prompt;
    TBackupFrm frm(db.path());
    child<QLineEdit>(frm, "FileNameField")->setText("2002-07");
    prompt.buttons.enqueue(Prompt::Button::No);
    frm.BackupButtonClick();
    QCOMPARE(prompt.texts(), QStringList{"Backup file already exists.  Overwrite?"});
    QCOMPARE(prompt.messages.first().kind, Prompt::Kind::Warning);
    QCOMPARE(prompt.messages.first().buttons,
             (QList<Prompt::Button>{Prompt::Button::Yes, Prompt::Button::No}));
    QCOMPARE(child<QLabel>(frm, "BackupStatusLabel2")->text(), QStringLiteral("Backup cancelled"));
    QCOMPARE(readFile(archive), before);

    prompt.clear();
    prompt.buttons.enqueue(Prompt::Button::Yes);
    frm.BackupButtonClick();
    QCOMPARE(prompt.texts(), QStringList{"Backup file already exists.  Overwrite?"});
    QCOMPARE(frm.result(), int(QDialog::Accepted));
    const auto entries = entriesOf(archive);
    // A fresh archive: the old archive's entries are not carried over.
    QCOMPARE(QSet<QString>(entries.keyBegin(), entries.keyEnd()),
             QSet<QString>(kTableFiles.begin(), kTableFiles.end()));
}

void BackupTest::readOnlyArchiveIsNotOfferedAndKept() {
    QTemporaryDir db;
    fillDatabase(db.path());
    const QString archive = dirPath(db, "NRVA2002DataBackup.zip");
    writeRawArchive(archive, {{"NRVA2002Company.old", "old entry"}});
    ::chmod(QFile::encodeName(archive).constData(), 0444);
    const QByteArray before = readFile(archive);

    ScriptedPrompt prompt;
    TBackupFrm frm(db.path());
    prompt.buttons.enqueue(Prompt::Button::Ok);
    frm.BackupButtonClick();
    QCOMPARE(prompt.messages.size(), 1);
    QCOMPARE(prompt.messages.first().kind, Prompt::Kind::Error);
    QVERIFY(prompt.lastText().contains(QDir::toNativeSeparators(archive)));
    QCOMPARE(frm.result(), int(QDialog::Rejected));
    QCOMPARE(child<QLabel>(frm, "BackupStatusLabel2")->text(), QStringLiteral("Backup cancelled"));
    QCOMPARE(readFile(archive), before);
    QCOMPARE(strays(db.path(), QStringList(kTableFiles) << "NRVA2002DataBackup.zip"),
             QStringList());
}

void BackupTest::changeMovesTheArchiveAndWriteTestSparesUserFiles() {
    QTemporaryDir db;
    QTemporaryDir elsewhere;
    fillDatabase(db.path());
    writeFile(dirPath(elsewhere, "TestFile"), "the user's own file");

    ScriptedPrompt prompt;
    TBackupFrm frm(db.path());
    child<QLineEdit>(frm, "FileNameField")->setText("July");

    // Cancelling the browser changes nothing.
    frm.ChangeButtonClick();
    QCOMPARE(prompt.folderRequests,
             QStringList{"Select Folder or Disk where Backup file is to be created|"
                         "NRVA2002DataBackupJuly.zip|" +
                         QDir::toNativeSeparators(db.path() + "/")});
    QCOMPARE(frm.backupFolder(), db.path() + "/");

    prompt.folders.enqueue(elsewhere.path());
    frm.ChangeButtonClick();
    QCOMPARE(frm.backupFolder(), elsewhere.path() + "/");
    QCOMPARE(child<QLineEdit>(frm, "FileFolderField")->text(),
             QDir::toNativeSeparators(elsewhere.path() + "/"));

    frm.BackupButtonClick();
    QCOMPARE(prompt.texts(), QStringList());
    QCOMPARE(entriesOf(dirPath(elsewhere, "NRVA2002DataBackupJuly.zip")).size(), 5);
    QCOMPARE(readFile(dirPath(elsewhere, "TestFile")), QByteArray("the user's own file"));
    QCOMPARE(strays(elsewhere.path(), {"TestFile", "NRVA2002DataBackupJuly.zip"}), QStringList());

    // A folder that cannot take a file fails the write test.
    prompt.folders.enqueue(dirPath(elsewhere, "gone"));
    frm.ChangeButtonClick();
    prompt.buttons.enqueue(Prompt::Button::Ok);
    frm.BackupButtonClick();
    QCOMPARE(prompt.texts(), QStringList{"Error creating Backup File"});
    QCOMPARE(child<QLabel>(frm, "BackupStatusLabel2")->text(), QStringLiteral("Backup cancelled"));
}

void BackupTest::unreadableFileIsReportedAndSkipped() {
    QTemporaryDir db;
    fillDatabase(db.path());
    // A dangling link is a table file that cannot be read.
    QFile::remove(dirPath(db, "NRVA2002test.db"));
    QFile::link(dirPath(db, "missing-target"), dirPath(db, "NRVA2002test.db"));

    ScriptedPrompt prompt;
    TBackupFrm frm(db.path());
    prompt.buttons.enqueue(Prompt::Button::Ok);
    frm.BackupButtonClick();
    QCOMPARE(prompt.messages.size(), 1);
    QCOMPARE(prompt.messages.first().kind, Prompt::Kind::Error);
    QVERIFY(prompt.lastText().contains("NRVA2002test.db"));
    QCOMPARE(frm.result(), int(QDialog::Accepted));
    const auto entries = entriesOf(dirPath(db, "NRVA2002DataBackup.zip"));
    QCOMPARE(entries.size(), 4);
    QVERIFY(!entries.contains("NRVA2002test.db"));
}

void BackupTest::cancelClosesWithoutWriting() {
    QTemporaryDir db;
    fillDatabase(db.path());
    ScriptedPrompt prompt;
    TBackupFrm frm(db.path());
    prompt.dialogs.enqueue([&frm](QDialog& d) {
        frm.CancelButtonClick();
        return d.result();
    });
    QCOMPARE(frm.ShowBackupWindow(), int(QDialog::Rejected));
    QCOMPARE(prompt.dialogTitles, QStringList{"Backup Data"});
    QCOMPARE(strays(db.path(), kTableFiles), QStringList());
}

void BackupTest::cancelledBackupLeavesNoPartialArchive() {
    QTemporaryDir db;
    fillDatabase(db.path());
    // What backups killed part-way left (ours, and libzip's own under ours), and files of the
    // user's that only look alike.
    const QStringList leftovers{".NRVA2002DataBackup1a2b3c.partial",
                                ".NRVA2002DataBackupdeadbeef.partial.Ab12Cd"};
    const QStringList alike{".NRVA2002DataBackupNotes.partial", "NRVA2002DataBackup1a2b.partial",
                            ".NRVA2002DataBackup1a2b3c.partial.old"};
    for (const QString& f : leftovers + alike)
        writeFile(dirPath(db, f), "partial");

    ScriptedPrompt prompt;
    TBackupFrm frm(db.path());
    // Cancel at the first report, from the worker itself, so it is never late.
    connect(
        &frm.worker(), &ArchiveWorker::progressed, &frm.worker(), [&frm] { frm.worker().cancel(); },
        Qt::DirectConnection);
    frm.BackupButtonClick();
    QCOMPARE(prompt.texts(), QStringList());
    QCOMPARE(child<QLabel>(frm, "BackupStatusLabel2")->text(), QStringLiteral("Backup cancelled"));
    QCOMPARE(frm.result(), int(QDialog::Rejected));
    QVERIFY(child<QLineEdit>(frm, "FileNameField")->isEnabled()); // ready for another attempt
    QCOMPARE(strays(db.path(), QStringList(kTableFiles) << alike), QStringList());
}

QTEST_MAIN(BackupTest)
#include "backup_test.moc"
