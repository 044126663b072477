// Start-up, the window frame and shutdown.
#include "AppFixture.h"
#include "app/ContactPage.h"
#include "app/SingleCopyLock.h"
#include "app/TablesExistCreateFrm.h"
#include "data/EngineError.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLockFile>
#include <QMenuBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QtTest>

using namespace nerova;
using namespace nerova::test;

namespace {
const QString kCreateQuestion = QStringLiteral(
    "One or more data tables or their associated files are missing.\nIf this is a new "
    "installation, click on Yes to create new tables.\nIf this is an existing installation, "
    "please call Technical Support.\n\nDo you wish to create new Tables?");
}

class StartupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartCreatesPreferencesAndTables() {
        AppFixture f(false);
        f.prompt.buttons.enqueue(Prompt::Button::Yes);
        TMainForm1& w = f.open();
        QCOMPARE(w.windowTitle(), QString("Nerova 2002"));
        QCOMPARE(w.size(), QSize(808, 623));
        // The preferences file holds exactly the defaults.
        QFile ini(f.startup.filePath("Nrva2002.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray bytes = ini.readAll();
        QCOMPARE(bytes.size(), 992);
        for (int i = 0; i < 992; ++i) {
            const bool one = (i >= 328 && i <= 330) || (i >= 345 && i <= 348) || i >= 983;
            QCOMPARE(int(bytes[i]), one ? 1 : 0);
        }
        // The creation question, then the demonstration data opened as one chain.
        QCOMPARE(f.prompt.messages.size(), 1);
        QCOMPARE(f.prompt.messages[0].text, kCreateQuestion);
        QCOMPARE(f.prompt.messages[0].kind, Prompt::Kind::Error);
        QCOMPARE(child<QLabel>(*child<TTablesExistCreateFrm>(w, "TablesExistCreateFrm"), "Label1")
                     ->text(),
                 QString("Test Tables Filled Successfully"));
        QVERIFY(child<TTablesExistCreateFrm>(w, "TablesExistCreateFrm")->isVisible());
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("1 of 1"));
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString("ABC Paint Company"));
        QCOMPARE(child<QLabel>(w, "LocationIDPanel")->text(), QString("*"));
        QCOMPARE(child<QLabel>(w, "PumpIDPanel")->text(), QString("01"));
        QCOMPARE(child<QLabel>(w, "TestIdPanel")->text(), QString("20010731"));
        QCOMPARE(f.flow().recordCount(), 3);
        QVERIFY(!child<QPushButton>(w, "SaveBtn")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "CancelBtn")->isEnabled());
    }

    void refusedCreationLeavesTablesClosed() {
        AppFixture f(false);
        f.prompt.buttons.enqueue(Prompt::Button::No);
        TMainForm1& w = f.open();
        QVERIFY(!f.company().isOpen());
        // Nothing reported a record change: the panel shows its figures of none.
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("0 of 0"));
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString());
    }

    void emptyDatabaseShowsZeroOfZero() {
        AppFixture f(false);
        for (TableId id : kAllTables)
            f.db.db().createTable(id);
        TMainForm1& w = f.open();
        QVERIFY(f.prompt.messages.isEmpty());
        QVERIFY(f.company().isOpen());
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("0 of 0"));
        for (QLabel* p : {child<QLabel>(w, "CompanyIDPanel"), child<QLabel>(w, "LocationIDPanel"),
                          child<QLabel>(w, "PumpIDPanel"), child<QLabel>(w, "TestIdPanel")})
            QCOMPARE(p->text(), QString());
    }

    void existingPreferencesFileIsLeftAlone() {
        AppFixture f;
        QByteArray bytes(992, '\0');
        bytes[0] = 3;
        bytes[1] = 'A';
        bytes[2] = 'B';
        bytes[3] = 'C';
        QFile ini(f.startup.filePath("Nrva2002.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(bytes);
        ini.close();
        f.open();
        QCOMPARE(f.prefs.companyInfo(1), QString("ABC"));
        QVERIFY(!f.prefs.printGridLines()); // nothing defaulted over a good file
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), bytes);
    }

    void missingAliasIsReportedAndStartUpGoesOn() {
        AppFixture f;
        QFile reg(f.db.registryPath());
        QVERIFY(reg.open(QIODevice::WriteOnly | QIODevice::Truncate));
        reg.write("[OTHER]\nPATH=/tmp\n");
        reg.close();
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        f.form = std::make_unique<TMainForm1>(f.db.db(), f.prefs, f.startup.path());
        QCOMPARE(f.prompt.messages.size(), 1);
        QCOMPARE(f.prompt.lastText(), QString("Alias NRVA2002 does not exist"));
        // Preferences neither read nor created: the record stays all zero.
        QVERIFY(!QFile::exists(f.startup.filePath("Nrva2002.ini")));
        QCOMPARE(f.prefs.bytes(), QByteArray(992, '\0'));
        // Showing the window reports nothing more and leaves no empty progress window.
        f.form->show();
        QCOMPARE(f.prompt.messages.size(), 1);
        QVERIFY(!child<TTablesExistCreateFrm>(*f.form, "TablesExistCreateFrm")->isVisible());
        QVERIFY(!f.company().isOpen());
    }

    void closeBoxDuringAnEditIsRefused() {
        AppFixture f;
        TMainForm1& w = f.open();
        QTest::keyClicks(child<ContactPage>(w, "CompanyPage")->field("City"), "X");
        f.prompt.clear();
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        QVERIFY(!w.close());
        QCOMPARE(f.prompt.texts(),
                 QStringList{"Changed data must be Saved or Cancelled before proceeding."});
        QVERIFY(w.isVisible());
        QCOMPARE(f.company().state(), TableState::Edit);
        QCOMPARE(f.company().asString("City"), QString("MaplewoodX"));
        child<QPushButton>(w, "SaveBtn")->click();
        QVERIFY(w.close());
    }

    void placesRememberedAcrossStarts() {
        AppFixture f;
        QTemporaryDir conf;
        const QString places = conf.filePath("nerova2002.conf");
        auto start = [&] {
            f.form = std::make_unique<TMainForm1>(f.db.db(), f.prefs, f.startup.path());
            f.form->usePlacesFile(places);
            f.form->show();
            return f.form.get();
        };
        TMainForm1* w = start();
        for (const char* id : {"AAA", "ZZZ"}) {
            f.company().insert();
            f.company().setValue("CompanyID", id);
            f.company().post();
        }
        f.company().locate({"CompanyID"}, {"ABC Paint Company"});
        f.pump().insert();
        f.pump().setValue("PumpID", "02");
        f.pump().post();
        // Above the window's least height, which the status line adds to.
        w->setGeometry(2, 24, 796, 600);
        QVERIFY(w->close());
        w = start();
        QCOMPARE(w->geometry(), QRect(2, 24, 796, 600));
        QCOMPARE(child<QLabel>(*w, "CompanyIDPanel")->text(), QString("ABC Paint Company"));
        QCOMPARE(child<QLabel>(*w, "PumpIDPanel")->text(), QString("02"));
        QCOMPARE(child<QLabel>(*w, "RecCountPanel")->text(), QString("2 of 3"));
        // A company deleted meanwhile: the first one is shown.
        QSettings(places, QSettings::IniFormat).setValue("records/CompanyID", "Gone");
        w = start();
        QCOMPARE(child<QLabel>(*w, "CompanyIDPanel")->text(), QString("AAA"));
        QCOMPARE(QFileInfo(f.startup.filePath("Nrva2002.ini")).size(), 992);
    }

    void identifierPanelShowsAmpersands() {
        AppFixture f;
        TMainForm1& w = f.open();
        f.company().insert();
        f.company().setValue("CompanyID", "R&D && Sons");
        f.company().post();
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString("R&D && Sons"));
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->textFormat(), Qt::PlainText);
        QVERIFY(
            !child<QLabel>(w, "CompanyIDPanel")->buddy()); // so "&" is never taken as a mnemonic
    }

    void guardedCommandsRefusedWhileEditing() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(2);
        f.pump().edit();
        f.pump().setValue("Pump Mfr", "Changed");
        f.prompt.clear();
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        choose(w, "Exit1");
        QCOMPARE(f.prompt.lastText(),
                 QString("Changed data must be Saved or Cancelled before proceeding."));
        QVERIFY(!w.exitRequested());
        QCOMPARE(f.pump().state(), TableState::Edit);
        QCOMPARE(f.pump().asString("Pump Mfr"), QString("Changed"));
        for (const char* command : {"Backup1", "Restore1", "ChangeID1", "Browse1", "Print1",
                                    "Preferences1", "LookupSerial1"}) {
            f.prompt.clear();
            f.prompt.buttons.enqueue(Prompt::Button::Ok);
            choose(w, command);
            QCOMPARE(f.prompt.messages.size(), 1);
            QCOMPARE(f.prompt.dialogTitles.size(), 0);
        }
        QVERIFY(f.pump().isOpen());
        QCOMPARE(f.pump().state(), TableState::Edit);
        f.pump().cancel();
        choose(w, "Exit1");
        QVERIFY(w.exitRequested());
        QVERIFY(!f.company().isOpen());
    }

    void menuBarHasEveryCommand() {
        AppFixture f;
        TMainForm1& w = f.open();
        QStringList titles;
        for (QAction* a : w.menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&Lookup", "&Browse", "&Print",
                                      "&Preferences", "&Help"}));
        QStringList file;
        for (QAction* a : child<QMenu>(w, "FileMenu")->actions())
            file << (a->isSeparator() ? "-" : a->text());
        QCOMPARE(file, (QStringList{"&Backup", "&Restore", "&Import Old Data…", "-", "E&xit"}));
    }

    // A copy on another computer sharing the folder cannot be asked whether it still runs:
    // a lock it has not touched for a long while is plainly gone and may be taken over.
    void lockOfAnotherComputer_data() {
        QTest::addColumn<int>("silentMinutes");
        QTest::addColumn<bool>("gone");
        QTest::newRow("running there") << 5 << false;
        QTest::newRow("gone") << 180 << true;
    }
    void lockOfAnotherComputer() {
        QFETCH(int, silentMinutes);
        QFETCH(bool, gone);
        QTemporaryDir dir;
        QSaveFile registry(dir.filePath("aliases.ini"));
        QVERIFY(registry.open(QIODevice::WriteOnly));
        registry.write("[NRVA2002]\nPATH=" + QFile::encodeName(dir.path()) + "\n");
        QVERIFY(registry.commit());
        const Database db(dir.filePath("aliases.ini"), dir.filePath("unused"));
        const QString lockPath = dir.filePath("NRVA2002.lck");
        {
            // Our own lock file with the other computer's name in it.
            QLockFile ours(lockPath);
            QVERIFY(ours.tryLock(0));
            QFile f(lockPath);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QList<QByteArray> lines = f.readAll().split('\n');
            f.close();
            ours.unlock();
            lines[2] = "pumphouse-pc";
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(lines.join('\n'));
            f.flush();
            f.setFileTime(QDateTime::currentDateTime().addSecs(-60 * silentMinutes),
                          QFileDevice::FileModificationTime);
        }
        SingleCopyLock lock(db);
        QVERIFY(lock.refused());
        QCOMPARE(lock.holderPlainlyGone(), gone);
        const QString text = gone ? lock.takeOverQuestion() : lock.refusalText();
        QVERIFY2(text.contains("on the computer \"pumphouse-pc\", which last showed it was "
                               "running " +
                               QString(gone ? "3 hours" : "5 minutes") + " ago") &&
                     text.contains("Lock file: " + QDir::toNativeSeparators(lockPath)),
                 qPrintable(text));
        QCOMPARE(lock.takeOver(), gone);
        QCOMPARE(lock.refused(), !gone);
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
