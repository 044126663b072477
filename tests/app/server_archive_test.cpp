// An office (server) database is backed up and restored through the same archive of table
// files as a laptop's, and a restore the server refuses leaves it as it was.
#include "app/AboutBox.h"
#include "app/MainForm.h"
#include "app/SingleCopyLock.h"
#include "backup/BackupFrm.h"
#include "backup/DatabaseArchive.h"
#include "backup/RestoreFrm.h"
#include "data/DatabaseCopy.h"
#include "prefs/PreferencesRecord.h"
#include "support/Child.h"
#include "support/PgCluster.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QAction>
#include <QLabel>
#include <QSaveFile>
#include <QtTest>

#include <sqlite3.h>

using namespace nerova;
using namespace nerova::test;

namespace {

const QString kArchiveName = QStringLiteral("NRVA2002DataBackup.zip");
const QString kSuccess = QStringLiteral("All files were restored successfully.");

#define REQUIRE_SERVER()                                                                           \
    if (!PgCluster::shared().available())                                                          \
    QSKIP(qPrintable(PgCluster::shared().skipReason()))

// A database on the server or in files, whichever backend the run was asked for.
std::unique_ptr<TempDatabase> tempDatabase(bool server, bool withDemoTables) {
    const QByteArray asked = qgetenv("NEROVA_TEST_BACKEND");
    qputenv("NEROVA_TEST_BACKEND", server ? "server" : "files");
    auto db = std::make_unique<TempDatabase>(withDemoTables);
    qputenv("NEROVA_TEST_BACKEND", asked);
    return db;
}

// The main window on a server database.
struct ServerWindow {
    explicit ServerWindow(bool withDemoTables) : data(tempDatabase(true, withDemoTables)) {
        if (!withDemoTables)
            for (TableId id : kAllTables)
                data->db().createTable(id);
        form = std::make_unique<TMainForm1>(data->db(), prefs, startup.path());
        form->show();
    }
    // The window closes its tables, so the database can be compared.
    QList<TableTally> closedTally() {
        form.reset();
        return tallyDatabase(data->db());
    }
    void trigger(const char* action) { child<QAction>(*form, action)->trigger(); }
    QString companyShown() { return child<QLabel>(*form, "CompanyIDPanel")->text(); }

    std::unique_ptr<TempDatabase> data;
    QTemporaryDir startup;
    PreferencesRecord prefs;
    std::unique_ptr<TMainForm1> form;
};

// Writes the archive of a file database's folder into that folder.
QString backUpFolder(ScriptedPrompt& prompt, const QString& folder) {
    prompt.dialogs.enqueue([](QDialog& d) {
        static_cast<TBackupFrm&>(d).BackupButtonClick();
        return d.result();
    });
    TBackupFrm(folder).ShowBackupWindow();
    return QDir(folder).filePath(kArchiveName);
}

void queueRestore(ScriptedPrompt& prompt, const QString& archive) {
    prompt.files.enqueue(archive);
    prompt.inputs.enqueue(QStringLiteral("YES"));
    prompt.buttons.enqueue(Prompt::Button::Ok);
}

} // namespace

class ServerArchiveTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void serverBackupRestoresIntoFiles() {
        REQUIRE_SERVER();
        ScriptedPrompt prompt;
        ServerWindow office(true);
        QTemporaryDir out;
        prompt.folders.enqueue(out.path());
        prompt.dialogs.enqueue([](QDialog& d) {
            auto& frm = static_cast<TBackupFrm&>(d);
            frm.ChangeButtonClick();
            frm.BackupButtonClick();
            return d.result();
        });
        prompt.buttons.enqueue(Prompt::Button::Ok);
        office.trigger("Backup1");
        QCOMPARE(prompt.texts().size(), 1);
        QVERIFY(prompt.lastText().startsWith("Backed up 5 tables ("));
        QVERIFY(prompt.lastText().endsWith(
            ") to " + QDir::toNativeSeparators(out.filePath(kArchiveName)) + "."));
        // The passing folder of the copied tables is never offered as the archive's home.
        QVERIFY(prompt.folderRequests.value(0).endsWith(
            QDir::toNativeSeparators(archiveStartFolder() + '/')));
        QCOMPARE(office.companyShown(), QString("ABC Paint Company"));

        QTemporaryDir laptop;
        queueRestore(prompt, out.filePath(kArchiveName));
        QVERIFY(TRestoreFrm(laptop.path()).RunRestore());
        Database files(DataLocation{false, laptop.path(), {}});
        QCOMPARE(tallyDatabase(files), office.closedTally());
    }

    void fileBackupRestoresIntoServer() {
        REQUIRE_SERVER();
        ScriptedPrompt prompt;
        auto laptop = tempDatabase(false, true);
        const QString archive = backUpFolder(prompt, laptop->dataDir());
        ServerWindow office(false);

        queueRestore(prompt, archive);
        office.trigger("Restore1");
        QCOMPARE(prompt.texts(), QStringList{kSuccess});
        QVERIFY(prompt.fileRequests.value(0).contains(archiveStartFolder()));
        QCOMPARE(office.companyShown(), QString("ABC Paint Company"));
        QCOMPARE(office.closedTally(), tallyDatabase(laptop->db()));
    }

    void refusedRestoreKeepsEveryServerRow() {
        REQUIRE_SERVER();
        ScriptedPrompt prompt;
        // A company name longer than its column: the file keeps it, the server refuses it.
        auto laptop = tempDatabase(false, true);
        sqlite3* handle = nullptr;
        QCOMPARE(
            sqlite3_open(QFile::encodeName(laptop->db().tableFilePath(TableId::Company)), &handle),
            SQLITE_OK);
        const QByteArray sql = "UPDATE NRVA2002company SET Name = '" + QByteArray(200, 'N') + "'";
        QCOMPARE(sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(handle);
        const QString archive = backUpFolder(prompt, laptop->dataDir());

        ServerWindow office(true);
        const QList<TableTally> before = tallyDatabase(office.data->db());
        queueRestore(prompt, archive); // the error box takes the Ok
        office.trigger("Restore1");
        QCOMPARE(prompt.messages.size(), 1);
        QCOMPARE(prompt.messages[0].kind, Prompt::Kind::Error);
        QVERIFY2(prompt.lastText().startsWith("Nothing was restored;"),
                 qPrintable(prompt.lastText()));
        QCOMPARE(office.companyShown(), QString("ABC Paint Company"));
        QCOMPARE(office.closedTally(), before);
    }

    void aboutNamesTheServer() {
        REQUIRE_SERVER();
        ScriptedPrompt prompt;
        ServerWindow office(false);
        QString text;
        prompt.dialogs.enqueue([&](QDialog& d) {
            text = static_cast<AboutBox&>(d).text();
            return int(QDialog::Accepted);
        });
        office.trigger("About1");
        QVERIFY2(text.contains(QRegularExpression(
                     "\nData: PostgreSQL \\d+\\.\\d+ server, database \\w+ on this computer\n")),
                 qPrintable(text));
        QVERIFY(text.contains("SQLite 3"));
    }

    // Several programs share a server database; a folder is one program's.
    void secondCopyIsRefusedOnlyOnFiles_data() {
        QTest::addColumn<bool>("server");
        QTest::addColumn<bool>("refused");
        QTest::newRow("folder") << false << true;
        QTest::newRow("server") << true << false;
    }
    void secondCopyIsRefusedOnlyOnFiles() {
        QFETCH(bool, server);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        QSaveFile registry(dir.filePath("aliases.ini"));
        QVERIFY(registry.open(QIODevice::WriteOnly));
        registry.write(server ? "[NRVA2002]\nCONNECTION=postgresql:///office?host=/nowhere\n"
                              : "[NRVA2002]\nPATH=" + QFile::encodeName(dir.path()) + "\n");
        QVERIFY(registry.commit());
        const Database db(dir.filePath("aliases.ini"), dir.filePath("unused"));
        const SingleCopyLock first(db);
        const SingleCopyLock second(db);
        QVERIFY(!first.refused());
        QCOMPARE(second.refused(), refused);
    }
};

QTEST_MAIN(ServerArchiveTest)
#include "server_archive_test.moc"
