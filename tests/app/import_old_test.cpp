#include "AppFixture.h"
#include "app/ImportOldCommand.h"
#include "backup/ZipArchiver.h"
#include "data/DatabaseCopy.h"
#include "olddata/ImportOldDataDialog.h"
#include "olddata/OldFolder.h"
#include "support/TempDatabase.h"

#include <QAction>
#include <QtTest>

using namespace nerova;
using namespace nerova::test;

// The former program's data brought in as a user does it: File | Import Old Data… in the
// window, or nerova2002 --import-old in a terminal, with the exit code scripts rely on.
class ImportOldTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fromTheFileMenu() {
        AppFixture f;
        writeOldFolder(f.db.path("old"));
        TMainForm1& w = f.open();
        bool tablesClosed = false;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            auto& dlg = dynamic_cast<ImportOldDataDialog&>(d);
            tablesClosed = !f.company().isOpen();
            f.prompt.buttons << Prompt::Button::Yes << Prompt::Button::Ok;
            dlg.setSource(f.db.path("old"));
            dlg.importNow();
            return dlg.result();
        });
        auto* action = w.findChild<QAction*>("ImportOldData1");
        QVERIFY(action);
        QCOMPARE(action->text(), QString("&Import Old Data…"));
        action->trigger();
        QCOMPARE(f.prompt.dialogTitles, QStringList{"Import Old Data"});
        QVERIFY(tablesClosed);
        QVERIFY(f.prompt.lastText().startsWith("The old data was imported: 2 companies"));
        QVERIFY(f.company().isOpen());
        QCOMPARE(f.company().asString("CompanyID"), QString("Müller & Söhne"));
        QCOMPARE(f.pump().asString("Pump Mfr"), QString("Reddy Bufaloe"));
    }

    // Restore refuses the former program's backup, whose tables are not ours, and offers
    // to import it instead.
    void restoreOffersTheImport() {
        AppFixture f;
        writeOldFolder(f.db.path("old"));
        const QString backup = f.db.path("NRVA2002DataBackup.zip");
        ZipArchiver zip;
        QVERIFY(zip.create(backup));
        for (const QFileInfo& file : QDir(f.db.path("old")).entryInfoList(QDir::Files))
            QVERIFY(zip.addFile(file.filePath(), file.fileName()));
        QVERIFY(zip.close());
        TMainForm1& w = f.open();
        f.prompt.files << backup;
        f.prompt.inputs << QString("YES");
        f.prompt.buttons << Prompt::Button::Yes;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            auto& dlg = dynamic_cast<ImportOldDataDialog&>(d);
            f.prompt.buttons << Prompt::Button::Yes << Prompt::Button::Ok;
            dlg.importNow();
            return dlg.result();
        });
        choose(w, "Restore1");
        QVERIFY2(f.prompt.texts().join('\n').contains("holds the tables of the former program"),
                 qPrintable(f.prompt.texts().join('\n')));
        QCOMPARE(f.company().asString("CompanyID"), QString("Müller & Söhne"));

        // Declined, nothing is restored or imported, and nothing more is said.
        f.prompt.clear();
        f.prompt.files << backup;
        f.prompt.inputs << QString("YES");
        f.prompt.buttons << Prompt::Button::No;
        choose(w, "Restore1");
        QCOMPARE(f.prompt.messages.size(), 1);
        QCOMPARE(f.company().asString("CompanyID"), QString("Müller & Söhne"));
    }

    void importFromTheCommandLine() {
        TempDatabase file;
        writeOldFolder(file.path("old"));
        const auto run = [&](const QStringList& args, QString* said = nullptr) {
            QString text;
            QTextStream out(&text);
            QTextStream err(&text);
            const int code = runImportOldCommand(QStringList{"nerova2002"} + args,
                                                 file.registryPath(), file.dataDir(), out, err);
            if (said)
                *said = text;
            return code;
        };
        QString said;
        QCOMPARE(run({"--import-old", file.path("old")}, &said), 1); // the demonstration rows
        QVERIFY2(said.contains("--replace"), qPrintable(said));
        QCOMPARE(run({"--import-old", file.path("old"), "--replace"}, &said), 0);
        QVERIFY2(said.contains("NRVA2002Pump.DB: 1 records, 116 fields, code page 1252\n"),
                 qPrintable(said));
        QVERIFY2(said.contains("NRVA2002flow: 3 rows, checksum "), qPrintable(said));
        QVERIFY2(said.contains("Every row was imported and checked."), qPrintable(said));
        QCOMPARE(rowsOf(file.db(), TableId::Company), sampleRows()[0]);

        // Into a new folder of its own, given as --to.
        QCOMPARE(run({"--import-old", file.path("old"), "--to", file.path("laptop")}), 0);
        Database laptop(DataLocation::fromText(file.path("laptop")));
        QCOMPARE(rowsOf(laptop, TableId::Test), sampleRows()[3]);

        // Fields left out need the user's word.
        QList<OldField> fields = OldTableWriter::fieldsOf(int(TableId::Flow));
        fields << OldField{"Operator", pxfAlpha, 10, 0};
        writeOldTable(file.path("old"), TableId::Flow, sampleRows()[4], fields);
        QCOMPARE(run({"--import-old", file.path("old"), "--replace"}, &said), 1);
        QVERIFY2(said.contains("\"Operator\" is not a column of ours"), qPrintable(said));
        QCOMPARE(run({"--import-old", file.path("old"), "--replace", "--accept-fields"}), 0);

        QFile::remove(file.path("old/NRVA2002Test.DB"));
        QCOMPARE(run({"--import-old", file.path("old"), "--replace"}, &said), 1);
        QVERIFY2(said.contains("NRVA2002test.db is missing.\nNothing was imported."),
                 qPrintable(said));
        QCOMPARE(run({"--import-old"}), 2);
        QCOMPARE(run({"--import-old", file.path("old"), "--bogus"}), 2);
        QCOMPARE(run({"--copy-to", "x"}), -1);
    }
};

QTEST_MAIN(ImportOldTest)
#include "import_old_test.moc"
