#include "eval/Calculations.h"

#include <QTest>
#include <cmath>

using namespace nerova;

class CalculationsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void netPressure_data();
    void netPressure();
    void speedCorrections_data();
    void speedCorrections();
    void percentRatedFlow_data();
    void percentRatedFlow();
    void flowPointUsesRoundedValues();
    void roundingEdges_data();
    void roundingEdges();
};

void CalculationsTest::netPressure_data() {
    QTest::addColumn<bool>("notVT");
    QTest::addColumn<bool>("vp");
    QTest::addColumn<double>("q");
    QTest::addColumn<double>("ed");
    QTest::addColumn<double>("es");
    QTest::addColumn<double>("ep");
    QTest::addColumn<double>("pd");
    QTest::addColumn<double>("ps");
    QTest::addColumn<double>("dd");
    QTest::addColumn<double>("ds");
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("expected");

    QTest::newRow("horizontal") << true << false << 0.0 << 2.31 << 0.0 << 0.0 << 100.0 << 20.0
                                << 0.0 << 0.0 << 0.0 << 81.0;
    QTest::newRow("horizontal, velocity") << true << true << 1000.0 << 2.31 << 0.0 << 0.0 << 100.0
                                          << 20.0 << 6.0 << 8.0 << 0.0 << 82.0;
    QTest::newRow("horizontal, velocity, elevations")
        << true << true << 1500.0 << 4.0 << 1.0 << 2.0 << 95.0 << 15.0 << 6.0 << 8.0 << 0.0 << 83.0;
    QTest::newRow("horizontal, velocity, no discharge diameter")
        << true << true << 1000.0 << 0.0 << 0.0 << 0.0 << 100.0 << 20.0 << 0.0 << 8.0 << 0.0 << 0.0;
    QTest::newRow("vertical turbine")
        << false << false << 0.0 << 0.0 << 0.0 << 0.0 << 50.0 << 23.1 << 0.0 << 0.0 << 23.1 << 60.0;
    QTest::newRow("vertical turbine, velocity") << false << true << 1000.0 << 0.0 << 0.0 << 0.0
                                                << 50.0 << 23.1 << 6.0 << 8.0 << 23.1 << 61.0;
    QTest::newRow("vertical turbine, velocity, no suction diameter")
        << false << true << 1000.0 << 10.0 << 0.0 << 0.0 << 100.0 << 23.1 << 6.0 << 0.0 << 23.1
        << 0.0;
    QTest::newRow("no discharge pressure, horizontal")
        << true << false << 1000.0 << 10.0 << 0.0 << 0.0 << 0.0 << -20.0 << 6.0 << 8.0 << 0.0
        << 0.0;
    QTest::newRow("negative discharge pressure, vertical turbine")
        << false << false << 1000.0 << 10.0 << 0.0 << 0.0 << -5.0 << 0.0 << 6.0 << 8.0 << 50.0
        << 0.0;
    QTest::newRow("half goes down to even")
        << true << false << 0.0 << 0.0 << 0.0 << 0.0 << 12.5 << 0.0 << 0.0 << 0.0 << 0.0 << 12.0;
    QTest::newRow("half goes up to even")
        << true << false << 0.0 << 0.0 << 0.0 << 0.0 << 13.5 << 0.0 << 0.0 << 0.0 << 0.0 << 14.0;
    QTest::newRow("negative result")
        << true << false << 0.0 << 0.0 << 0.0 << 0.0 << 10.0 << 20.5 << 0.0 << 0.0 << 0.0 << -10.0;
    QTest::newRow("small negative is zero")
        << true << false << 0.0 << 0.0 << 0.0 << 0.0 << 10.0 << 10.4 << 0.0 << 0.0 << 0.0 << 0.0;
}

void CalculationsTest::netPressure() {
    QFETCH(bool, notVT);
    QFETCH(bool, vp);
    QFETCH(double, q);
    QFETCH(double, ed);
    QFETCH(double, es);
    QFETCH(double, ep);
    QFETCH(double, pd);
    QFETCH(double, ps);
    QFETCH(double, dd);
    QFETCH(double, ds);
    QFETCH(double, w);
    QFETCH(double, expected);

    const double result = NetPressure(notVT, vp, q, ed, es, ep, pd, ps, dd, ds, w);
    QCOMPARE(result, expected);
    // A zero must never show as "-0" in the record.
    QVERIFY(!std::signbit(result) || expected < 0);
}

void CalculationsTest::speedCorrections_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("measured");
    QTest::addColumn<double>("rated");
    QTest::addColumn<double>("flow");
    QTest::addColumn<double>("netPressure");

    QTest::newRow("rated above measured") << 1000.0 << 1700.0 << 1750.0 << 1029.0 << 1060.0;
    QTest::newRow("100 psi at 1700 of 1750") << 100.0 << 1700.0 << 1750.0 << 103.0 << 106.0;
    QTest::newRow("half to even below") << 25.0 << 2.0 << 1.0 << 12.0 << 6.0;
    QTest::newRow("half to even above") << 27.0 << 2.0 << 1.0 << 14.0 << 7.0;
    QTest::newRow("no measured speed") << 1000.0 << 0.0 << 1750.0 << 0.0 << 0.0;
    QTest::newRow("no rated speed") << 1000.0 << 1700.0 << 0.0 << 0.0 << 0.0;
}

void CalculationsTest::speedCorrections() {
    QFETCH(double, value);
    QFETCH(double, measured);
    QFETCH(double, rated);
    QFETCH(double, flow);
    QFETCH(double, netPressure);

    QCOMPARE(CorrectedFlow(value, measured, rated), flow);
    QCOMPARE(CorrectedNetPressure(value, measured, rated), netPressure);
}

void CalculationsTest::percentRatedFlow_data() {
    QTest::addColumn<double>("corrected");
    QTest::addColumn<double>("rated");
    QTest::addColumn<double>("expected");

    QTest::newRow("62.5 to even") << 5.0 << 8.0 << 62.0;
    QTest::newRow("87.5 to even") << 7.0 << 8.0 << 88.0;
    QTest::newRow("no rated flow") << 500.0 << 0.0 << 0.0;
}

// What reaches a record: never NaN, infinity or a negative zero shown as "-0".
void CalculationsTest::roundingEdges_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("half down to even") << 2.5 << 2.0;
    QTest::newRow("half up to even") << -3.5 << -4.0;
    QTest::newRow("negative to zero") << -0.4 << 0.0;
    QTest::newRow("negative zero") << -0.0 << 0.0;
    QTest::newRow("NaN") << std::nan("") << 0.0;
    QTest::newRow("infinity") << HUGE_VAL << 0.0;
}

void CalculationsTest::roundingEdges() {
    QFETCH(double, value);
    QFETCH(double, expected);
    const double r = roundHalfEven(value);
    QCOMPARE(r, expected);
    QVERIFY(!std::signbit(r) || r < 0);
}

void CalculationsTest::percentRatedFlow() {
    QFETCH(double, corrected);
    QFETCH(double, rated);
    QFETCH(double, expected);
    QCOMPARE(PercentRatedFlow(corrected, rated), expected);
}

void CalculationsTest::flowPointUsesRoundedValues() {
    // Net pressure 42.55 is stored as 43; corrected from 43 it is 45.57 (46), where the
    // unrounded 42.55 would give 45.09 (45). Corrected flow 1029.41 is stored as 1029, which
    // is 514.5 % of 200 (514), where the unrounded flow would give 515.
    FlowPointInputs in;
    in.flow = 1000;
    in.dischargePressure = 50;
    in.suctionPressure = 7.45;
    in.measuredSpeed = 1700;
    in.ratedSpeed = 1750;
    in.ratedFlow = 200;
    const FlowPointResults r = evaluateFlowPoint(in);
    QCOMPARE(r.netPressure, 43.0);
    QCOMPARE(r.correctedFlow, 1029.0);
    QCOMPARE(r.correctedNetPressure, 46.0);
    QCOMPARE(r.percentRatedFlow, 514.0);

    // A point with a flow but no speed still has its net pressure.
    in.measuredSpeed = 0;
    const FlowPointResults noSpeed = evaluateFlowPoint(in);
    QCOMPARE(noSpeed.netPressure, 43.0);
    QCOMPARE(noSpeed.correctedFlow, 0.0);
    QCOMPARE(noSpeed.correctedNetPressure, 0.0);
    QCOMPARE(noSpeed.percentRatedFlow, 0.0);
}

QTEST_GUILESS_MAIN(CalculationsTest)
#include "calculations_test.moc"
