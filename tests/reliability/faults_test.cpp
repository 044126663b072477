// Refusals in the middle of a command: the engine or the disk refuses a write while the user
// saves, deletes, changes an identifier, saves the preferences, backs up or restores. Each
// must show a message, keep what the user typed, and leave every stored row as it was.
//
// The tests run as root, which ignores permission bits, so refusals are made in ways root
// cannot override:
//  - the engine: a TEMP trigger on the connection that aborts the write with "disk I/O error";
//  - the disk: RLIMIT_FSIZE set below the size of what is written (the kernel then refuses
//    any write past that offset with EFBIG, SIGXFSZ being ignored), for the running process
//    only and only around the command;
//  - a read-only file: the program's own rule (a file without the owner write bit is
//    read-only to it);
//  - a folder that cannot exist: a path whose parent is a regular file;
//  - a file that cannot be written: a directory standing where the file should be.
#include "app/AppFixture.h"
#include "app/Notebook.h"
#include "backup/BackupFrm.h"
#include "data/Database.h"
#include "reliability/SampleTree.h"
#include "settings/PreferencesDlg.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace nerova;
using namespace nerova::test;

namespace {

// Makes the kernel refuse every write past `bytes` into any file while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit r{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A main window over the sample tree.
struct Window {
    Window() : fx(false) {
        fillSampleTree(fx.db.db());
        fx.open();
    }
    TMainForm1& form() { return *fx.form; }
    Database& db() { return fx.db.db(); }
    QStringList rows() { return dumpAllRows(db()); }
    // Error boxes shown since the last clear.
    QStringList errors() const {
        QStringList out;
        for (const ScriptedPrompt::Shown& s : fx.prompt.messages) {
            if (s.kind == Prompt::Kind::Error || s.kind == Prompt::Kind::Warning)
                out << s.text;
        }
        return out;
    }
    AppFixture fx;
};

void refuseWrites(Database& db, const QString& when, TableId table) {
    const TableDef& def = tableDef(table);
    db.exec(QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE %1 ON %2.%3 BEGIN "
                           "SELECT RAISE(ABORT, 'disk I/O error'); END")
                .arg(when, QString::fromLatin1(def.name), QString::fromLatin1(def.baseName)));
}

void allowWrites(Database& db) {
    db.exec(QStringLiteral("DROP TRIGGER IF EXISTS temp.refuse"));
}

} // namespace

class FaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusedSaveKeepsTheEdit_data();
    void refusedSaveKeepsTheEdit();
    void refusedDeleteKeepsTheCompany_data();
    void refusedDeleteKeepsTheCompany();
    void refusedChangeOfIdentifierKeepsTheTree_data();
    void refusedChangeOfIdentifierKeepsTheTree();
    void refusedPreferencesSaveKeepsTheChoice_data();
    void refusedPreferencesSaveKeepsTheChoice();
    void refusedBackupKeepsTheOldArchive();
    void backupToAFolderThatCannotExist();
    void refusedRestoreKeepsTheTables();
};

// "engine": the engine refuses the statement; "disk": the kernel refuses the journal write.
static void engineOrDisk() {
    QTest::addColumn<bool>("disk");
    QTest::newRow("engine") << false;
    QTest::newRow("disk") << true;
}

void FaultsTest::refusedSaveKeepsTheEdit_data() {
    engineOrDisk();
}

void FaultsTest::refusedSaveKeepsTheEdit() {
    QFETCH(bool, disk);
    Window w;
    QVERIFY(w.form().selectPage(3));
    const QStringList before = w.rows();
    Table& test = w.fx.test();
    test.edit();
    test.setValue(QStringLiteral("Notes"), QStringLiteral("typed by the tester"));
    w.fx.prompt.clear();
    w.fx.prompt.buttons.enqueue(Prompt::Button::Ok);
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (disk)
            limit = std::make_unique<FileSizeLimit>(1024);
        else
            refuseWrites(w.db(), QStringLiteral("UPDATE"), TableId::Test);
        child<QPushButton>(w.form(), "SaveBtn")->click();
    }
    allowWrites(w.db());
    QVERIFY2(!w.errors().isEmpty(), "a refused save must say so");
    qInfo("shown: %s", qPrintable(w.errors().join(QStringLiteral(" / "))));
    QCOMPARE(test.state(), TableState::Edit);
    QCOMPARE(test.asString(QStringLiteral("Notes")), QStringLiteral("typed by the tester"));
    QVERIFY(child<QPushButton>(w.form(), "SaveBtn")->isEnabled());
    // Another cursor sees the stored rows exactly as before.
    QCOMPARE(w.rows(), before);

    // Once the disk takes writes again, the same Save stores what was typed.
    child<QPushButton>(w.form(), "SaveBtn")->click();
    QCOMPARE(test.state(), TableState::Browse);
    QVERIFY(w.rows().join(QLatin1Char('\n')).contains(QStringLiteral("typed by the tester")));
}

void FaultsTest::refusedDeleteKeepsTheCompany_data() {
    engineOrDisk();
}

void FaultsTest::refusedDeleteKeepsTheCompany() {
    QFETCH(bool, disk);
    Window w;
    QVERIFY(w.form().selectPage(0));
    const QStringList before = w.rows();
    const QString company = w.fx.company().asString(QStringLiteral("CompanyID"));
    w.fx.prompt.clear();
    w.fx.prompt.buttons.enqueue(Prompt::Button::Yes);
    w.fx.prompt.buttons.enqueue(Prompt::Button::Ok);
    {
        // The company row is deleted last: a refusal there comes after every row below it
        // was already deleted inside the transaction.
        std::unique_ptr<FileSizeLimit> limit;
        if (disk)
            limit = std::make_unique<FileSizeLimit>(1024);
        else
            refuseWrites(w.db(), QStringLiteral("DELETE"), TableId::Company);
        child<QPushButton>(w.form(), "DeleteBtn")->click();
    }
    allowWrites(w.db());
    QVERIFY2(!w.errors().isEmpty(), "a refused delete must say so");
    qInfo("shown: %s", qPrintable(w.errors().join(QStringLiteral(" / "))));
    QCOMPARE(w.rows(), before);
    QCOMPARE(w.fx.company().asString(QStringLiteral("CompanyID")), company);
    QCOMPARE(w.fx.flow().recordCount(), kSampleFlows);
    QVERIFY(child<QPushButton>(w.form(), "DeleteBtn")->isEnabled());
}

void FaultsTest::refusedChangeOfIdentifierKeepsTheTree_data() {
    engineOrDisk();
}

void FaultsTest::refusedChangeOfIdentifierKeepsTheTree() {
    QFETCH(bool, disk);
    Window w;
    QVERIFY(w.form().selectPage(1));
    const QStringList before = w.rows();
    w.fx.prompt.clear();
    w.fx.prompt.buttons.enqueue(Prompt::Button::Ok);
    w.fx.prompt.inputs.enqueue(QStringLiteral("RENAMED"));
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (disk)
            limit = std::make_unique<FileSizeLimit>(1024);
        else
            refuseWrites(w.db(), QStringLiteral("UPDATE"), TableId::Location);
        child<QAction>(w.form(), "ChangeID1")->trigger();
    }
    allowWrites(w.db());
    QVERIFY2(!w.errors().isEmpty(), "a refused change of identifier must say so");
    qInfo("shown: %s", qPrintable(w.errors().join(QStringLiteral(" / "))));
    QCOMPARE(w.rows(), before);
    QVERIFY(shapeProblems(readSnapshot(w.db())).isEmpty());
    QCOMPARE(w.fx.location().asString(QStringLiteral("LocationID")), QStringLiteral("L1"));
}

// "readonly": the file lost its owner write bit; "directory": a folder stands where the
// file was; "disk": the kernel refuses the write half-way through the record.
void FaultsTest::refusedPreferencesSaveKeepsTheChoice_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("readonly") << QStringLiteral("readonly");
    QTest::newRow("directory") << QStringLiteral("directory");
    QTest::newRow("disk") << QStringLiteral("disk");
}

void FaultsTest::refusedPreferencesSaveKeepsTheChoice() {
    QFETCH(QString, fault);
    Window w;
    const QString path =
        QDir(w.fx.startup.path()).filePath(QString::fromLatin1(kPreferencesFileName));
    const QByteArray before = readAll(path);
    QCOMPARE(before.size(), PreferencesRecord::kSize);
    const QStringList rows = w.rows();

    if (fault == QLatin1String("readonly")) {
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    } else if (fault == QLatin1String("directory")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
    }
    w.fx.prompt.clear();
    w.fx.prompt.buttons.enqueue(Prompt::Button::Ok);
    w.fx.prompt.dialogs.enqueue([](QDialog& d) {
        for (QLineEdit* e : d.findChildren<QLineEdit*>()) {
            if (e->accessibleDescription() == QLatin1String("CompanyInfo1"))
                e->setText(QStringLiteral("NEW LETTERHEAD"));
        }
        static_cast<TPreferencesDlg&>(d).OKBtnClick();
        return d.result();
    });
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (fault == QLatin1String("disk"))
            limit = std::make_unique<FileSizeLimit>(500);
        child<QAction>(w.form(), "Preferences1")->trigger();
    }
    QVERIFY2(!w.errors().isEmpty(), "a refused save of the preferences must say so");
    qInfo("shown: %s", qPrintable(w.errors().join(QStringLiteral(" / "))));
    QVERIFY(!w.errors().join(QLatin1Char(' ')).contains(QLatin1String("Unknown error")));
    // The program goes on with what the user chose.
    QCOMPARE(w.fx.prefs.companyInfo(1), QStringLiteral("NEW LETTERHEAD"));
    QCOMPARE(w.rows(), rows);
    if (fault == QLatin1String("directory")) {
        QVERIFY(QFileInfo(path).isDir());
        return;
    }
    QVERIFY2(readAll(path) == before, "a refused save must keep the old record whole");
}

void FaultsTest::refusedBackupKeepsTheOldArchive() {
    Window w;
    QTemporaryDir target;
    const QString archive =
        QDir(target.path()).filePath(QStringLiteral("NRVA2002DataBackupFault.zip"));
    const QByteArray old("an archive written last week");
    {
        QFile f(archive);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    const QStringList rows = w.rows();
    w.fx.prompt.clear();
    w.fx.prompt.folders.enqueue(target.path());
    w.fx.prompt.buttons.enqueue(Prompt::Button::Yes); // overwrite
    w.fx.prompt.buttons.enqueue(Prompt::Button::Ok);
    w.fx.prompt.dialogs.enqueue([](QDialog& d) {
        auto& frm = static_cast<TBackupFrm&>(d);
        child<QLineEdit>(frm, "FileNameField")->setText(QStringLiteral("Fault"));
        frm.ChangeButtonClick();
        {
            // The table files are larger than this, so the archive cannot be written whole.
            FileSizeLimit limit(2048);
            frm.BackupButtonClick();
        }
        return frm.result();
    });
    child<QAction>(w.form(), "Backup1")->trigger();
    QVERIFY2(!w.errors().isEmpty(), "a refused backup must say so");
    qInfo("shown: %s", qPrintable(w.errors().join(QStringLiteral(" / "))));
    QCOMPARE(readAll(archive), old);
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("NRVA2002DataBackupFault.zip")});
    QVERIFY(w.fx.company().isOpen());
    QCOMPARE(w.rows(), rows);
}

void FaultsTest::backupToAFolderThatCannotExist() {
    Window w;
    QTemporaryDir target;
    const QString file = QDir(target.path()).filePath(QStringLiteral("plain-file"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    w.fx.prompt.clear();
    w.fx.prompt.buttons.enqueue(Prompt::Button::Ok);
    w.fx.prompt.folders.enqueue(file + QStringLiteral("/backups"));
    w.fx.prompt.dialogs.enqueue([](QDialog& d) {
        auto& frm = static_cast<TBackupFrm&>(d);
        frm.ChangeButtonClick();
        frm.BackupButtonClick();
        return frm.result();
    });
    child<QAction>(w.form(), "Backup1")->trigger();
    QCOMPARE(w.errors(), QStringList{QStringLiteral("Error creating Backup File")});
    QVERIFY(w.fx.company().isOpen());
}

void FaultsTest::refusedRestoreKeepsTheTables() {
    Window w;
    QTemporaryDir target;
    // An archive of the tables as they are now …
    w.fx.prompt.folders.enqueue(target.path());
    w.fx.prompt.dialogs.enqueue([](QDialog& d) {
        auto& frm = static_cast<TBackupFrm&>(d);
        child<QLineEdit>(frm, "FileNameField")->setText(QStringLiteral("Before"));
        frm.ChangeButtonClick();
        frm.BackupButtonClick();
        return frm.result();
    });
    w.fx.prompt.buttons.enqueue(Prompt::Button::Ok); // where the archive went
    child<QAction>(w.form(), "Backup1")->trigger();
    const QString archive =
        QDir(target.path()).filePath(QStringLiteral("NRVA2002DataBackupBefore.zip"));
    QVERIFY(QFileInfo::exists(archive));
    // … then a change the restore would undo.
    QVERIFY(w.form().selectPage(3));
    w.fx.test().edit();
    w.fx.test().setValue(QStringLiteral("Notes"), QStringLiteral("entered after the backup"));
    child<QPushButton>(w.form(), "SaveBtn")->click();
    QCOMPARE(w.fx.test().state(), TableState::Browse);

    const QStringList rows = w.rows();
    QMap<QString, QByteArray> files;
    for (TableId id : kAllTables)
        files.insert(w.db().tableFilePath(id), readAll(w.db().tableFilePath(id)));
    const QStringList folder = fileTree(w.fx.db.dataDir());

    w.fx.prompt.clear();
    w.fx.prompt.files.enqueue(archive);
    w.fx.prompt.inputs.enqueue(QStringLiteral("YES"));
    // A refusal for every table file, then the closing warning.
    for (std::size_t n = 0; n <= std::size(kAllTables); ++n)
        w.fx.prompt.buttons.enqueue(Prompt::Button::Ok);
    // The extraction goes to a file beside each table; the kernel refuses it past 2 KiB.
    {
        FileSizeLimit limit(2048);
        child<QAction>(w.form(), "Restore1")->trigger();
    }
    QVERIFY2(!w.errors().isEmpty(), "a refused restore must say so");
    qInfo("shown: %s", qPrintable(w.errors().join(QStringLiteral(" / "))));
    QVERIFY(!w.errors().join(QLatin1Char(' ')).contains(QLatin1String("Unknown error")));
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        QVERIFY2(readAll(it.key()) == it.value(), qPrintable(it.key()));
    QCOMPARE(fileTree(w.fx.db.dataDir()), folder);
    QVERIFY(w.fx.company().isOpen());
    QCOMPARE(w.rows(), rows);
}

QTEST_MAIN(FaultsTest)
#include "faults_test.moc"
