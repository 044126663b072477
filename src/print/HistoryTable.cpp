#include "print/HistoryTable.h"

#include "eval/EvaluationText.h"
#include "eval/HistoryCsv.h"
#include "print/TestReportRulesFormat.h"

namespace nerova {

namespace {

QString share(const std::optional<double>& value) {
    return value ? shareText(*value) : QString();
}

} // namespace

QStringList HistoryTable::headers() {
    return {QStringLiteral("Date"),     QStringLiteral("Test ID"),    QStringLiteral("At 100 %"),
            QStringLiteral("At 150 %"), QStringLiteral("Lowest"),     QStringLiteral("Change"),
            QStringLiteral("Verdict"),  QStringLiteral("Test Record")};
}

QStringList HistoryTable::cells(const HistoryRow& row) {
    return {row.testDate.isValid() ? TestReportRulesFormat::date(row.testDate) : QString(),
            row.testId,
            share(row.atRatedFlow),
            share(row.atPeakFlow),
            share(row.lowest),
            row.change ? historyChangeText(*row.change) : QString(),
            verdictText(row.verdict),
            row.testRecord};
}

} // namespace nerova
