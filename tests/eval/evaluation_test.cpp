#include "eval/Evaluation.h"
#include "eval/EvaluationText.h"
#include "eval/TestVerdict.h"

#include <QPointF>
#include <QTest>
#include <cmath>

using namespace nerova;

Q_DECLARE_METATYPE(QList<QPointF>)

namespace {

constexpr double kRatedSpeed = 1780;

// 1,000 gpm at 100 psi, churn 115 psi, 1,500 gpm at 67.5 psi, 1,780 rpm; 460 V, 52 A,
// service factor 1.15.
PumpRatings ratedPump() {
    PumpRatings p;
    p.churnPressure = 115;
    p.ratedFlow = 1000;
    p.ratedPressure = 100;
    p.peakFlow = 1500;
    p.peakPressure = 67.5;
    p.ratedSpeed = kRatedSpeed;
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
    p.speed = kRatedSpeed;
    p.dischargePressure = pressure + 20;
    p.netPressure = pressure;
    p.correctedFlow = flow;
    p.correctedNetPressure = pressure;
    return p;
}

const Finding* findingOf(const Evaluation& e, int rule, int point) {
    for (const Finding& f : e.findings)
        if (int(f.rule) == rule && (point == 0 || f.point == point))
            return &f;
    return nullptr;
}

} // namespace

class EvaluationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void finding_data();
    void finding();
    void curve_data();
    void curve();
    void verdictAndRecord();
    void limitWorkedOutInBinaryStillPasses();
};

// One flowing point (point 3) on its own: the rules that look at a single reading.
void EvaluationTest::finding_data() {
    QTest::addColumn<bool>("factory");
    QTest::addColumn<double>("flow");
    QTest::addColumn<double>("pressure");
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("volts");
    QTest::addColumn<double>("amps");
    QTest::addColumn<double>("serviceFactor");
    QTest::addColumn<QDate>("calibrated");
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");

    const int base = int(EvaluationRule::Baseline), pass = int(FindingStatus::Pass),
              fail = int(FindingStatus::Fail), none = int(FindingStatus::NotEvaluated);
    const QDate gauge(2025, 5, 14);
    auto row = [&](const char* name, double flow, double pressure) -> QTestData& {
        return QTest::newRow(name)
               << false << flow << pressure << kRatedSpeed << 0.0 << 0.0 << 1.15 << gauge;
    };
    row("1,002 gpm at 102 psi", 1002, 102)
        << base << pass << "baseline 99.87 psi, 95 % = 94.88 psi; 102.1 %";
    row("1,496 gpm at 73 psi", 1496, 73) << base << pass << "baseline 67.76 psi, 95 % = 64.37 psi";
    row("94 psi at rated flow", 1000, 94) << base << fail << "94.0 %";
    row("95 psi exactly at the limit", 1000, 95) << base << pass << "95.0 %";
    row("0 psi is judged, not skipped", 1000, 0) << base << fail << "0.0 % of baseline";
    row("at 160 %, on the baseline extended", 1600, 60) << base << pass << "baseline extended 61";
    row("beyond 160 %", 1700, 60) << base << none << "beyond 160 % of rated flow (1,600 gpm)";
    QTest::newRow("factory curve, given unsorted with a blank point")
        << true << 1002.0 << 102.0 << kRatedSpeed << 0.0 << 0.0 << 1.15 << gauge << base << pass
        << "baseline 101.87 psi";
    QTest::newRow("no speed recorded") << false << 1002.0 << 102.0 << 0.0 << 0.0 << 0.0 << 1.15
                                       << gauge << base << none << "No speed recorded at point 3";
    row("churn 140 psi", 0, 140) << int(EvaluationRule::Churn) << pass
                                 << "at most 140 % of 100 psi";
    row("churn 141 psi", 0, 141) << int(EvaluationRule::Churn) << fail << "= 140 psi";

    const int volts = int(EvaluationRule::Volts), amps = int(EvaluationRule::Amps);
    for (const auto& [v, status] :
         {std::pair{437.0, pass}, {436.0, fail}, {506.0, pass}, {507.0, fail}})
        QTest::addRow("%g V", v) << false << 1002.0 << 102.0 << kRatedSpeed << v << 0.0 << 1.15
                                 << gauge << volts << status << "allowed 437–506 V";
    for (const auto& [a, sf, status, limit] : {std::tuple{59.8, 1.15, pass, "52 A × 1.15 = 59.8 A"},
                                               {60.0, 1.15, fail, "52 A × 1.15 = 59.8 A"},
                                               {52.5, 0.0, fail, "52 A × 1 = 52 A"}})
        QTest::addRow("%g A, service factor %g", a, sf)
            << false << 1002.0 << 102.0 << kRatedSpeed << 0.0 << a << sf << gauge << amps << status
            << limit;

    const int cal = int(EvaluationRule::Calibration);
    for (const auto& [day, status, text] :
         {std::tuple{QDate(2025, 5, 14), pass, "within 12 months before the test"},
          {QDate(2025, 5, 13), fail, "calibrated 2025-05-13, more than 12 months before the test"},
          {QDate(), fail, "Pressure Gauge has no calibration date"},
          {QDate(2026, 5, 15), fail, "after the test"}})
        QTest::addRow("calibrated %s", qPrintable(day.toString(Qt::ISODate)))
            << false << 1002.0 << 102.0 << kRatedSpeed << 0.0 << 0.0 << 1.15 << day << cal << status
            << text;
}

void EvaluationTest::finding() {
    QFETCH(bool, factory);
    QFETCH(double, flow);
    QFETCH(double, pressure);
    QFETCH(double, speed);
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
    p.speed = speed;
    p.volts[0] = volts;
    p.amps[1] = amps;

    const Evaluation e = evaluateTest(pump, test);
    const Finding* f = findingOf(e, rule, 0);
    QVERIFY(f);
    QVERIFY2(f->text.contains(text), qPrintable(f->text));
    QCOMPARE(statusText(f->status), statusText(FindingStatus(status)));
}

// Whole tests: the rated and overload points read on the test's own curve, completeness and
// the verdict. Points at rated speed; a flow of 0 is a churn reading.
void EvaluationTest::curve_data() {
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<int>("noSpeedPoint");  // a point whose speed is blank, or 0
    QTest::addColumn<double>("ratedSpeed"); // of the pump
    QTest::addColumn<bool>("nameplate");    // false: the pump has no baseline at all
    QTest::addColumn<int>("rule");          // the finding looked at, -1 for none
    QTest::addColumn<int>("point");         // its point, 0 for the first of its rule
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("reading"); // the pressure read at 150 %, NaN when not checked
    QTest::addColumn<QString>("verdict");

    const int base = int(EvaluationRule::Baseline), peak = int(EvaluationRule::PeakPressure),
              done = int(EvaluationRule::Completeness), pass = int(FindingStatus::Pass),
              fail = int(FindingStatus::Fail), none = int(FindingStatus::NotEvaluated);
    const double nan = std::nan("");
    const QList<QPointF> sound{{0, 118}, {1000, 99}, {1500, 68}};
    auto row = [&](const char* name, const QList<QPointF>& points) -> QTestData& {
        return QTest::newRow(name) << points << 0 << kRatedSpeed << true;
    };

    row("-5 psi at rated flow fails", {{1000, -5}})
        << base << 1 << fail << "-5.0 % of baseline" << nan << "Fail";
    row("150 % read between 1,000 and 1,513 gpm", {{1000, 101}, {1513, 66}})
        << peak << 0 << pass << "read between 1,000 and 1,513 gpm; 65 % of 100 psi = 65 psi; 99.0 %"
        << 66.887 << "Incomplete";
    row("1,513 gpm on the baseline extended", {{1000, 101}, {1513, 66}})
        << base << 2 << pass << "baseline extended 66.6…; 99.0 % of baseline" << nan
        << "Incomplete";
    row("150 % below the 65 % rule", {{1000, 98}, {1520, 62}})
        << peak << 0 << fail << "= 65 psi" << 63.385 << "Fail";
    row("148 % extended to 150 %", {{0, 118}, {1000, 99}, {1480, 70}})
        << peak << 0 << pass << "extrapolated from 1,480 gpm" << 70 - 20 * 29.0 / 480 << "Pass";
    row("a rising last segment is held level", {{0, 118}, {1000, 99}, {1450, 100}})
        << peak << 0 << pass << "extrapolated from 1,450 gpm" << 100.0 << "Pass";
    row("139.5 % does not reach the overload point", {{0, 118}, {1000, 99}, {1395, 75}})
        << done << 0 << fail
        << "Overload point not reached: highest flow 1,395 gpm is 139.5 % of rated flow" << nan
        << "Incomplete";
    row("94 % does not reach the rated point", {{0, 118}, {940, 101}})
        << done << 0 << fail
        << "Rated point not reached: highest flow 940 gpm is 94.0 % of rated flow" << nan
        << "Incomplete";
    row("every no-flow point is judged", {{0, 118}, {0, 145}, {1000, 99}, {1500, 68}})
        << int(EvaluationRule::Churn) << 2 << fail << "145 psi at no flow" << nan << "Fail";
    // Not read across the gap the point leaves: between churn and 150 % it would fail.
    QTest::newRow("a point without speed") << sound << 2 << kRatedSpeed << true << base << 2 << none
                                           << "No speed recorded at point 2" << nan << "Incomplete";
    QTest::newRow("a pump without rated speed")
        << sound << 0 << 0.0 << true << base << 2 << none << "The pump's rated speed is not given"
        << nan << "Incomplete";
    QTest::newRow("no baseline") << sound << 0 << kRatedSpeed << false << done << 0 << fail
                                 << "The pump has no baseline curve" << nan << "Incomplete";
    row("complete and sound", sound)
        << done << 0 << pass << "Churn point recorded" << 68.0 << "Pass";
    row("a weak point", {{0, 118}, {1000, 90}, {1500, 68}}) << -1 << 0 << 0 << "" << nan << "Fail";
    row("a weak point, incomplete", {{1000, 90}}) << -1 << 0 << 0 << "" << nan << "Fail";
}

void EvaluationTest::curve() {
    QFETCH(QList<QPointF>, points);
    QFETCH(int, noSpeedPoint);
    QFETCH(double, ratedSpeed);
    QFETCH(bool, nameplate);
    QFETCH(int, rule);
    QFETCH(int, point);
    QFETCH(int, status);
    QFETCH(QString, text);
    QFETCH(double, reading);
    QFETCH(QString, verdict);

    PumpRatings pump = ratedPump();
    pump.ratedSpeed = ratedSpeed;
    if (!nameplate)
        pump.churnPressure = pump.ratedPressure = pump.peakPressure = 0;
    TestReadings test = testOn(QDate(2026, 5, 14));
    test.instruments[0].calibrated = QDate(2026, 1, 2);
    for (int i = 0; i < points.size(); ++i)
        test.points[std::size_t(i)] = ::point(points[i].x(), points[i].y());
    if (noSpeedPoint)
        test.points[std::size_t(noSpeedPoint - 1)].speed = 0;

    const Evaluation e = evaluateTest(pump, test);
    QCOMPARE(verdictText(e.verdict), verdict);
    if (rule >= 0) {
        const Finding* f = findingOf(e, rule, point);
        QVERIFY(f);
        // "…" stands for the figures between two parts looked for.
        for (const QString& part : text.split(QStringLiteral("…")))
            QVERIFY2(f->text.contains(part), qPrintable(f->text));
        QCOMPARE(statusText(f->status), statusText(FindingStatus(status)));
    }
    if (!std::isnan(reading)) {
        QVERIFY(e.peak);
        QVERIFY2(std::fabs(e.peak->pressure - reading) < 0.001,
                 qPrintable(QString::number(e.peak->pressure)));
    }
}

void EvaluationTest::verdictAndRecord() {
    // A new test, every reading 0: not tested, nothing to find, no paperwork line.
    TestReadings blank = testOn(QDate(2026, 5, 14));
    const Evaluation untouched = evaluateTest(ratedPump(), blank);
    QCOMPARE(verdictText(untouched.verdict), QStringLiteral("Not tested"));
    QVERIFY(untouched.findings.isEmpty());
    QVERIFY(testRecordText(untouched).isEmpty());

    // A late calibration is the record's, never the pump's.
    TestReadings late = testOn(QDate(2026, 7, 1));
    late.instruments[0].calibrated = QDate(2025, 6, 15);
    late.points[0] = point(0, 118);
    late.points[1] = point(1000, 99);
    late.points[2] = point(1500, 68);
    const Evaluation e = evaluateTest(ratedPump(), late);
    const TestVerdict v = testVerdict(e);
    QCOMPARE(v.summary, QStringLiteral("Pass"));
    QCOMPARE(v.testRecord, QStringLiteral("Test record: incomplete"));
    QCOMPARE(
        v.recordReasons,
        QStringList{"Pressure Gauge calibrated 2025-06-15, more than 12 months before the test"});
    QCOMPARE(*e.ratedShare, 99.0);

    // One text for a share: cut, never rounded up onto its limit.
    QCOMPARE(shareText(94.96), QStringLiteral("94.9 %"));
    QCOMPARE(shareDigits(-4.96), QStringLiteral("-5.0"));
}

// Churn 100 psi, 1,900 gpm at 50 psi: 95 % of the baseline at 1,000 gpm works out as
// 70.00000000000001 psi, and a reading of exactly 70 psi must pass.
void EvaluationTest::limitWorkedOutInBinaryStillPasses() {
    PumpRatings pump = ratedPump();
    pump.churnPressure = 100;
    pump.ratedFlow = 1900;
    pump.ratedPressure = 50;
    pump.peakFlow = 2850;
    pump.peakPressure = 32.5;
    TestReadings test = testOn(QDate(2025, 6, 1));
    test.points[2] = point(1000, 70);
    const Evaluation e = evaluateTest(pump, test);
    const Finding* f = findingOf(e, int(EvaluationRule::Baseline), 3);
    QVERIFY(f);
    QCOMPARE(statusText(f->status), statusText(FindingStatus::Pass));
}

QTEST_GUILESS_MAIN(EvaluationTest)
#include "evaluation_test.moc"
