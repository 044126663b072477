#pragma once

#include "eval/Evaluation.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

namespace nerova {

class Database;
class Table;

// One test of a pump as its history lists it. Shares are percent of the baseline curve.
struct HistoryRow {
    QDate testDate; // invalid when the test has none
    QString testId;
    std::optional<double> atRatedFlow; // the test's curve read at 100 % of rated flow
    std::optional<double> atPeakFlow;  // and at 150 %
    std::optional<double> lowest;      // the lowest over every point judged against the curve
    TestVerdictKind verdict = TestVerdictKind::NotTested;
    // "Test record: complete" or "Test record: incomplete (reasons)"; empty when not tested.
    QString testRecord;
    // Percentage points of atRatedFlow since the test listed before, as the two shares read
    // (cut to one decimal); none when either test lacks that figure.
    std::optional<double> change;
};

// Every test in date order, undated tests last, tests of the same date by identifier.
QList<HistoryRow> pumpHistory(const PumpRatings& pump, std::vector<TestReadings> tests);

// Every test of one pump as stored. Throws EngineError when the tables cannot be read.
QList<HistoryRow> pumpHistory(Database& db, const QString& companyId, const QString& locationId,
                              const QString& pumpId);

// The history of the pump cursor's current row (empty when it has none).
QList<HistoryRow> pumpHistory(const Table& pump);

} // namespace nerova
