// The menu commands that open windows of their own: each hides the working area while its
// window is open and always brings the main window back usable.
#include "AppFixture.h"
#include "app/AboutBox.h"
#include "backup/BackupFrm.h"
#include "print/PrintDlg.h"
#include "settings/PreferencesDlg.h"
#include "support/TemporaryHome.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

using namespace nerova;
using namespace nerova::test;

class CommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void printHandsTheCurrentSelection() {
        AppFixture f;
        TMainForm1& w = f.open();
        CurveSelection seen;
        bool panelHidden = false;
        bool printDialog = false;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            auto* dlg = qobject_cast<TPrintDlg*>(&d);
            printDialog = dlg != nullptr;
            if (!dlg)
                return int(QDialog::Rejected);
            panelHidden = !child<QWidget>(w, "MainPanel")->isVisible();
            dlg->FormShow(); // what showing the dialog does
            seen = dlg->selection(1);
            return int(QDialog::Rejected);
        });
        choose(w, "Print1");
        QCOMPARE(f.prompt.dialogTitles, QStringList{"Print Dialog"});
        QVERIFY(printDialog);
        QVERIFY(panelHidden);
        QVERIFY(child<QWidget>(w, "MainPanel")->isVisible());
        QCOMPARE(seen.companyId, QString("ABC Paint Company"));
        QCOMPARE(seen.locationId, QString("*"));
        QCOMPARE(seen.pumpId, QString("01"));
        QCOMPARE(seen.testId, QString("20010731"));
    }

    void preferencesSavedOnOkAndWriteFailureKeepsRecord() {
        AppFixture f;
        TMainForm1& w = f.open();
        const QString ini = f.startup.filePath("Nrva2002.ini");
        bool fieldFound = true;
        auto acceptWithLine = [&](const QString& text) {
            f.prompt.dialogs.enqueue([text, &fieldFound](QDialog& d) {
                auto* field = d.findChild<QLineEdit*>("CompanyInfo1Field");
                fieldFound = fieldFound && field;
                if (!field)
                    return int(QDialog::Rejected);
                field->setText(text);
                static_cast<TPreferencesDlg&>(d).OKBtnClick();
                return d.result();
            });
        };
        acceptWithLine("Acme Testing");
        choose(w, "Preferences1");
        QVERIFY2(fieldFound, "no CompanyInfo1Field in the preferences dialog");
        QCOMPARE(f.prefs.companyInfo(1), QString("Acme Testing"));
        QFile file(ini);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(13), QByteArray("\x0c"
                                           "Acme Testing"));
        file.close();
        QCOMPARE(f.prefs.curvePrintQuality(), 4);

        // The file is made read-only after start-up: the error is shown, the record keeps
        // the accepted values, the file its old ones, and the window comes back.
        QFile::setPermissions(ini, QFileDevice::ReadOwner);
        f.prompt.clear();
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        acceptWithLine("Other Name");
        choose(w, "Preferences1");
        QCOMPARE(f.prompt.messages.size(), 1);
        QCOMPARE(f.prompt.messages[0].kind, Prompt::Kind::Error);
        QCOMPARE(f.prefs.companyInfo(1), QString("Other Name"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(13), QByteArray("\x0c"
                                           "Acme Testing"));
        QVERIFY(child<QWidget>(w, "MainPanel")->isVisible());
        QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void backupRunsWithTablesClosedAndReopensThem() {
        AppFixture f;
        TMainForm1& w = f.open();
        bool closedMeanwhile = false;
        bool backupDialog = false;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            closedMeanwhile = !f.company().isOpen() && !f.flow().isOpen() &&
                              !child<QWidget>(w, "MainPanel")->isVisible();
            backupDialog = qobject_cast<TBackupFrm*>(&d) != nullptr;
            return int(QDialog::Rejected);
        });
        choose(w, "Backup1");
        QVERIFY(backupDialog);
        QVERIFY(closedMeanwhile);
        QVERIFY(f.flow().isOpen());
        QVERIFY(child<QWidget>(w, "MainPanel")->isVisible());
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString("ABC Paint Company"));
        // A declined restore (no file chosen) reopens the tables as well.
        choose(w, "Restore1");
        QVERIFY(f.company().isOpen());
        QCOMPARE(f.flow().recordCount(), 3);
    }

    // The panel counts the page's own records again once the tables are back, even after a
    // backup cancelled or a restore without a file.
    void recordCountAfterBackupAndRestore() {
        AppFixture f;
        TMainForm1& w = f.open();
        for (const char* id : {"AAA", "ZZZ"}) {
            f.company().insert();
            f.company().setValue("CompanyID", id);
            f.company().post();
        }
        f.company().locate({"CompanyID"}, {"ABC Paint Company"});
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("2 of 3"));
        f.prompt.dialogs.enqueue([](QDialog&) { return int(QDialog::Rejected); });
        choose(w, "Backup1");
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("2 of 3"));
        choose(w, "Restore1");
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("2 of 3"));
    }

    // Chosen with no save in between, a page counts its own level: two pumps at the location.
    void pagesCountTheirOwnLevel() {
        AppFixture f;
        TMainForm1& w = f.open();
        f.pump().insert();
        f.pump().setValue("PumpID", "02");
        f.pump().post();
        f.pump().first();
        QVERIFY(w.selectPage(1));
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("1 of 1"));
        QVERIFY(w.selectPage(2));
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("1 of 2"));
        QVERIFY(w.selectPage(3));
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("1 of 1"));
    }

    // A backup goes where the user keeps files, and says where; a restore shows what it
    // would replace with what before it asks for YES.
    void backupToDocumentsAndRestoreShowsWhatItReplaces_data() {
        QTest::addColumn<bool>("documents");
        QTest::newRow("documents") << true;
        QTest::newRow("no documents folder: home") << false;
    }
    void backupToDocumentsAndRestoreShowsWhatItReplaces() {
        QFETCH(bool, documents);
        const TemporaryHome home(documents);
        const QString folder = documents ? home.documents() : home.path();
        AppFixture f;
        TMainForm1& w = f.open();
        QString offered;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            offered = child<QLineEdit>(d, "FileFolderField")->text();
            static_cast<TBackupFrm&>(d).BackupButtonClick();
            return d.result();
        });
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        choose(w, "Backup1");
        QCOMPARE(offered, QDir::toNativeSeparators(folder + "/"));
        const QString archive = folder + "/NRVA2002DataBackup.zip";
        QVERIFY(QFile::exists(archive));
        const QRegularExpression done(
            "^Backed up 5 tables \\(\\d+(\\.\\d)? (bytes|kB|MB)\\) to " +
            QRegularExpression::escape(QDir::toNativeSeparators(archive)) + "\\.$");
        QVERIFY2(done.match(f.prompt.lastText()).hasMatch(), qPrintable(f.prompt.lastText()));

        Table& test = f.test();
        test.insert();
        test.setValue("TestID", "2002");
        test.post();
        f.prompt.clear();
        f.prompt.files.enqueue(archive);
        f.prompt.inputs.enqueue(QStringLiteral("no"));
        choose(w, "Restore1");
        QCOMPARE(f.prompt.fileRequests.value(0).section('|', 1, 1),
                 QDir::toNativeSeparators(folder + "/"));
        const QRegularExpression compared(
            "^Confirm Restore\\|The archive NRVA2002DataBackup\\.zip of "
            "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d holds 1 company, 1 location, 1 pump, 1 test\\. "
            "Your data now holds 1 company, 1 location, 1 pump, 2 tests; it will be replaced\\."
            "\n\nType YES to confirm overwriting existing data files$");
        QVERIFY2(compared.match(f.prompt.inputPrompts.value(0)).hasMatch(),
                 qPrintable(f.prompt.inputPrompts.value(0)));
        QCOMPARE(f.test().recordCount(), 2); // declined: nothing replaced
    }

    void aboutNamesTheProgramAndItsLibraries() {
        AppFixture f;
        TMainForm1& w = f.open();
        QString text;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            text = static_cast<AboutBox&>(d).text();
            return int(QDialog::Accepted);
        });
        choose(w, "About1");
        QVERIFY(text.startsWith("Nerova 2002\nVersion "));
        QVERIFY(text.contains("Qt 6"));
        QVERIFY(text.contains("SQLite 3"));
        QVERIFY(text.contains("libzip"));
    }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
