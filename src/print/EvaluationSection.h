#pragma once

#include "eval/Evaluation.h"
#include "report/ReportDocument.h"

namespace nerova {

class TestReportFeed;

// What the reports print of a test's evaluation: the detail report a section of its own
// (the verdict, every finding of the pump with its arithmetic, the test record with its
// calibrations, and the limits it was judged by), the summary report the verdict with a line
// for each failed finding and the test-record line.
class EvaluationSection {
public:
    // The judgement of the feed's positioned test against its pump.
    static Evaluation evaluate(const TestReportFeed& feed);

    static ReportSection detail(const Evaluation& evaluation);
    static ReportSection summary(const Evaluation& evaluation);

    // "Baseline curve, Point 3": the rule and what it was checked on.
    static QString checkedText(const Finding& finding);
};

} // namespace nerova
