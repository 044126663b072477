#include "eval/TestVerdict.h"

#include "eval/EvaluationRows.h"
#include "eval/EvaluationText.h"

namespace nerova {

TestVerdict testVerdict(const Evaluation& e) {
    return {e.verdict, verdictText(e.verdict), verdictSummary(e), testRecordText(e),
            e.recordReasons};
}

TestVerdict testVerdict(const QVariantList& pumpValues, const QVariantList& testValues) {
    return testVerdict(evaluateTest(pumpRatingsFrom(pumpValues), testReadingsFrom(testValues)));
}

TestVerdict testVerdict(const Table& pump, const Table& test) {
    return testVerdict(evaluateCurrentTest(pump, test));
}

} // namespace nerova
