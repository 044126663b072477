#include "print/EvaluationSection.h"

#include "eval/EvaluationRows.h"
#include "eval/EvaluationText.h"
#include "print/TestReportFeed.h"
#include "print/TestReportRulesFrame.h"
#include "report/ReportMetrics.h"

namespace nerova {

namespace {

// Findings and limits print in smaller type than the forms, so an arithmetic line mostly
// fits on one line of the page. Every column wraps inside its own width.
constexpr double kPointSize = 10.0;
constexpr double kCheckedX = 22.0;
constexpr double kTextX = 70.0;
constexpr double kGutter = 2.0;

ReportRow textRow(double pointSize = kPointSize) {
    ReportRow row;
    row.height = ReportMetrics::lineHeight(ReportFont::arial(pointSize));
    return row;
}

ReportRow findingRow(const Finding& f, double width) {
    const ReportFont regular = ReportFont::arial(kPointSize);
    ReportRow row = textRow();
    row.add(ReportItem::memo(0, kCheckedX - kGutter, statusText(f.status),
                             ReportFont::arial(kPointSize, true)));
    row.add(ReportItem::memo(kCheckedX, kTextX - kCheckedX - kGutter,
                             EvaluationSection::checkedText(f), regular));
    row.add(ReportItem::memo(kTextX, width - kTextX, f.text, regular));
    return row;
}

// A line in 12 point: a caption and its value in bold after it.
ReportRow captionRow(const QString& caption, const QString& value) {
    ReportRow row;
    row.add(ReportItem::caption(0, 0, caption));
    row.add(ReportItem::field(0, 0, value));
    row.items.last().followsPrevious = true;
    return row;
}

ReportRow subheading(const QString& text) {
    ReportRow row = textRow(12.0);
    row.height += 1.5;
    row.add(ReportItem::caption(0, 0, text, Qt::AlignLeft, ReportFont::arial(12, true)));
    row.keepWithNext = true;
    return row;
}

} // namespace

Evaluation EvaluationSection::evaluate(const TestReportFeed& feed) {
    return evaluateCurrentTest(feed.pump(), feed.test());
}

QString EvaluationSection::checkedText(const Finding& f) {
    return f.subject.isEmpty() || f.subject == QLatin1String("Test")
               ? ruleText(f.rule)
               : ruleText(f.rule) + QStringLiteral(", ") + f.subject;
}

ReportSection EvaluationSection::detail(const Evaluation& evaluation) {
    const double width = ReportPageSetup().bodyWidth();
    // Verdict, findings and limits on one page whenever they fit on one.
    ReportSection s = TestReportRulesFrame::section(QStringLiteral("Evaluation"), true,
                                                    ReportSection::Keep::Whole);
    s.rows << captionRow(QStringLiteral("Verdict:  "), verdictSummary(evaluation));
    for (const Finding& f : evaluation.findings)
        if (f.rule != EvaluationRule::Calibration)
            s.rows << findingRow(f, width);

    const QString record = testRecordText(evaluation);
    if (!record.isEmpty()) {
        ReportRow gap = textRow();
        s.rows << gap;
        s.rows << captionRow(QString(), record);
        for (const Finding& f : evaluation.findings)
            if (f.rule == EvaluationRule::Calibration)
                s.rows << findingRow(f, width);
    }

    ReportRow gap = textRow();
    s.rows << gap;
    s.rows << subheading(limitsHeading());
    const ReportFont regular = ReportFont::arial(kPointSize);
    for (const LimitLine& line : limitLines()) {
        ReportRow row = textRow();
        row.add(ReportItem::memo(0, kTextX - kGutter, line.subject, regular));
        row.add(ReportItem::memo(kTextX, width - kTextX, line.limit,
                                 ReportFont::arial(kPointSize, true)));
        s.rows << row;
    }
    return s;
}

ReportSection EvaluationSection::summary(const Evaluation& evaluation) {
    const double width = ReportPageSetup().bodyWidth();
    ReportSection s;
    s.spaceBefore = TestReportRulesFrame::kSectionGap;
    ReportRow verdict = captionRow(QStringLiteral("Evaluation:  "), verdictSummary(evaluation));
    s.rows << verdict;
    const ReportFont regular = ReportFont::arial(kPointSize);
    for (const Finding& f : evaluation.findings) {
        if (f.status != FindingStatus::Fail || f.rule == EvaluationRule::Calibration)
            continue;
        ReportRow row = textRow();
        row.add(
            ReportItem::memo(0, width, checkedText(f) + QStringLiteral(": ") + f.text, regular));
        s.rows << row;
    }
    const QString record = testRecordLine(evaluation);
    if (!record.isEmpty()) {
        ReportRow row = textRow();
        row.add(ReportItem::memo(0, width, record, ReportFont::arial(kPointSize, true)));
        s.rows << row;
    }
    return s;
}

} // namespace nerova
