#include "print/EvaluationSection.h"

#include "eval/EvaluationRows.h"
#include "eval/Thresholds.h"
#include "print/TestReportFeed.h"
#include "print/TestReportRulesFrame.h"
#include "report/ReportMetrics.h"

namespace nerova {

namespace {

// Findings and limits print in smaller type than the forms, so an arithmetic line mostly
// fits on one line of the page.
constexpr double kPointSize = 10.0;
constexpr double kCheckedX = 22.0;
constexpr double kTextX = 70.0;
constexpr double kValueRight = 84.0;
constexpr double kMeaningX = 88.0;

ReportRow textRow(double pointSize = kPointSize) {
    ReportRow row;
    row.height = ReportMetrics::lineHeight(ReportFont::arial(pointSize));
    return row;
}

QString limitValue(double value) {
    return QString::number(value, 'g', 12);
}

} // namespace

Evaluation EvaluationSection::evaluate(const TestReportFeed& feed) {
    return evaluateCurrentTest(feed.pump(), feed.test());
}

QString EvaluationSection::ruleText(Rule rule) {
    switch (rule) {
    case Rule::Baseline:
        return QStringLiteral("Baseline curve");
    case Rule::PeakPressure:
        return QStringLiteral("Overload pressure");
    case Rule::Churn:
        return QStringLiteral("Churn pressure");
    case Rule::Volts:
        return QStringLiteral("Voltage");
    case Rule::Amps:
        return QStringLiteral("Current");
    case Rule::Calibration:
        return QStringLiteral("Calibration");
    case Rule::Completeness:
        return QStringLiteral("Test points");
    }
    return {};
}

ReportSection EvaluationSection::detail(const Evaluation& evaluation) {
    const ReportFont regular = ReportFont::arial(kPointSize);
    const ReportFont bold = ReportFont::arial(kPointSize, true);
    const double width = ReportPageSetup().bodyWidth();
    ReportSection s = TestReportRulesFrame::section(QStringLiteral("Evaluation"), true,
                                                    ReportSection::Keep::HeadingWithFirstRow);

    ReportRow verdict;
    verdict.add(ReportItem::caption(0, 0, QStringLiteral("Verdict:  ")));
    verdict.add(ReportItem::field(0, 0, verdictText(evaluation.verdict)));
    verdict.items.last().followsPrevious = true;
    s.rows << verdict;

    for (const Finding& f : evaluation.findings) {
        ReportRow row = textRow();
        row.add(ReportItem::field(0, 0, statusText(f.status), Qt::AlignLeft, bold));
        const QString checked = f.subject.isEmpty() || f.subject == QLatin1String("Test")
                                    ? ruleText(f.rule)
                                    : ruleText(f.rule) + QStringLiteral(", ") + f.subject;
        row.add(ReportItem::memo(kCheckedX, kTextX - kCheckedX - 2, checked, regular));
        row.add(ReportItem::memo(kTextX, width - kTextX, f.text, regular));
        s.rows << row;
    }

    ReportRow limits = textRow(12.0);
    limits.add(ReportItem::caption(0, 0, QStringLiteral("Limits used:")));
    s.rows << limits;
    for (const Threshold& t : kThresholds) {
        ReportRow row = textRow();
        row.add(ReportItem::caption(0, 0, QString::fromLatin1(t.name), Qt::AlignLeft, regular));
        row.add(ReportItem::field(kTextX, kValueRight - kTextX, limitValue(t.value), Qt::AlignRight,
                                  bold));
        row.add(ReportItem::memo(kMeaningX, width - kMeaningX, QString::fromLatin1(t.meaning),
                                 regular));
        s.rows << row;
    }
    return s;
}

ReportSection EvaluationSection::summary(const Evaluation& evaluation) {
    ReportSection s;
    s.spaceBefore = TestReportRulesFrame::kSectionGap;
    ReportRow row;
    row.add(ReportItem::caption(0, 0, QStringLiteral("Evaluation:  ")));
    row.add(ReportItem::field(0, 0, verdictText(evaluation.verdict)));
    row.items.last().followsPrevious = true;
    s.rows << row;
    return s;
}

} // namespace nerova
