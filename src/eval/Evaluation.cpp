#include "eval/Evaluation.h"

#include "eval/EvaluationText.h"
#include "eval/Thresholds.h"

#include <algorithm>
#include <cmath>

namespace nerova {

namespace {

// A figure typed exactly on a limit must pass although the limit, worked out in binary,
// may land a hair on the wrong side of it.
constexpr double kRelativeTolerance = 1e-9;

double slack(double limit) {
    return kRelativeTolerance * std::max(1.0, std::fabs(limit));
}
bool atLeast(double value, double limit) {
    return value >= limit - slack(limit);
}
bool atMost(double value, double limit) {
    return value <= limit + slack(limit);
}

QString num(double v) {
    return figureText(v);
}

QString limitPercent(Limit limit) {
    return num(threshold(limit)) + QStringLiteral(" %");
}

double ofLimit(double value, Limit limit) {
    return value * threshold(limit) / 100.0;
}

QString isoDate(const QDate& d) {
    return d.toString(Qt::ISODate);
}

bool anyOf(const std::array<double, 3>& values) {
    return std::any_of(values.begin(), values.end(), [](double v) { return v != 0; });
}

// Anything typed or worked out for the point; a new test starts with every figure 0.
bool hasReading(const TestPoint& p) {
    return p.dischargePressure != 0 || p.suctionPressure != 0 || p.flow != 0 || p.speed != 0 ||
           p.netPressure != 0 || p.correctedFlow != 0 || p.correctedNetPressure != 0 ||
           anyOf(p.volts) || anyOf(p.amps);
}

bool isFlowing(const TestPoint& p) {
    return p.flow > 0;
}

// A pressure read while nothing flowed.
bool isChurn(const TestPoint& p) {
    return !isFlowing(p) && (p.netPressure != 0 || p.dischargePressure != 0);
}

QString pointName(int point) {
    return QStringLiteral("Point %1").arg(point);
}

QString readingHow(const TestCurve::Reading& r) {
    switch (r.how) {
    case TestCurve::Reading::How::AtPoint:
        return QStringLiteral("measured at point %1").arg(r.point);
    case TestCurve::Reading::How::Between:
        return QStringLiteral("read between %1 and %2 gpm").arg(num(r.fromFlow), num(r.toFlow));
    case TestCurve::Reading::How::Extended:
        break;
    }
    return QStringLiteral("extrapolated from %1 gpm").arg(num(r.fromFlow));
}

class Judge {
public:
    Judge(const PumpRatings& pump, const TestReadings& test, Evaluation& out)
        : m_pump(pump), m_test(test), m_out(out), m_curve(curvePoints(pump, test)) {}

    void run() {
        m_out.baseline = pumpBaseline(m_pump.factory, m_pump.churnPressure, m_pump.ratedFlow,
                                      m_pump.ratedPressure, m_pump.peakFlow, m_pump.peakPressure);
        if (std::none_of(m_test.points.begin(), m_test.points.end(), hasReading)) {
            m_out.verdict = TestVerdictKind::NotTested;
            return;
        }
        baselineRule();
        ratedRule();
        peakRule();
        churnRule();
        if (m_pump.electricDriver) {
            voltsRule();
            ampsRule();
        }
        completenessRule();
        calibrationRule();
        verdict();
    }

private:
    // The points the test's curve is drawn through: those corrected to rated speed.
    static TestCurve curvePoints(const PumpRatings& pump, const TestReadings& test) {
        std::vector<TestCurve::Point> points;
        for (int i = 1; i <= static_cast<int>(test.points.size()); ++i) {
            const TestPoint& p = test.points[static_cast<std::size_t>(i - 1)];
            if (p.speed > 0 && pump.ratedSpeed > 0 && (isFlowing(p) || isChurn(p)))
                points.push_back({i, p.correctedFlow, p.correctedNetPressure});
        }
        return TestCurve(std::move(points));
    }

    const TestPoint& at(int point) const {
        return m_test.points[static_cast<std::size_t>(point - 1)];
    }

    void add(EvaluationRule rule, FindingStatus status, int point, const QString& subject,
             const QString& text) {
        m_out.findings.append(Finding{rule, status, point, subject, text});
    }

    double shareOfRatedFlow(double flow) const {
        return m_pump.ratedFlow > 0 ? flow / m_pump.ratedFlow * 100.0 : 0.0;
    }

    // How far beyond its last point the baseline may be read.
    double baselineReach() const {
        const double last = m_out.baseline.points().back().flow;
        return m_pump.ratedFlow > 0
                   ? std::max(last, ofLimit(m_pump.ratedFlow, Limit::BaselineExtensionPercent))
                   : last;
    }

    void baselineRule() {
        const Baseline& curve = m_out.baseline;
        const double minimum = threshold(Limit::BaselineMinimumPercent);
        for (int i = 1; i <= static_cast<int>(m_test.points.size()); ++i) {
            const TestPoint& p = at(i);
            if (!isFlowing(p))
                continue;
            PointResult result{i, p.correctedFlow, shareOfRatedFlow(p.correctedFlow), std::nullopt};
            const QString subject = pointName(i);
            auto notEvaluated = [&](const QString& why) {
                add(EvaluationRule::Baseline, FindingStatus::NotEvaluated, i, subject, why);
            };
            if (!curve.isValid()) {
                notEvaluated(QStringLiteral("The pump has no baseline curve."));
            } else if (!(p.speed > 0)) {
                m_noSpeed << i;
                notEvaluated(QStringLiteral("No speed recorded at point %1.").arg(i));
            } else if (!(m_pump.ratedSpeed > 0)) {
                notEvaluated(QStringLiteral("The pump's rated speed is not given."));
            } else if (p.correctedFlow < curve.points().front().flow) {
                notEvaluated(QStringLiteral("%1 gpm is below the baseline's first point (%2 gpm).")
                                 .arg(num(p.correctedFlow), num(curve.points().front().flow)));
            } else if (!atMost(p.correctedFlow, baselineReach())) {
                notEvaluated(
                    QStringLiteral("%1 gpm is beyond the baseline's last point (%2 gpm)")
                        .arg(num(p.correctedFlow), num(curve.points().back().flow)) +
                    (m_pump.ratedFlow > 0
                         ? QStringLiteral(" and beyond %1 of rated flow (%2 gpm).")
                               .arg(limitPercent(Limit::BaselineExtensionPercent),
                                    num(baselineReach()))
                         : QStringLiteral("; the pump has no rated flow to extend it by.")));
            } else {
                const bool extended = p.correctedFlow > curve.points().back().flow;
                const double base = *curve.extendedPressureAt(p.correctedFlow);
                if (!(base > 0)) {
                    notEvaluated(QStringLiteral("The baseline extended to %1 gpm falls to %2 psi.")
                                     .arg(num(p.correctedFlow), num(base)));
                } else {
                    const double limit = base * minimum / 100.0;
                    const double share = p.correctedNetPressure / base * 100.0;
                    result.percentOfBaseline = share;
                    add(EvaluationRule::Baseline,
                        atLeast(p.correctedNetPressure, limit) ? FindingStatus::Pass
                                                               : FindingStatus::Fail,
                        i, subject,
                        QStringLiteral("%1 psi at %2 gpm; baseline%3 %4 psi, %5 = %6 psi; %7 of "
                                       "baseline.")
                            .arg(num(p.correctedNetPressure), num(p.correctedFlow),
                                 extended ? QStringLiteral(" extended") : QString(), num(base),
                                 limitPercent(Limit::BaselineMinimumPercent), num(limit),
                                 shareText(share)));
                }
            }
            m_out.points.append(result);
        }
    }

    // Reads the test's curve at a share of rated flow, reached when its highest flow is at
    // least `low`; on failure records why (for the completeness finding) and answers none.
    std::optional<TestCurve::Reading> readCurve(Limit aim, Limit low, const QString& name,
                                                QString& why) {
        const double flow = ofLimit(m_pump.ratedFlow, aim);
        const std::optional<TestCurve::Reading> reading =
            m_curve.at(flow, ofLimit(m_pump.ratedFlow, low));
        if (reading)
            return reading;
        const double highest = m_curve.highestFlow();
        if (highest >= flow)
            why = QStringLiteral("%1 point not read: no reading below %2 gpm to read from")
                      .arg(name, num(flow));
        else if (atLeast(shareOfRatedFlow(highest), threshold(low)))
            why = QStringLiteral("%1 point not read: a single reading cannot be extended from "
                                 "%2 gpm")
                      .arg(name, num(highest));
        else
            why = QStringLiteral("%1 point not reached: highest flow %2 gpm is %3 of rated flow")
                      .arg(name, num(highest), shareText(shareOfRatedFlow(highest)));
        return std::nullopt;
    }

    // Why a rule on the test's curve cannot be judged at all; empty when it can.
    QString curveMissing() const {
        if (!(m_pump.ratedFlow > 0))
            return QStringLiteral("The pump has no rated flow.");
        if (m_curve.isEmpty())
            return QStringLiteral("No reading corrected to rated speed.");
        // Read across the gap such a point leaves, the curve would say what was not measured.
        if (!m_noSpeed.isEmpty())
            return QStringLiteral("Not read: no speed recorded at point %1.")
                .arg(m_noSpeed.first());
        return {};
    }

    // The baseline's pressure at a flow, extended as far as the rules allow; none without.
    std::optional<double> baseAt(double flow) const {
        if (!m_out.baseline.isValid() || !atMost(flow, baselineReach()))
            return std::nullopt;
        const std::optional<double> base = m_out.baseline.extendedPressureAt(flow);
        return base && *base > 0 ? base : std::nullopt;
    }

    QString readingText(const TestCurve::Reading& r, Limit share) const {
        return QStringLiteral("%1 psi at %2 gpm (%3 of rated flow), %4")
            .arg(num(r.pressure), num(r.flow), limitPercent(share), readingHow(r));
    }

    void ratedRule() {
        const QString subject = QStringLiteral("Test");
        if (const QString why = curveMissing(); !why.isEmpty()) {
            add(EvaluationRule::RatedPoint, FindingStatus::NotEvaluated, 0, subject, why);
            return;
        }
        const auto r = readCurve(Limit::RatedFlowPercent, Limit::RatedFlowLowPercent,
                                 QStringLiteral("Rated"), m_ratedMissing);
        if (!r) {
            add(EvaluationRule::RatedPoint, FindingStatus::NotEvaluated, 0, subject,
                m_ratedMissing + u'.');
            return;
        }
        m_out.rated = r;
        const QString reading = readingText(*r, Limit::RatedFlowPercent);
        const std::optional<double> base = baseAt(r->flow);
        if (!base) {
            add(EvaluationRule::RatedPoint, FindingStatus::NotEvaluated, r->point, subject,
                reading + QStringLiteral("; no baseline there."));
            return;
        }
        const double limit = ofLimit(*base, Limit::BaselineMinimumPercent);
        m_out.ratedShare = r->pressure / *base * 100.0;
        add(EvaluationRule::RatedPoint,
            atLeast(r->pressure, limit) ? FindingStatus::Pass : FindingStatus::Fail, r->point,
            subject,
            reading + QStringLiteral("; baseline %1 psi, %2 = %3 psi; %4 of baseline.")
                          .arg(num(*base), limitPercent(Limit::BaselineMinimumPercent), num(limit),
                               shareText(*m_out.ratedShare)));
    }

    void peakRule() {
        const QString subject = QStringLiteral("Test");
        if (const QString why = curveMissing(); !why.isEmpty()) {
            add(EvaluationRule::PeakPressure, FindingStatus::NotEvaluated, 0, subject, why);
            return;
        }
        const auto r = readCurve(Limit::PeakFlowPercent, Limit::PeakFlowLowPercent,
                                 QStringLiteral("Overload"), m_peakMissing);
        if (!r) {
            add(EvaluationRule::PeakPressure, FindingStatus::NotEvaluated, 0, subject,
                m_peakMissing + u'.');
            return;
        }
        m_out.peak = r;
        QString share;
        if (const std::optional<double> base = baseAt(r->flow)) {
            m_out.peakShare = r->pressure / *base * 100.0;
            share = QStringLiteral("; %1 of baseline").arg(shareText(*m_out.peakShare));
        }
        const QString reading = readingText(*r, Limit::PeakFlowPercent);
        if (!(m_pump.ratedPressure > 0)) {
            add(EvaluationRule::PeakPressure, FindingStatus::NotEvaluated, r->point, subject,
                reading + QStringLiteral("; the pump has no rated pressure") + share + u'.');
            return;
        }
        const double limit = ofLimit(m_pump.ratedPressure, Limit::PeakPressureMinimumPercent);
        add(EvaluationRule::PeakPressure,
            atLeast(r->pressure, limit) ? FindingStatus::Pass : FindingStatus::Fail, r->point,
            subject,
            reading +
                QStringLiteral("; %1 of %2 psi = %3 psi")
                    .arg(limitPercent(Limit::PeakPressureMinimumPercent), num(m_pump.ratedPressure),
                         num(limit)) +
                share + u'.');
    }

    void churnRule() {
        const double limit = ofLimit(m_pump.ratedPressure, Limit::ChurnMaximumPercent);
        for (int i = 1; i <= static_cast<int>(m_test.points.size()); ++i) {
            if (!isChurn(at(i)))
                continue;
            m_churn << i;
            if (!(m_pump.ratedPressure > 0)) {
                add(EvaluationRule::Churn, FindingStatus::NotEvaluated, i, pointName(i),
                    QStringLiteral("The pump has no rated pressure."));
                continue;
            }
            const double pressure = at(i).netPressure;
            add(EvaluationRule::Churn,
                atMost(pressure, limit) ? FindingStatus::Pass : FindingStatus::Fail, i,
                pointName(i),
                QStringLiteral("%1 psi at no flow; at most %2 of %3 psi = %4 psi.")
                    .arg(num(pressure), limitPercent(Limit::ChurnMaximumPercent),
                         num(m_pump.ratedPressure), num(limit)));
        }
    }

    // The non-zero readings of one phase set, as "437, 440 V".
    static QString readings(const std::array<double, 3>& values, const char* unit) {
        QStringList parts;
        for (double v : values)
            if (v != 0)
                parts << num(v);
        return parts.join(QStringLiteral(", ")) + u' ' + QLatin1String(unit);
    }

    // Judges one kind of electric reading on every point where it was read.
    template <typename Pick, typename Within>
    void electricRule(EvaluationRule rule, const char* unit, double rated, const QString& noRating,
                      const QString& allowed, Pick pick, Within within) {
        bool any = false;
        for (int i = 1; i <= static_cast<int>(m_test.points.size()); ++i) {
            const std::array<double, 3>& values = pick(at(i));
            if (!anyOf(values))
                continue;
            any = true;
            if (!(rated > 0)) {
                add(rule, FindingStatus::NotEvaluated, 0, QStringLiteral("Test"), noRating);
                return;
            }
            const bool ok = std::all_of(values.begin(), values.end(),
                                        [&](double v) { return v == 0 || within(v); });
            add(rule, ok ? FindingStatus::Pass : FindingStatus::Fail, i, pointName(i),
                readings(values, unit) + QStringLiteral("; ") + allowed + u'.');
        }
        if (!any)
            add(rule, FindingStatus::NotEvaluated, 0, QStringLiteral("Test"),
                QStringLiteral("No %1 readings.")
                    .arg(QLatin1String(rule == EvaluationRule::Volts ? "voltage" : "current")));
    }

    void voltsRule() {
        const double rated = m_pump.ratedVolts;
        const double low = rated * (100.0 - threshold(Limit::VoltsBelowPercent)) / 100.0;
        const double high = rated * (100.0 + threshold(Limit::VoltsAbovePercent)) / 100.0;
        electricRule(
            EvaluationRule::Volts, "V", rated, QStringLiteral("The driver has no rated voltage."),
            QStringLiteral("allowed %1–%2 V (%3 V −%4 / +%5)")
                .arg(num(low), num(high), num(rated), limitPercent(Limit::VoltsBelowPercent),
                     limitPercent(Limit::VoltsAbovePercent)),
            [](const TestPoint& p) -> const std::array<double, 3>& { return p.volts; },
            [&](double v) { return atLeast(v, low) && atMost(v, high); });
    }

    void ampsRule() {
        const double factor = m_pump.serviceFactor > 0 ? m_pump.serviceFactor
                                                       : threshold(Limit::DefaultServiceFactor);
        const double limit = m_pump.ratedAmps * factor;
        electricRule(
            EvaluationRule::Amps, "A", m_pump.ratedAmps,
            QStringLiteral("The driver has no rated current."),
            QStringLiteral("at most %1 A × %2 = %3 A")
                .arg(num(m_pump.ratedAmps), num(factor), num(limit)),
            [](const TestPoint& p) -> const std::array<double, 3>& { return p.amps; },
            [&](double a) { return atMost(a, limit); });
    }

    void completenessRule() {
        QStringList& missing = m_out.missing;
        const bool flowing = std::any_of(m_test.points.begin(), m_test.points.end(), isFlowing);
        if (!m_out.baseline.isValid())
            missing << QStringLiteral("The pump has no baseline curve");
        if (!(m_pump.ratedFlow > 0))
            missing << QStringLiteral("The pump has no rated flow");
        if (!(m_pump.ratedSpeed > 0) && flowing)
            missing << QStringLiteral("The pump's rated speed is not given");
        for (int i : std::as_const(m_noSpeed))
            missing << QStringLiteral("No speed recorded at point %1").arg(i);
        if (m_pump.ratedFlow > 0 && m_curve.isEmpty())
            missing << QStringLiteral("No reading corrected to rated speed");
        if (m_churn.isEmpty())
            missing << QStringLiteral("No churn point (a pressure read at no flow)");
        if (!m_ratedMissing.isEmpty())
            missing << m_ratedMissing;
        if (!m_peakMissing.isEmpty())
            missing << m_peakMissing;
        if (missing.isEmpty())
            add(EvaluationRule::Completeness, FindingStatus::Pass, 0, QStringLiteral("Test"),
                QStringLiteral("Churn point recorded; highest flow %1 gpm is %2 of rated flow.")
                    .arg(num(m_curve.highestFlow()),
                         shareText(shareOfRatedFlow(m_curve.highestFlow()))));
        else
            add(EvaluationRule::Completeness, FindingStatus::Fail, 0, QStringLiteral("Test"),
                missing.join(QStringLiteral("; ")) + u'.');
    }

    void calibrationRule() {
        const int months = static_cast<int>(threshold(Limit::CalibrationMonths));
        const QDate& day = m_test.testDate;
        bool used = false;
        for (const Instrument& instrument : m_test.instruments)
            used = used || !instrument.type.trimmed().isEmpty();
        if (!used)
            return;
        auto record = [&](FindingStatus status, const QString& subject, const QString& text) {
            add(EvaluationRule::Calibration, status, 0, subject, text + u'.');
            if (status != FindingStatus::Pass) {
                m_out.recordComplete = false;
                m_out.recordReasons << text;
            }
        };
        if (!day.isValid()) {
            record(FindingStatus::NotEvaluated, QStringLiteral("Test"),
                   QStringLiteral("The test has no date to judge the calibrations by"));
            return;
        }
        const QDate earliest = day.addMonths(-months);
        for (const Instrument& instrument : m_test.instruments) {
            if (instrument.type.trimmed().isEmpty())
                continue;
            const QDate& cal = instrument.calibrated;
            const QString& name = instrument.name;
            if (!cal.isValid())
                record(FindingStatus::Fail, name,
                       QStringLiteral("%1 has no calibration date").arg(name));
            else if (cal > day)
                // Dated after the test: nothing shows the instrument was calibrated when used.
                record(FindingStatus::Fail, name,
                       QStringLiteral("%1 calibrated %2, after the test on %3")
                           .arg(name, isoDate(cal), isoDate(day)));
            else if (cal < earliest)
                record(FindingStatus::Fail, name,
                       QStringLiteral("%1 calibrated %2, more than %3 months before the test")
                           .arg(name, isoDate(cal), QString::number(months)));
            else
                record(FindingStatus::Pass, name,
                       QStringLiteral("%1 calibrated %2, within %3 months before the test")
                           .arg(name, isoDate(cal), QString::number(months)));
        }
    }

    void verdict() {
        const bool failed =
            std::any_of(m_out.findings.begin(), m_out.findings.end(), [](const Finding& f) {
                return f.status == FindingStatus::Fail && f.rule != EvaluationRule::Completeness &&
                       f.rule != EvaluationRule::Calibration;
            });
        m_out.verdict = failed                    ? TestVerdictKind::Fail
                        : m_out.missing.isEmpty() ? TestVerdictKind::Pass
                                                  : TestVerdictKind::Incomplete;
    }

    const PumpRatings& m_pump;
    const TestReadings& m_test;
    Evaluation& m_out;
    const TestCurve m_curve;
    QList<int> m_noSpeed;
    QList<int> m_churn;
    QString m_ratedMissing;
    QString m_peakMissing;
};

} // namespace

Evaluation evaluateTest(const PumpRatings& pump, const TestReadings& test) {
    Evaluation out;
    Judge(pump, test, out).run();
    return out;
}

} // namespace nerova
