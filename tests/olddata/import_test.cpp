#include "OldFolder.h"

#include "backup/ZipArchiver.h"
#include "data/DatabaseCopy.h"
#include "olddata/ImportOldDataDialog.h"
#include "olddata/OldArchive.h"
#include "olddata/OldData.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace nerova;
using namespace nerova::test;

// The former program's tables come into ours whole: every value, every field type the old
// tables could hold, from a folder or a backup archive, through the window.
class ImportTest : public QObject {
    Q_OBJECT

private:
    static QList<TableTally> import(const QString& folder, Database& to) {
        OldData data(folder);
        const OldDataSurvey& survey = data.survey();
        if (!survey.importable())
            qWarning() << survey.problems();
        return data.importInto(to, CopyMode::Replace);
    }

private Q_SLOTS:
    void everyValueComesBack() {
        QTemporaryDir dir;
        const auto rows = sampleRows();
        writeOldFolder(dir.filePath("old"), rows);
        // As they come from a CD or an old archive: read-only.
        for (const QFileInfo& f : QDir(dir.filePath("old")).entryInfoList(QDir::Files))
            QFile::setPermissions(f.filePath(), QFileDevice::ReadOwner);
        TempDatabase target;
        const QList<TableTally> tallies = import(dir.filePath("old"), target.db());
        QCOMPARE(tallies.size(), kTableCount);
        for (const TableId id : kAllTables) {
            const Rows expected = rows[static_cast<std::size_t>(levelIndex(id))];
            QCOMPARE(tallies[levelIndex(id)].rows, expected.size());
            QCOMPARE(rowsOf(target.db(), id), expected);
        }
        // The old files were read, never written.
        QVERIFY(QFileInfo(dir.filePath("old/NRVA2002Company.mb")).size() % 4096 == 0);
    }

    void fieldTypes_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("column");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("short") << int(pxfShort) << QByteArray("Pump RPM") << QVariant(-1750)
                               << QVariant(-1750.0);
        QTest::newRow("long zero")
            << int(pxfLong) << QByteArray("Pump RPM") << QVariant(0) << QVariant(0.0);
        QTest::newRow("autoinc") << int(pxfAutoInc) << QByteArray("Pump RPM") << QVariant(7)
                                 << QVariant(7.0);
        QTest::newRow("money") << int(pxfCurrency) << QByteArray("Pump RPM") << QVariant(12.25)
                               << QVariant(12.25);
        QTest::newRow("bcd") << int(pxfBCD) << QByteArray("Pump RPM") << QVariant("123.45")
                             << QVariant(123.45);
        QTest::newRow("formatted memo") << int(pxfFmtMemoBLOb) << QByteArray("Notes")
                                        << QVariant(QStringLiteral("Größe ").repeated(100))
                                        << QVariant(QStringLiteral("Größe ").repeated(100));
        QTest::newRow("memo into alpha") << int(pxfMemoBLOb) << QByteArray("Pump Mfr")
                                         << QVariant("Aurora") << QVariant("Aurora");
    }
    void fieldTypes() {
        QFETCH(int, type);
        QFETCH(QByteArray, column);
        QFETCH(QVariant, written);
        QFETCH(QVariant, expected);
        QTemporaryDir dir;
        auto rows = sampleRows();
        QList<OldField> fields = OldTableWriter::fieldsOf(int(TableId::Pump));
        for (OldField& f : fields)
            if (f.name == column) {
                f.type = type;
                f.length = type == pxfFmtMemoBLOb || type == pxfMemoBLOb ? 30 : 0;
                f.decimals = type == pxfBCD ? 2 : 0;
            }
        const int at = tableDef(TableId::Pump).indexOf(QString::fromLatin1(column));
        rows[2][0][at] = written;
        writeOldFolder(dir.filePath("old"), rows);
        writeOldTable(dir.filePath("old"), TableId::Pump, rows[2], fields);
        TempDatabase target;
        import(dir.filePath("old"), target.db());
        QCOMPARE(rowsOf(target.db(), TableId::Pump).value(0).value(at), expected);
    }

    // Timestamps split into the date and the time columns; a header without a code page is
    // read as 1252; another code page is honoured.
    void timestampsAndCodePages() {
        QTemporaryDir dir;
        auto rows = sampleRows();
        writeOldFolder(dir.filePath("old"), rows);
        QList<OldField> fields = OldTableWriter::fieldsOf(int(TableId::Test));
        for (OldField& f : fields)
            if (f.name == "Test Date" || f.name == "Test Start Time")
                f.type = pxfTimestamp, f.length = 8;
        auto tests = rows[3];
        const int date = tableDef(TableId::Test).indexOf("Test Date");
        const int time = tableDef(TableId::Test).indexOf("Test Start Time");
        tests[0][date] = QDateTime(QDate(2001, 7, 31), QTime(9, 15, 30));
        tests[0][time] = QDateTime(QDate(2001, 7, 31), QTime(9, 15, 30));
        writeOldTable(dir.filePath("old"), TableId::Test, tests, fields, 0);
        rows[0][0][1] = QStringLiteral("Çà et là ÿ");
        writeOldTable(dir.filePath("old"), TableId::Company, rows[0], {}, 850);

        OldData data(dir.filePath("old"));
        QVERIFY(data.survey().importable());
        QCOMPARE(data.lastSurvey().tables[3].codePage, 0);
        QCOMPARE(data.lastSurvey().tables[0].codePage, 850);
        TempDatabase target;
        data.importInto(target.db(), CopyMode::Replace);
        const QVariantList test = rowsOf(target.db(), TableId::Test).value(0);
        QCOMPARE(test.value(date), QVariant(QDate(2001, 7, 31)));
        QCOMPARE(test.value(time), QVariant(QTime(9, 15, 30)));
        QCOMPARE(rowsOf(target.db(), TableId::Company).value(0).value(1),
                 QVariant(QStringLiteral("Çà et là ÿ")));
    }

    // A field we do not know is left out, one we expect but the table lacks is left blank;
    // both are listed for the user.
    void fieldsLeftOutOrBlank() {
        QTemporaryDir dir;
        auto rows = sampleRows();
        writeOldFolder(dir.filePath("old"), rows);
        QList<OldField> fields = OldTableWriter::fieldsOf(int(TableId::Company));
        fields.removeAt(tableDef(TableId::Company).indexOf("Contact Cell"));
        fields << OldField{"Fax2", pxfAlpha, 12, 0};
        Rows company = rows[0];
        for (QVariantList& r : company) {
            r.removeAt(tableDef(TableId::Company).indexOf("Contact Cell"));
            r << QStringLiteral("555-1234");
        }
        writeOldTable(dir.filePath("old"), TableId::Company, company, fields);
        OldData data(dir.filePath("old"));
        QVERIFY(data.survey().importable());
        QCOMPARE(data.lastSurvey().fieldNotes(),
                 QStringList({"NRVA2002Company.DB: \"Fax2\" is not a column of ours and is left "
                              "out.",
                              "NRVA2002Company.DB: \"Contact Cell\" is not in the old table and "
                              "is left blank."}));
        TempDatabase target;
        data.importInto(target.db(), CopyMode::Replace);
        QCOMPARE(rowsOf(target.db(), TableId::Company), rows[0]);
    }

    // A backup archive of the former program: bare entry names, one with folders that must
    // not lead outside, read from a private folder that goes away afterwards.
    void fromArchive() {
        QTemporaryDir dir;
        writeOldFolder(dir.filePath("old"));
        ZipArchiver zip;
        QVERIFY(zip.create(dir.filePath("NRVA2002DataBackup2002-07.zip")));
        for (const QFileInfo& f : QDir(dir.filePath("old")).entryInfoList(QDir::Files))
            QVERIFY(zip.addFile(f.filePath(), f.fileName() == "NRVA2002Pump.DB"
                                                  ? "../../" + f.fileName()
                                                  : f.fileName()));
        QVERIFY(zip.close());
        QVERIFY(OldArchive::holdsOldTables(dir.filePath("NRVA2002DataBackup2002-07.zip")));

        QString unpacked;
        {
            OldArchive archive;
            QVERIFY(archive.unpack(dir.filePath("NRVA2002DataBackup2002-07.zip")));
            unpacked = archive.folder();
            QVERIFY(QFile::exists(unpacked + "/NRVA2002Pump.DB"));
            TempDatabase target;
            import(unpacked, target.db());
            QCOMPARE(rowsOf(target.db(), TableId::Pump), sampleRows()[2]);
        }
        QVERIFY(!QFile::exists(unpacked));

        OldArchive tight;
        tight.setFreeSpaceProbe([](const QString&) { return qint64(1000); });
        const Result r = tight.unpack(dir.filePath("NRVA2002DataBackup2002-07.zip"));
        QVERIFY(!r);
        QVERIFY2(r.error().contains("larger than the free space"), qPrintable(r.error()));
    }

    // The window lists what it found and asks before it writes; No leaves the tables alone.
    void windowAsksThenImports() {
        QTemporaryDir dir;
        writeOldFolder(dir.filePath("old"));
        TempDatabase target; // the demonstration rows
        const QList<TableTally> before = tallyDatabase(target.db());
        ScriptedPrompt prompt;
        ImportOldDataDialog dlg(target.db());
        QVERIFY(dlg.setSource(dir.filePath("old")));
        QTableWidget* view = dlg.tablesView();
        QCOMPARE(view->rowCount(), kTableCount);
        QCOMPARE(view->item(2, 0)->text(), QString("NRVA2002Pump.DB"));
        QCOMPARE(view->item(2, 1)->text(), QString("1"));
        QCOMPARE(view->item(2, 2)->text(), QString("116"));
        QCOMPARE(view->item(2, 3)->text(), QString("1252"));
        QCOMPARE(view->item(2, 4)->text(), QString("none"));

        const QString question =
            "Import 2 companies, 2 locations, 1 pump, 1 test and 3 flow rows into " +
            target.db().displayName() +
            "? The tables there now hold 1 company, 1 location, 1 pump, 1 test and 3 flow "
            "rows; they will be replaced.";
        prompt.buttons << Prompt::Button::No;
        QVERIFY(!dlg.importNow());
        QCOMPARE(prompt.lastText(), question);
        QCOMPARE(tallyDatabase(target.db()), before);

        prompt.buttons << Prompt::Button::Yes << Prompt::Button::Ok;
        QVERIFY(dlg.importNow());
        QCOMPARE(prompt.lastText(), QString("The old data was imported: 2 companies, 2 "
                                            "locations, 1 pump, 1 test and 3 flow rows."));
        QCOMPARE(rowsOf(target.db(), TableId::Flow), sampleRows()[4]);
    }
};

QTEST_MAIN(ImportTest)
#include "import_test.moc"
