#pragma once

#include "eval/Baseline.h"
#include "eval/TestCurve.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace nerova {

// What a pump promised: its nameplate, factory curve and electric driver. Blank figures
// are 0, as the tables read them.
struct PumpRatings {
    double churnPressure = 0;
    double ratedFlow = 0; // "100% Flow"
    double ratedPressure = 0;
    double peakFlow = 0; // "150% Flow"
    double peakPressure = 0;
    double ratedSpeed = 0; // "Pump RPM"
    CurvePoint factory[kFactoryCurvePoints] = {};
    bool electricDriver = true; // the electric readings are judged
    double ratedVolts = 0;
    double ratedAmps = 0;
    double serviceFactor = 0; // blank or 0 counts as 1.0
};

inline constexpr int kInstrumentCount = 4;

struct Instrument {
    QString name; // "Pressure Gauge"
    QString type; // blank: not used in the test, not judged
    QDate calibrated;
};

// One flow point as stored: the readings typed, the derived pressures and flow, and the
// three phases' electric readings.
struct TestPoint {
    double dischargePressure = 0;
    double suctionPressure = 0;
    double flow = 0;  // as measured; 0 at churn
    double speed = 0; // "RPM"; 0 when none was recorded
    double netPressure = 0;
    double correctedFlow = 0;
    double correctedNetPressure = 0;
    std::array<double, 3> volts = {};
    std::array<double, 3> amps = {};
};

struct TestReadings {
    QString testId;
    QDate testDate;
    std::array<Instrument, kInstrumentCount> instruments;
    std::array<TestPoint, 8> points = {}; // unused points are all 0
};

enum class FindingStatus { Pass, Fail, NotEvaluated };
// Of the pump, from its readings; the paperwork has a line of its own (testRecordText).
enum class TestVerdictKind { Pass, Fail, Incomplete, NotTested };

enum class EvaluationRule {
    Baseline,     // every flowing point against the baseline curve
    RatedPoint,   // the test's curve at 100 % of rated flow against the baseline
    PeakPressure, // the test's curve at 150 % of rated flow against rated pressure
    Churn,        // pressure at no flow against rated pressure
    Volts,
    Amps,
    Completeness, // a churn point, and flows reaching the rated and overload points
    Calibration   // of the test record, not of the pump
};

struct Finding {
    EvaluationRule rule;
    FindingStatus status;
    int point = 0;   // 1 to 8 for a finding about one point, else 0
    QString subject; // "Point 3", "Pressure Gauge", "Test"
    QString text;    // the arithmetic, or why it was not evaluated
};

// A flowing point measured against the baseline.
struct PointResult {
    int point = 0; // 1 to 8
    double correctedFlow = 0;
    double percentOfRatedFlow = 0;           // 0 when the rated flow is blank
    std::optional<double> percentOfBaseline; // none where it was not judged
};

struct Evaluation {
    TestVerdictKind verdict = TestVerdictKind::NotTested;
    Baseline baseline;
    QList<Finding> findings;
    QList<PointResult> points;
    // The test's curve read at exactly 100 % and 150 % of rated flow, and its pressure there
    // as a share of the baseline; none where the curve does not reach that far.
    std::optional<TestCurve::Reading> rated;
    std::optional<TestCurve::Reading> peak;
    std::optional<double> ratedShare;
    std::optional<double> peakShare;
    // What keeps the verdict from Pass or Fail: the reasons of the completeness finding.
    QStringList missing;
    // The paperwork: false when an instrument's calibration is late, missing or cannot be
    // judged. It never changes the verdict.
    bool recordComplete = true;
    QStringList recordReasons;
};

// Judges a test against the pump's baseline and the acceptance limits (Thresholds.h).
//
// Figures are compared with a tolerance of one part in a billion of the limit, so a reading
// exactly on a limit (95.0 %, 59.8 A) passes although the limit itself, computed in binary,
// may come out a hair beside the typed figure.
//
// A test without any reading is Not tested and has no findings. Otherwise every flowing
// point (a measured flow) with a speed is judged against the baseline at its corrected flow,
// whatever its pressure: 0 psi or below fails. A point without a speed, or a pump without a
// rated speed, cannot be judged; that, a missing churn point, a curve that does not reach
// 95 % or 140 % of rated flow, or a pump without a baseline makes the verdict Incomplete,
// unless a finding failed: then it is Fail. Every point at no flow is a churn reading. The
// electric rules are judged only for an electric driver, and a reading of 0 is one not
// taken. Calibration findings judge the test record, never the pump.
Evaluation evaluateTest(const PumpRatings& pump, const TestReadings& test);

} // namespace nerova
