#include "app/ImportOldCommand.h"
#include "data/DatabaseCopy.h"
#include "olddata/OldFolder.h"
#include "support/TempDatabase.h"

#include <QtTest>

using namespace nerova;
using namespace nerova::test;

// nerova2002 --import-old, as a user types it in a terminal: the tally of every table, and
// the exit code scripts rely on.
class ImportOldCommandTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
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

QTEST_GUILESS_MAIN(ImportOldCommandTest)
#include "import_old_command_test.moc"
