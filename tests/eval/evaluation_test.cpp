#include "eval/Evaluation.h"

#include <QPointF>
#include <QTest>

using namespace nerova;

Q_DECLARE_METATYPE(QList<QPointF>)

namespace {

// 1,000 gpm at 100 psi, churn 115 psi, 1,500 gpm at 67.5 psi; 460 V, 52 A, service factor
// 1.15.
PumpRatings ratedPump() {
    PumpRatings p;
    p.churnPressure = 115;
    p.ratedFlow = 1000;
    p.ratedPressure = 100;
    p.peakFlow = 1500;
    p.peakPressure = 67.5;
    p.ratedVolts = 460;
    p.ratedAmps = 52;
    p.serviceFactor = 1.15;
    return p;
}

TestReadings testOn(const QDate& day) {
    TestReadings t;
    t.testDate = day;
    t.instruments[0] = {QStringLiteral("Pressure Gauge"), QStringLiteral("Bourdon"), {}};
    return t;
}

// A point read at rated speed, so the corrected figures equal the readings.
TestPoint point(double flow, double pressure) {
    TestPoint p;
    p.flow = flow;
    p.netPressure = pressure;
    p.correctedFlow = flow;
    p.correctedNetPressure = pressure;
    return p;
}

} // namespace

class EvaluationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void finding_data();
    void finding();
    void verdict_data();
    void verdict();
};

void EvaluationTest::finding_data() {
    QTest::addColumn<bool>("factory");
    QTest::addColumn<double>("flow");
    QTest::addColumn<double>("pressure");
    QTest::addColumn<double>("corrected"); // corrected net pressure when it differs, else -1
    QTest::addColumn<double>("volts");
    QTest::addColumn<double>("amps");
    QTest::addColumn<double>("serviceFactor");
    QTest::addColumn<QDate>("calibrated");
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");

    const int base = int(Rule::Baseline), pass = int(Status::Pass), fail = int(Status::Fail),
              none = int(Status::NotEvaluated);
    const QDate gauge(2025, 5, 14);
    auto row = [&](const char* name, double flow, double pressure) -> QTestData& {
        return QTest::newRow(name)
               << false << flow << pressure << -1.0 << 0.0 << 0.0 << 1.15 << gauge;
    };
    row("1,002 gpm at 102 psi", 1002, 102)
        << base << pass << "baseline 99.87 psi, 95 % = 94.88 psi; 102.1 %";
    row("1,496 gpm at 73 psi", 1496, 73) << base << pass << "baseline 67.76 psi, 95 % = 64.37 psi";
    row("overload rule", 1496, 73) << int(Rule::PeakPressure) << pass << "65 % of 100 psi = 65 psi";
    row("94 psi at rated flow", 1000, 94) << base << fail << "94.0 %";
    row("95 psi exactly at the limit", 1000, 95) << base << pass << "95.0 %";
    row("beyond the curve", 1600, 60) << base << none << "last point (1,500 gpm)";
    QTest::newRow("factory curve, given unsorted with a blank point")
        << true << 1002.0 << 102.0 << -1.0 << 0.0 << 0.0 << 1.15 << gauge << base << pass
        << "baseline 101.87 psi";
    QTest::newRow("no speed: not judged as 0 psi") << false << 1002.0 << 102.0 << 0.0 << 0.0 << 0.0
                                                   << 1.15 << gauge << base << none << "no speed";
    row("churn 140 psi", 0, 140) << int(Rule::Churn) << pass << "at most 140 % of 100 psi";
    row("churn 141 psi", 0, 141) << int(Rule::Churn) << fail << "= 140 psi";

    const int volts = int(Rule::Volts), amps = int(Rule::Amps);
    for (const auto& [v, status] :
         {std::pair{437.0, pass}, {436.0, fail}, {506.0, pass}, {507.0, fail}})
        QTest::addRow("%g V", v) << false << 1002.0 << 102.0 << -1.0 << v << 0.0 << 1.15 << gauge
                                 << volts << status << "allowed 437–506 V";
    for (const auto& [a, sf, status, limit] : {std::tuple{59.8, 1.15, pass, "52 A × 1.15 = 59.8 A"},
                                               {60.0, 1.15, fail, "52 A × 1.15 = 59.8 A"},
                                               {52.5, 0.0, fail, "52 A × 1 = 52 A"}})
        QTest::addRow("%g A, service factor %g", a, sf)
            << false << 1002.0 << 102.0 << -1.0 << 0.0 << a << sf << gauge << amps << status
            << limit;

    const int cal = int(Rule::Calibration);
    for (const auto& [day, status, text] :
         {std::tuple{QDate(2025, 5, 14), pass, "back to 2025-05-14"},
          {QDate(2025, 5, 13), fail, "back to 2025-05-14"},
          {QDate(), fail, "No calibration date given"},
          {QDate(2026, 5, 15), fail, "after the test"}})
        QTest::addRow("calibrated %s", qPrintable(day.toString(Qt::ISODate)))
            << false << 1002.0 << 102.0 << -1.0 << 0.0 << 0.0 << 1.15 << day << cal << status
            << text;
}

void EvaluationTest::finding() {
    QFETCH(bool, factory);
    QFETCH(double, flow);
    QFETCH(double, pressure);
    QFETCH(double, corrected);
    QFETCH(double, volts);
    QFETCH(double, amps);
    QFETCH(double, serviceFactor);
    QFETCH(QDate, calibrated);
    QFETCH(int, rule);
    QFETCH(int, status);
    QFETCH(QString, text);

    PumpRatings pump = ratedPump();
    pump.serviceFactor = serviceFactor;
    if (factory) {
        const CurvePoint curve[] = {{1000, 102}, {0, 120}, {700, 0}, {1500, 70}, {500, 115}};
        std::copy(std::begin(curve), std::end(curve), pump.factory);
    }
    TestReadings test = testOn(QDate(2026, 5, 14));
    test.instruments[0].calibrated = calibrated;
    TestPoint& p = test.points[2] = point(flow, pressure);
    if (corrected >= 0)
        p.correctedNetPressure = corrected;
    p.volts[0] = volts;
    p.amps[1] = amps;

    const Evaluation e = evaluateTest(pump, test);
    const auto it = std::find_if(e.findings.begin(), e.findings.end(),
                                 [&](const Finding& f) { return int(f.rule) == rule; });
    QVERIFY(it != e.findings.end());
    QVERIFY2(it->text.contains(text), qPrintable(it->text));
    QCOMPARE(statusText(Status(it->status)), statusText(Status(status)));
}

void EvaluationTest::verdict_data() {
    QTest::addColumn<QList<QPointF>>("points"); // (flow, net pressure) at rated speed
    QTest::addColumn<bool>("nameplate");
    QTest::addColumn<QString>("verdict");

    const QList<QPointF> complete{{0, 118}, {1000, 99}, {1500, 68}};
    QTest::newRow("complete and sound") << complete << true << "Pass";
    QTest::newRow("overload point missing")
        << QList<QPointF>{{0, 118}, {1000, 99}} << true << "Incomplete";
    QTest::newRow("a weak point") << QList<QPointF>{{0, 118}, {1000, 90}, {1500, 68}} << true
                                  << "Fail";
    QTest::newRow("a weak point, incomplete") << QList<QPointF>{{1000, 90}} << true << "Fail";
    QTest::newRow("no baseline") << complete << false << "Incomplete";
}

void EvaluationTest::verdict() {
    QFETCH(QList<QPointF>, points);
    QFETCH(bool, nameplate);
    QFETCH(QString, verdict);

    PumpRatings pump = ratedPump();
    if (!nameplate)
        pump.churnPressure = pump.ratedPressure = pump.peakPressure = 0;
    TestReadings test = testOn(QDate(2026, 5, 14));
    test.instruments[0].calibrated = QDate(2026, 1, 2);
    for (int i = 0; i < points.size(); ++i)
        test.points[std::size_t(i)] = point(points[i].x(), points[i].y());
    QCOMPARE(verdictText(evaluateTest(pump, test).verdict), verdict);
}

QTEST_GUILESS_MAIN(EvaluationTest)
#include "evaluation_test.moc"
