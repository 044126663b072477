#pragma once

#include "eval/Baseline.h"

#include <QDate>
#include <QList>
#include <QString>
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

// One flow point as stored: the derived pressures and flow, and the three phases' readings.
struct TestPoint {
    double flow = 0; // as measured; 0 at churn
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

enum class Status { Pass, Fail, NotEvaluated };
enum class Verdict { Pass, Fail, Incomplete };

enum class Rule {
    Baseline,     // every flowing point against the baseline curve
    PeakPressure, // the overload point against rated pressure
    Churn,        // pressure at no flow against rated pressure
    Volts,
    Amps,
    Calibration,
    Completeness // a churn, a rated and an overload point were recorded
};

struct Finding {
    Rule rule;
    Status status;
    int point = 0;   // 1 to 8 for a finding about one point, else 0
    QString subject; // "Point 3", "Pressure Gauge", "Test"
    QString text;    // the arithmetic, or why it was not evaluated
};

// A flowing point measured against the baseline.
struct PointResult {
    int point = 0; // 1 to 8
    double correctedFlow = 0;
    double percentOfRatedFlow = 0;           // 0 when the rated flow is blank
    std::optional<double> percentOfBaseline; // none beyond the curve or without one
};

struct Evaluation {
    Verdict verdict = Verdict::Incomplete;
    Baseline baseline;
    QList<Finding> findings;
    QList<PointResult> points;
    // The points the rules single out (1 to 8), 0 when the test has none: the first at no
    // flow, and the ones nearest 100 % and 150 % of rated flow within their windows.
    int churnPoint = 0;
    int ratedPoint = 0;
    int peakPoint = 0;
};

// Judges a test against the pump's baseline and the acceptance limits (Thresholds.h).
//
// Figures are compared with a tolerance of one part in a billion of the limit, so a reading
// exactly on a limit (95.0 %, 59.8 A) passes although the limit itself, computed in binary,
// may come out a hair beside the typed figure.
//
// A flowing point is one whose net pressure is not 0; the churn point is a flowing point at
// no measured flow. A point without a corrected net pressure (no speed recorded) is not
// judged against the curve rather than judged as 0 psi. The electric rules are judged only for an
// electric driver, and a reading of 0 is one not taken. The completeness finding fails when a
// churn, rated or overload point is missing; that makes the verdict Incomplete rather than Fail, as
// does a pump without a baseline. Every other failing finding makes it Fail.
Evaluation evaluateTest(const PumpRatings& pump, const TestReadings& test);

QString statusText(Status status);    // "Pass", "Fail", "Not evaluated"
QString verdictText(Verdict verdict); // "Pass", "Fail", "Incomplete"

} // namespace nerova
