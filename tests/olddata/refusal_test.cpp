#include "OldFolder.h"

#include "data/DatabaseCopy.h"
#include "data/EngineError.h"
#include "olddata/OldData.h"
#include "support/TempDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace nerova;
using namespace nerova::test;

namespace {

using Damage = std::function<void(const QString& folder, std::array<Rows, kTableCount>& rows)>;

void rewrite(const QString& folder, TableId id, const Rows& rows, QList<OldField> fields = {}) {
    writeOldTable(folder, id, rows, std::move(fields));
}

void patch(const QString& path, qint64 at, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(at));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

Q_DECLARE_METATYPE(Damage)

// Old tables that would not come across faithfully stop the import before anything is
// written, and the user is told the table, the record, the field and the value.
class RefusalTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refused_data() {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QString>("problem");
        QTest::newRow("family missing")
            << Damage([](const QString& f, auto&) { QFile::remove(f + "/NRVA2002Flow.DB"); })
            << "NRVA2002flow.db is missing.";
        QTest::newRow("memo file missing")
            << Damage([](const QString& f, auto&) { QFile::remove(f + "/NRVA2002Company.mb"); })
            << "NRVA2002Company.DB record 1, \"Notes\": the memo is kept in NRVA2002Company.mb, "
               "which is missing.";
        QTest::newRow("header damaged") << Damage([](const QString& f, auto&) {
            patch(f + "/NRVA2002Pump.DB", 0, QByteArray("\xff\x7f", 2));
        }) << "NRVA2002Pump.DB: the header is damaged";
        QTest::newRow("cut short") << Damage([](const QString& f, auto& rows) {
            for (int i = 0; i < 40; ++i) {
                QVariantList r = rows[4][0];
                r[4] = QString::number(i % 8 + 1);
                r[3] = QStringLiteral("T%1").arg(i);
                rows[4] << r;
            }
            rewrite(f, TableId::Flow, rows[4]);
            QFile::resize(f + "/NRVA2002Flow.DB", QFileInfo(f + "/NRVA2002Flow.DB").size() - 2048);
        }) << "NRVA2002Flow.DB is cut short: its header promises";
        QTest::newRow("record block blanked")
            << Damage([](const QString& f, auto&) {
                   QFile db(f + "/NRVA2002Location.DB");
                   QVERIFY(db.open(QIODevice::ReadOnly));
                   const QByteArray head = db.read(4);
                   const int headerSize = (uchar(head[2]) | uchar(head[3]) << 8);
                   db.close();
                   patch(f + "/NRVA2002Location.DB", headerSize + 6, QByteArray(600, '\0'));
               })
            << "NRVA2002Location.DB record 1, \"CompanyID\": blank, though it is part of the key; "
               "the file is damaged.";
        QTest::newRow("unexpected type") << Damage([](const QString& f, auto& rows) {
            QList<OldField> fields = OldTableWriter::fieldsOf(int(TableId::Pump));
            fields[3] = OldField{"Pump Mfr", pxfNumber, 0, 0};
            rows[2][0][3] = 4.0;
            rewrite(f, TableId::Pump, rows[2], fields);
        }) << "NRVA2002Pump.DB, \"Pump Mfr\": a Number field; the column holds text.";
        QTest::newRow("text too long") << Damage([](const QString& f, auto& rows) {
            QList<OldField> fields = OldTableWriter::fieldsOf(int(TableId::Pump));
            fields[3].length = 60;
            rows[2][0][3] = QStringLiteral("é").repeated(41);
            rewrite(f, TableId::Pump, rows[2], fields);
        }) << "NRVA2002Pump.DB record 1, \"Pump Mfr\": 41 characters, the column holds 40.";
        QTest::newRow("date before 1900") << Damage([](const QString& f, auto& rows) {
            rows[3][0][4] = QDate(1899, 12, 31);
            rewrite(f, TableId::Test, rows[3]);
        }) << "NRVA2002Test.DB record 1, \"Test Date\": 12/31/1899 is outside 1900–2100.";
        QTest::newRow("duplicate key") << Damage([](const QString& f, auto& rows) {
            rows[0] << rows[0][0];
            rows[0].last()[1] = QStringLiteral("the second one");
            rewrite(f, TableId::Company, rows[0]);
        }) << "NRVA2002Company.DB records 1 and 3 have the same key: \"Müller & Söhne\".";
        QTest::newRow("key field missing") << Damage([](const QString& f, auto& rows) {
            QList<OldField> fields = OldTableWriter::fieldsOf(int(TableId::Location));
            fields.removeAt(1);
            for (QVariantList& r : rows[1])
                r.removeAt(1);
            rewrite(f, TableId::Location, rows[1], fields);
        }) << "NRVA2002Location.DB has no field \"LocationID\", a key that cannot be left blank.";
    }

    void refused() {
        QFETCH(Damage, damage);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        auto rows = sampleRows();
        writeOldFolder(dir.filePath("old"), rows);
        damage(dir.filePath("old"), rows);
        if (QTest::currentTestFailed())
            return;

        OldData data(dir.filePath("old"));
        const OldDataSurvey& survey = data.survey();
        QVERIFY(!survey.importable());
        const QStringList problems = survey.problems();
        QVERIFY2(!problems.isEmpty() && problems.first().startsWith(problem),
                 qPrintable(problems.join('\n')));

        TempDatabase target;
        const QList<TableTally> before = tallyDatabase(target.db());
        QVERIFY_THROWS_EXCEPTION(EngineError, data.importInto(target.db(), CopyMode::Replace));
        QCOMPARE(tallyDatabase(target.db()), before);
    }

    // A write that does not read back as it was read is never committed.
    void mismatchRollsBack() {
        struct Changing : RowSource {
            const std::array<Rows, kTableCount> rows = sampleRows();
            void readRows(TableId id,
                          const std::function<void(const QVariantList&)>& row) override {
                for (const QVariantList& r : rows[static_cast<std::size_t>(levelIndex(id))]) {
                    QVariantList changed = r;
                    // Text in a number column reads back as its number.
                    if (id == TableId::Pump)
                        changed[tableDef(id).indexOf("Pump RPM")] = QStringLiteral("1750 rpm");
                    row(changed);
                }
            }
        } source;
        TempDatabase target;
        const QList<TableTally> before = tallyDatabase(target.db());
        try {
            writeRows(source, target.db(), CopyMode::Replace);
            QFAIL("the mismatch was committed");
        } catch (const EngineError& e) {
            QVERIFY2(e.text().contains("does not match"), qPrintable(e.text()));
        }
        QCOMPARE(tallyDatabase(target.db()), before);
    }
};

QTEST_MAIN(RefusalTest)
#include "refusal_test.moc"
