#pragma once

#include "eval/Evaluation.h"
#include "report/ReportDocument.h"

namespace nerova {

class TestReportFeed;

// What the reports print of a test's evaluation: the detail report a section of its own
// (the verdict, every finding with its arithmetic, and the limits it was judged by), the
// summary report the verdict alone.
class EvaluationSection {
public:
    // The judgement of the feed's positioned test against its pump.
    static Evaluation evaluate(const TestReportFeed& feed);

    static ReportSection detail(const Evaluation& evaluation);
    static ReportSection summary(const Evaluation& evaluation);

    // "Baseline curve", "Churn pressure", …: what a rule checks, in a few words.
    static QString ruleText(Rule rule);
};

} // namespace nerova
