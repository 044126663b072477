#include "eval/EvaluationText.h"

#include "eval/Thresholds.h"

#include <algorithm>
#include <cmath>

namespace nerova {

namespace {

// Fixed decimals with the thousands grouped by commas, whatever the desktop's locale, so the
// figures read alike on screen, on paper and in a spreadsheet: 1,002.5.
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

QString limit(Limit l) {
    return figureText(threshold(l));
}

} // namespace

double cutShare(double share) {
    // A hair of slack, so a share worked out in binary as 94.99999999 still reads 95.0.
    return std::floor(share * 10.0 + 1e-9 * std::max(1.0, std::fabs(share))) / 10.0;
}

QString shareDigits(double share) {
    const QString s = QString::number(cutShare(share), 'f', 1);
    return s == QStringLiteral("-0.0") ? QStringLiteral("0.0") : s;
}

QString shareText(double share) {
    return shareDigits(share) + QStringLiteral(" %");
}

QString figureText(double v) {
    QString s = grouped(v, 2);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s == QStringLiteral("-0") ? QStringLiteral("0") : s;
}

QString statusText(FindingStatus status) {
    switch (status) {
    case FindingStatus::Pass:
        return QStringLiteral("Pass");
    case FindingStatus::Fail:
        return QStringLiteral("Fail");
    case FindingStatus::NotEvaluated:
        break;
    }
    return QStringLiteral("Not evaluated");
}

QString verdictText(TestVerdictKind verdict) {
    switch (verdict) {
    case TestVerdictKind::Pass:
        return QStringLiteral("Pass");
    case TestVerdictKind::Fail:
        return QStringLiteral("Fail");
    case TestVerdictKind::Incomplete:
        return QStringLiteral("Incomplete");
    case TestVerdictKind::NotTested:
        break;
    }
    return QStringLiteral("Not tested");
}

QString ruleText(EvaluationRule rule) {
    switch (rule) {
    case EvaluationRule::Baseline:
        return QStringLiteral("Baseline curve");
    case EvaluationRule::RatedPoint:
        return QStringLiteral("Rated point");
    case EvaluationRule::PeakPressure:
        return QStringLiteral("Overload pressure");
    case EvaluationRule::Churn:
        return QStringLiteral("Churn pressure");
    case EvaluationRule::Volts:
        return QStringLiteral("Voltage");
    case EvaluationRule::Amps:
        return QStringLiteral("Current");
    case EvaluationRule::Completeness:
        return QStringLiteral("Test points");
    case EvaluationRule::Calibration:
        break;
    }
    return QStringLiteral("Calibration");
}

QString verdictSummary(const Evaluation& e) {
    const QString verdict = verdictText(e.verdict);
    if (e.verdict == TestVerdictKind::Fail) {
        const auto failed =
            std::count_if(e.findings.begin(), e.findings.end(), [](const Finding& f) {
                return f.status == FindingStatus::Fail && f.rule != EvaluationRule::Calibration &&
                       f.rule != EvaluationRule::Completeness;
            });
        return verdict + (failed == 1 ? QStringLiteral(" \u2014 1 finding failed")
                                      : QStringLiteral(" \u2014 %1 findings failed").arg(failed));
    }
    if (e.verdict == TestVerdictKind::Incomplete) {
        const qsizetype missing = e.missing.size();
        return verdict + (missing == 1 ? QStringLiteral(" \u2014 1 item missing")
                                       : QStringLiteral(" \u2014 %1 items missing").arg(missing));
    }
    return verdict;
}

QString testRecordText(const Evaluation& e) {
    if (e.verdict == TestVerdictKind::NotTested)
        return {};
    return e.recordComplete ? QStringLiteral("Test record: complete")
                            : QStringLiteral("Test record: incomplete");
}

QString testRecordLine(const Evaluation& e) {
    const QString text = testRecordText(e);
    if (e.recordReasons.isEmpty())
        return text;
    return text + QStringLiteral(" (") + e.recordReasons.join(QStringLiteral("; ")) + u')';
}

QString limitsHeading() {
    return QStringLiteral("Limits of the annual fire pump test practice (NFPA 25)");
}

QList<LimitLine> limitLines() {
    return {
        {QStringLiteral("Corrected net pressure at each flow point"),
         QStringLiteral("at least %1 % of the baseline at the same flow")
             .arg(limit(Limit::BaselineMinimumPercent))},
        {QStringLiteral("Corrected net pressure at %1 % of rated flow")
             .arg(limit(Limit::RatedFlowPercent)),
         QStringLiteral("at least %1 % of the baseline, read on the test's curve")
             .arg(limit(Limit::BaselineMinimumPercent))},
        {QStringLiteral("Corrected net pressure at %1 % of rated flow")
             .arg(limit(Limit::PeakFlowPercent)),
         QStringLiteral("at least %1 % of rated pressure, read on the test's curve")
             .arg(limit(Limit::PeakPressureMinimumPercent))},
        {QStringLiteral("Net pressure at churn (no flow)"),
         QStringLiteral("at most %1 % of rated pressure").arg(limit(Limit::ChurnMaximumPercent))},
        {QStringLiteral("Highest flow of the test"),
         QStringLiteral("at least %1 % of rated flow for the rated point and %2 % for the "
                        "overload point; short of %3 % or %4 % the test's curve is extended "
                        "from its last two points")
             .arg(limit(Limit::RatedFlowLowPercent), limit(Limit::PeakFlowLowPercent),
                  limit(Limit::RatedFlowPercent), limit(Limit::PeakFlowPercent))},
        {QStringLiteral("Baseline beyond its last point"),
         QStringLiteral("extended along its last segment up to %1 % of rated flow")
             .arg(limit(Limit::BaselineExtensionPercent))},
        {QStringLiteral("Voltage at each point"),
         QStringLiteral("from %1 % below to %2 % above the rated voltage")
             .arg(limit(Limit::VoltsBelowPercent), limit(Limit::VoltsAbovePercent))},
        {QStringLiteral("Current at each point"),
         QStringLiteral("at most the rated current times the service factor (%1 where none "
                        "is given)")
             .arg(limit(Limit::DefaultServiceFactor))},
        {QStringLiteral("Instrument calibration (test record)"),
         QStringLiteral("within %1 months before the test").arg(limit(Limit::CalibrationMonths))},
    };
}

} // namespace nerova
