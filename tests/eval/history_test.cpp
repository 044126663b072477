#include "data/EngineError.h"
#include "data/Table.h"
#include "eval/EvaluationRows.h"
#include "eval/EvaluationText.h"
#include "eval/HistoryCsv.h"
#include "eval/PumpHistory.h"
#include "support/TempDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nerova;

class HistoryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void testsInDateOrderWithChange();
    void csvQuotesAndWritesWhole();
};

void HistoryTest::testsInDateOrderWithChange() {
    test::TempDatabase tmp(false);
    // The rows' owners first: an office server refuses a row under none.
    for (TableId id : {TableId::Company, TableId::Location, TableId::Pump, TableId::Test})
        tmp.db().createTable(id);
    for (const QVariantList& key : {QVariantList{"ACME"}, QVariantList{"ACME", "PLANT"},
                                    QVariantList{"ACME", "PLANT", "FP-2"}}) {
        Table owner(tmp.db(), levelAt(int(key.size()) - 1));
        owner.open();
        owner.insert();
        for (qsizetype i = 0; i < key.size(); ++i)
            owner.setValue(owner.def().keyNames()[i], key[i]);
        owner.post();
    }
    Table pump(tmp.db(), TableId::Pump);
    Table tests(tmp.db(), TableId::Test);
    pump.open();
    tests.open();

    pump.insert();
    const QVariantMap nameplate{{"CompanyID", "ACME"},     {"LocationID", "PLANT"},
                                {"PumpID", "FP-1"},        {"Churn Pressure", 115},
                                {"100% Flow", 1000},       {"100% Pressure", 100},
                                {"150% Flow", 1500},       {"150% Pressure", 67.5},
                                {"Driver Type", "Diesel"}, {"Pump RPM", 1780}};
    for (auto it = nameplate.begin(); it != nameplate.end(); ++it)
        pump.setValue(it.key(), it.value());
    pump.post();

    // Entered out of order; the undated one goes last, another pump's test not at all.
    struct Row {
        const char* pumpId;
        const char* testId;
        QDate day;
        double ratedPressure;
    };
    for (const Row& r :
         {Row{"FP-1", "2024-1", {2024, 5, 1}, 98}, Row{"FP-1", "X", {}, 95},
          Row{"FP-2", "2022-1", {2022, 5, 1}, 50}, Row{"FP-1", "2023-1", {2023, 5, 1}, 100},
          Row{"FP-1", "2024-0", {2024, 5, 1}, 90.5}}) {
        tests.append();
        const QVariantMap values{{"CompanyID", "ACME"},
                                 {"LocationID", "PLANT"},
                                 {"PumpID", r.pumpId},
                                 {"TestID", r.testId},
                                 {"Test Date", r.day},
                                 {"Flow1", 0},
                                 {"RPM1", 1780},
                                 {"RPM2", 1780},
                                 {"Net Pressure1", 118},
                                 {"Corrected Flow1", 0},
                                 {"Corrected Net Pressure1", 118},
                                 {"Flow2", 1000},
                                 {"Net Pressure2", r.ratedPressure},
                                 {"Corrected Flow2", 1000},
                                 {"Corrected Net Pressure2", r.ratedPressure}};
        for (auto it = values.begin(); it != values.end(); ++it)
            tests.setValue(it.key(), it.value());
        tests.post();
    }

    const QList<HistoryRow> rows = pumpHistory(pump);
    QStringList order;
    for (const HistoryRow& r : rows)
        order << r.testId;
    QCOMPARE(order, QStringList({"2023-1", "2024-0", "2024-1", "X"}));
    QCOMPARE(rows[0].atRatedFlow, std::optional<double>(100));
    QCOMPARE(rows[0].change, std::nullopt);
    QCOMPARE(rows[1].change, std::optional<double>(-9.5));
    QCOMPARE(rows[2].change, std::optional<double>(7.5));
    QCOMPARE(rows[3].lowest, std::optional<double>(95));
    // No overload point was run: incomplete, unless a point fails outright.
    QCOMPARE(verdictText(rows[0].verdict), QStringLiteral("Incomplete"));
    QCOMPARE(verdictText(rows[1].verdict), QStringLiteral("Fail"));

    // The cursor adapter reads the same rows as the history's query.
    QVERIFY(tests.locate({"PumpID", "TestID"}, {"FP-1", "2024-0"}));
    QCOMPARE(evaluateCurrentTest(pump, tests).verdict, rows[1].verdict);
}

void HistoryTest::csvQuotesAndWritesWhole() {
    HistoryRow quoted;
    quoted.testDate = QDate(2026, 5, 14);
    quoted.testId = QStringLiteral("7 \"A\", B");
    quoted.atRatedFlow = 101.26;
    quoted.lowest = 96.04;
    quoted.verdict = TestVerdictKind::Pass;
    quoted.testRecord =
        QStringLiteral("Test record: incomplete (Volt Meter has no calibration date)");
    quoted.change = -1.04;
    HistoryRow undated;
    undated.testId = QStringLiteral("Prüfung");
    undated.change = 0.04;

    // Every row names its pump, so a file read on its own says which pump it is.
    const HistoryPump pump{QStringLiteral("Acme, Inc."), QStringLiteral("*"), QStringLiteral("01")};
    const QByteArray expected =
        "CompanyID,LocationID,PumpID,Test Date,TestID,% of Baseline at 100% Flow,"
        "% of Baseline at 150% Flow,Lowest % of Baseline,Verdict,Change Since Previous Test,"
        "Test Record\r\n"
        "\"Acme, Inc.\",*,01,2026-05-14,\"7 \"\"A\"\", B\",101.2,,96.0,Pass,-1.0,"
        "Test record: incomplete (Volt Meter has no calibration date)\r\n"
        "\"Acme, Inc.\",*,01,,Prüfung,,,,Not tested,0.0,\r\n";
    QCOMPARE(historyCsv(pump, {quoted, undated}), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.csv"));
    writeHistoryCsv(path, pump, {quoted, undated});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
    QVERIFY_THROWS_EXCEPTION(
        EngineError, writeHistoryCsv(dir.filePath(QStringLiteral("no/such.csv")), pump, {}));
}

QTEST_GUILESS_MAIN(HistoryTest)
#include "history_test.moc"
