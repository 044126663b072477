#include "eval/Evaluation.h"

#include "eval/Thresholds.h"

#include <QStringList>
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

// Fixed decimals with the thousands grouped by commas, whatever the desktop's locale, so the
// figures read like the rest of the program's texts: 1,002.5.
QString grouped(double v, int decimals) {
    QString s = QString::number(v, 'f', decimals);
    const qsizetype sign = s.startsWith(u'-') ? 1 : 0;
    qsizetype point = s.indexOf(u'.');
    if (point < 0)
        point = s.size();
    for (qsizetype at = point - 3; at > sign; at -= 3)
        s.insert(at, u',');
    return s;
}

// Up to two decimals, trailing zeros dropped: 1,002 / 99.87 / 67.5.
QString num(double v) {
    QString s = grouped(v, 2);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s == QStringLiteral("-0") ? QStringLiteral("0") : s;
}

// A share to one decimal, cut rather than rounded, so a share that fails its limit never
// reads as the limit itself (94.96 % shows as 94.9 %, not 95.0 %).
QString percent(double v) {
    const double tenths = std::floor(v * 10.0 + slack(v * 10.0));
    return grouped(tenths / 10.0, 1) + QStringLiteral(" %");
}

QString limitPercent(Limit limit) {
    return num(threshold(limit)) + QStringLiteral(" %");
}

QString isoDate(const QDate& d) {
    return d.toString(Qt::ISODate);
}

bool isFlowing(const TestPoint& p) {
    return p.netPressure != 0;
}

double shareOfRatedFlow(const PumpRatings& pump, const TestPoint& p) {
    return pump.ratedFlow > 0 ? p.correctedFlow / pump.ratedFlow * 100.0 : 0.0;
}

bool inWindow(double share, Limit low, Limit high) {
    return atLeast(share, threshold(low)) && atMost(share, threshold(high));
}

// The point whose share of rated flow lies in the window and nearest its aim; 0 for none.
int nearestPoint(const PumpRatings& pump, const TestReadings& test, Limit aim, Limit low,
                 Limit high) {
    if (!(pump.ratedFlow > 0))
        return 0;
    int best = 0;
    double bestDistance = 0;
    for (int i = 0; i < static_cast<int>(test.points.size()); ++i) {
        const TestPoint& p = test.points[static_cast<std::size_t>(i)];
        if (!isFlowing(p) || p.flow == 0)
            continue;
        const double share = shareOfRatedFlow(pump, p);
        if (!inWindow(share, low, high))
            continue;
        const double distance = std::fabs(share - threshold(aim));
        if (best == 0 || distance < bestDistance) {
            best = i + 1;
            bestDistance = distance;
        }
    }
    return best;
}

QString pointName(int point) {
    return QStringLiteral("Point %1").arg(point);
}

class Judge {
public:
    Judge(const PumpRatings& pump, const TestReadings& test, Evaluation& out)
        : m_pump(pump), m_test(test), m_out(out) {}

    void run() {
        m_out.baseline = pumpBaseline(m_pump.factory, m_pump.churnPressure, m_pump.ratedFlow,
                                      m_pump.ratedPressure, m_pump.peakFlow, m_pump.peakPressure);
        m_churn = 0;
        for (int i = 1; i <= static_cast<int>(m_test.points.size()); ++i) {
            if (m_churn == 0 && isFlowing(at(i)) && at(i).flow == 0)
                m_churn = i;
        }
        m_rated = nearestPoint(m_pump, m_test, Limit::RatedFlowPercent, Limit::RatedFlowLowPercent,
                               Limit::RatedFlowHighPercent);
        m_peak = nearestPoint(m_pump, m_test, Limit::PeakFlowPercent, Limit::PeakFlowLowPercent,
                              Limit::PeakFlowHighPercent);
        baselineRule();
        peakRule();
        churnRule();
        if (m_pump.electricDriver) {
            voltsRule();
            ampsRule();
        }
        calibrationRule();
        completenessRule();
        verdict();
        m_out.churnPoint = m_churn;
        m_out.ratedPoint = m_rated;
        m_out.peakPoint = m_peak;
    }

private:
    const TestPoint& at(int point) const {
        return m_test.points[static_cast<std::size_t>(point - 1)];
    }

    void add(Rule rule, Status status, int point, const QString& subject, const QString& text) {
        m_out.findings.append(Finding{rule, status, point, subject, text});
    }

    void baselineRule() {
        const Baseline& curve = m_out.baseline;
        const double minimum = threshold(Limit::BaselineMinimumPercent);
        for (int i = 1; i <= static_cast<int>(m_test.points.size()); ++i) {
            const TestPoint& p = at(i);
            if (!isFlowing(p))
                continue;
            PointResult result{i, p.correctedFlow, shareOfRatedFlow(m_pump, p), std::nullopt};
            const QString subject = pointName(i);
            if (!curve.isValid()) {
                add(Rule::Baseline, Status::NotEvaluated, i, subject,
                    QStringLiteral("The pump has no baseline curve."));
            } else if (!(p.correctedNetPressure > 0)) {
                add(Rule::Baseline, Status::NotEvaluated, i, subject,
                    QStringLiteral("No corrected net pressure (no speed recorded)."));
            } else if (p.correctedFlow > curve.points().back().flow) {
                add(Rule::Baseline, Status::NotEvaluated, i, subject,
                    QStringLiteral("%1 gpm is beyond the baseline's last point (%2 gpm).")
                        .arg(num(p.correctedFlow), num(curve.points().back().flow)));
            } else if (p.correctedFlow < curve.points().front().flow) {
                add(Rule::Baseline, Status::NotEvaluated, i, subject,
                    QStringLiteral("%1 gpm is below the baseline's first point (%2 gpm).")
                        .arg(num(p.correctedFlow), num(curve.points().front().flow)));
            } else {
                const double base = *curve.pressureAt(p.correctedFlow);
                const double limit = base * minimum / 100.0;
                const double share = p.correctedNetPressure / base * 100.0;
                result.percentOfBaseline = share;
                add(Rule::Baseline,
                    atLeast(p.correctedNetPressure, limit) ? Status::Pass : Status::Fail, i,
                    subject,
                    QStringLiteral("%1 psi at %2 gpm; baseline %3 psi, %4 = %5 psi; %6 of "
                                   "baseline.")
                        .arg(num(p.correctedNetPressure), num(p.correctedFlow), num(base),
                             limitPercent(Limit::BaselineMinimumPercent), num(limit),
                             percent(share)));
            }
            m_out.points.append(result);
        }
    }

    // Why a rule against rated pressure cannot be judged; empty when it can.
    QString missingRatings() const {
        if (!(m_pump.ratedFlow > 0))
            return QStringLiteral("The pump has no rated flow.");
        if (!(m_pump.ratedPressure > 0))
            return QStringLiteral("The pump has no rated pressure.");
        return {};
    }

    void peakRule() {
        const QString subject = m_peak ? pointName(m_peak) : QStringLiteral("Test");
        if (const QString why = missingRatings(); !why.isEmpty()) {
            add(Rule::PeakPressure, Status::NotEvaluated, m_peak, subject, why);
            return;
        }
        if (m_peak == 0) {
            add(Rule::PeakPressure, Status::NotEvaluated, 0, subject,
                QStringLiteral("No point at %1–%2 of rated flow.")
                    .arg(num(threshold(Limit::PeakFlowLowPercent)),
                         limitPercent(Limit::PeakFlowHighPercent)));
            return;
        }
        const TestPoint& p = at(m_peak);
        if (!(p.correctedNetPressure > 0)) {
            add(Rule::PeakPressure, Status::NotEvaluated, m_peak, subject,
                QStringLiteral("No corrected net pressure (no speed recorded)."));
            return;
        }
        const double limit =
            m_pump.ratedPressure * threshold(Limit::PeakPressureMinimumPercent) / 100.0;
        add(Rule::PeakPressure,
            atLeast(p.correctedNetPressure, limit) ? Status::Pass : Status::Fail, m_peak, subject,
            QStringLiteral("%1 psi at %2 gpm (%3 of rated flow); %4 of %5 psi = %6 psi.")
                .arg(num(p.correctedNetPressure), num(p.correctedFlow),
                     percent(shareOfRatedFlow(m_pump, p)),
                     limitPercent(Limit::PeakPressureMinimumPercent), num(m_pump.ratedPressure),
                     num(limit)));
    }

    void churnRule() {
        const QString subject = m_churn ? pointName(m_churn) : QStringLiteral("Test");
        if (!(m_pump.ratedPressure > 0)) {
            add(Rule::Churn, Status::NotEvaluated, m_churn, subject,
                QStringLiteral("The pump has no rated pressure."));
            return;
        }
        if (m_churn == 0) {
            add(Rule::Churn, Status::NotEvaluated, 0, subject,
                QStringLiteral("No churn point (a point at no flow)."));
            return;
        }
        const double pressure = at(m_churn).netPressure;
        const double limit = m_pump.ratedPressure * threshold(Limit::ChurnMaximumPercent) / 100.0;
        add(Rule::Churn, atMost(pressure, limit) ? Status::Pass : Status::Fail, m_churn, subject,
            QStringLiteral("%1 psi at no flow; at most %2 of %3 psi = %4 psi.")
                .arg(num(pressure), limitPercent(Limit::ChurnMaximumPercent),
                     num(m_pump.ratedPressure), num(limit)));
    }

    // The non-zero readings of one phase set, as "437, 440 V".
    static QString readings(const std::array<double, 3>& values, const char* unit) {
        QStringList parts;
        for (double v : values)
            if (v != 0)
                parts << num(v);
        return parts.join(QStringLiteral(", ")) + u' ' + QLatin1String(unit);
    }

    static bool anyReading(const std::array<double, 3>& values) {
        return std::any_of(values.begin(), values.end(), [](double v) { return v != 0; });
    }

    // Judges one kind of electric reading on every flowing point.
    template <typename Pick, typename Within>
    void electricRule(Rule rule, const char* unit, double rated, const QString& noRating,
                      const QString& allowed, Pick pick, Within within) {
        bool any = false;
        for (int i = 1; i <= static_cast<int>(m_test.points.size()); ++i) {
            const TestPoint& p = at(i);
            const std::array<double, 3>& values = pick(p);
            if (!isFlowing(p) || !anyReading(values))
                continue;
            any = true;
            if (!(rated > 0)) {
                add(rule, Status::NotEvaluated, 0, QStringLiteral("Test"), noRating);
                return;
            }
            const bool ok = std::all_of(values.begin(), values.end(),
                                        [&](double v) { return v == 0 || within(v); });
            add(rule, ok ? Status::Pass : Status::Fail, i, pointName(i),
                readings(values, unit) + QStringLiteral("; ") + allowed + u'.');
        }
        if (!any)
            add(rule, Status::NotEvaluated, 0, QStringLiteral("Test"),
                QStringLiteral("No %1 readings at the flowing points.")
                    .arg(QLatin1String(rule == Rule::Volts ? "voltage" : "current")));
    }

    void voltsRule() {
        const double rated = m_pump.ratedVolts;
        const double low = rated * (100.0 - threshold(Limit::VoltsBelowPercent)) / 100.0;
        const double high = rated * (100.0 + threshold(Limit::VoltsAbovePercent)) / 100.0;
        electricRule(
            Rule::Volts, "V", rated, QStringLiteral("The driver has no rated voltage."),
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
            Rule::Amps, "A", m_pump.ratedAmps, QStringLiteral("The driver has no rated current."),
            QStringLiteral("at most %1 A × %2 = %3 A")
                .arg(num(m_pump.ratedAmps), num(factor), num(limit)),
            [](const TestPoint& p) -> const std::array<double, 3>& { return p.amps; },
            [&](double a) { return atMost(a, limit); });
    }

    void calibrationRule() {
        const int months = static_cast<int>(threshold(Limit::CalibrationMonths));
        for (const Instrument& instrument : m_test.instruments) {
            if (instrument.type.trimmed().isEmpty())
                continue;
            const QDate& cal = instrument.calibrated;
            const QDate& day = m_test.testDate;
            if (!cal.isValid()) {
                add(Rule::Calibration, Status::Fail, 0, instrument.name,
                    QStringLiteral("No calibration date given."));
            } else if (!day.isValid()) {
                add(Rule::Calibration, Status::NotEvaluated, 0, instrument.name,
                    QStringLiteral("The test has no date."));
            } else if (cal > day) {
                // Dated after the test: nothing shows the instrument was calibrated when used.
                add(Rule::Calibration, Status::Fail, 0, instrument.name,
                    QStringLiteral("Calibrated %1, after the test on %2.")
                        .arg(isoDate(cal), isoDate(day)));
            } else {
                const QDate earliest = day.addMonths(-months);
                add(Rule::Calibration, cal >= earliest ? Status::Pass : Status::Fail, 0,
                    instrument.name,
                    QStringLiteral("Calibrated %1; the test on %2 allows %3 months, back to %4.")
                        .arg(isoDate(cal), isoDate(day), QString::number(months),
                             isoDate(earliest)));
            }
        }
    }

    void completenessRule() {
        QStringList missing;
        if (m_churn == 0)
            missing << QStringLiteral("a churn point");
        if (m_rated == 0)
            missing << QStringLiteral("a point at %1–%2 of rated flow")
                           .arg(num(threshold(Limit::RatedFlowLowPercent)),
                                limitPercent(Limit::RatedFlowHighPercent));
        if (m_peak == 0)
            missing << QStringLiteral("a point at %1–%2 of rated flow")
                           .arg(num(threshold(Limit::PeakFlowLowPercent)),
                                limitPercent(Limit::PeakFlowHighPercent));
        if (missing.isEmpty())
            add(Rule::Completeness, Status::Pass, 0, QStringLiteral("Test"),
                QStringLiteral("Churn, rated and overload points recorded (points %1, %2, %3).")
                    .arg(m_churn)
                    .arg(m_rated)
                    .arg(m_peak));
        else
            add(Rule::Completeness, Status::Fail, 0, QStringLiteral("Test"),
                QStringLiteral("Missing %1%2.")
                    .arg(missing.join(QStringLiteral(", ")),
                         m_pump.ratedFlow > 0 ? QString()
                                              : QStringLiteral(" (the pump has no rated flow)")));
    }

    void verdict() {
        bool failed = false;
        bool complete = m_out.baseline.isValid();
        for (const Finding& f : std::as_const(m_out.findings)) {
            if (f.status != Status::Fail)
                continue;
            if (f.rule == Rule::Completeness)
                complete = false;
            else
                failed = true;
        }
        m_out.verdict = failed ? Verdict::Fail : complete ? Verdict::Pass : Verdict::Incomplete;
    }

    const PumpRatings& m_pump;
    const TestReadings& m_test;
    Evaluation& m_out;
    int m_churn = 0;
    int m_rated = 0;
    int m_peak = 0;
};

} // namespace

Evaluation evaluateTest(const PumpRatings& pump, const TestReadings& test) {
    Evaluation out;
    Judge(pump, test, out).run();
    return out;
}

QString statusText(Status status) {
    switch (status) {
    case Status::Pass:
        return QStringLiteral("Pass");
    case Status::Fail:
        return QStringLiteral("Fail");
    case Status::NotEvaluated:
        break;
    }
    return QStringLiteral("Not evaluated");
}

QString verdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Pass:
        return QStringLiteral("Pass");
    case Verdict::Fail:
        return QStringLiteral("Fail");
    case Verdict::Incomplete:
        break;
    }
    return QStringLiteral("Incomplete");
}

} // namespace nerova
