#include "eval/PumpHistory.h"

#include "data/KeyRows.h"
#include "data/Table.h"
#include "eval/EvaluationRows.h"
#include "eval/EvaluationText.h"

#include <algorithm>

namespace nerova {

namespace {

QList<HistoryRow> testsOfPump(Database& db, const PumpRatings& pump, const QString& companyId,
                              const QString& locationId, const QString& pumpId) {
    std::vector<TestReadings> tests;
    for (const QVariantList& values :
         rowsByKey(db, TableId::Test, testReadingColumns(), {companyId, locationId, pumpId}))
        tests.push_back(testReadingsFrom(values));
    return pumpHistory(pump, std::move(tests));
}

} // namespace

QList<HistoryRow> pumpHistory(const PumpRatings& pump, std::vector<TestReadings> tests) {
    std::stable_sort(tests.begin(), tests.end(), [](const TestReadings& a, const TestReadings& b) {
        if (a.testDate.isValid() != b.testDate.isValid())
            return a.testDate.isValid();
        if (a.testDate != b.testDate)
            return a.testDate < b.testDate;
        return a.testId < b.testId;
    });
    QList<HistoryRow> rows;
    rows.reserve(static_cast<qsizetype>(tests.size()));
    for (const TestReadings& test : tests) {
        const Evaluation e = evaluateTest(pump, test);
        HistoryRow row;
        row.testDate = test.testDate;
        row.testId = test.testId;
        row.verdict = e.verdict;
        row.testRecord = testRecordLine(e);
        row.atRatedFlow = e.ratedShare;
        row.atPeakFlow = e.peakShare;
        for (const PointResult& r : e.points)
            if (r.percentOfBaseline && (!row.lowest || *r.percentOfBaseline < *row.lowest))
                row.lowest = r.percentOfBaseline;
        // The change between the figures as printed, so the column never disagrees with
        // the two shares beside it.
        if (!rows.isEmpty() && rows.constLast().atRatedFlow && row.atRatedFlow)
            row.change = cutShare(*row.atRatedFlow) - cutShare(*rows.constLast().atRatedFlow);
        rows.append(row);
    }
    return rows;
}

QList<HistoryRow> pumpHistory(Database& db, const QString& companyId, const QString& locationId,
                              const QString& pumpId) {
    const std::vector<QVariantList> pumps =
        rowsByKey(db, TableId::Pump, pumpRatingColumns(), {companyId, locationId, pumpId});
    if (pumps.empty())
        return {};
    return testsOfPump(db, pumpRatingsFrom(pumps.front()), companyId, locationId, pumpId);
}

QList<HistoryRow> pumpHistory(const Table& pump) {
    if (!pump.isOpen() || pump.recNo() == 0)
        return {};
    // The nameplate as the cursor shows it, so figures being edited count at once.
    return testsOfPump(pump.database(), pumpRatingsFrom(pump), pump.asString("CompanyID"),
                       pump.asString("LocationID"), pump.asString("PumpID"));
}

} // namespace nerova
