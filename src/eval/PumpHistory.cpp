#include "eval/PumpHistory.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Statement.h"
#include "data/Table.h"
#include "eval/EvaluationRows.h"

#include <algorithm>

namespace nerova {

namespace {

std::optional<double> shareAt(const Evaluation& e, int point) {
    for (const PointResult& r : e.points)
        if (r.point == point)
            return r.percentOfBaseline;
    return std::nullopt;
}

// Keeps a table file attached while the history reads it, whatever a cursor does meanwhile.
class Attached {
public:
    Attached(Database& db, TableId id) : m_db(db), m_id(id) { m_db.acquire(m_id); }
    ~Attached() { m_db.release(m_id); }
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;

private:
    Database& m_db;
    TableId m_id;
};

QString selectColumns(const QStringList& columns) {
    QStringList quoted;
    quoted.reserve(columns.size());
    for (const QString& c : columns)
        quoted << quoteIdent(c);
    return quoted.join(QStringLiteral(", "));
}

QVariantList rowValues(Statement& st, int count) {
    QVariantList values;
    values.reserve(count);
    for (int i = 0; i < count; ++i)
        values << (st.isNull(i) ? QVariant() : st.raw(i));
    return values;
}

QList<HistoryRow> testsOfPump(Database& db, const PumpRatings& pump, const QString& companyId,
                              const QString& locationId, const QString& pumpId) {
    Attached attached(db, TableId::Test);
    const QStringList& columns = testReadingColumns();
    Statement& st = db.statement(
        QStringLiteral("SELECT %1 FROM %2 WHERE \"CompanyID\" = ? AND \"LocationID\" = ? AND "
                       "\"PumpID\" = ?")
            .arg(selectColumns(columns), db.qualifiedName(TableId::Test)));
    st.bindAll({companyId, locationId, pumpId});
    std::vector<TestReadings> tests;
    while (st.step())
        tests.push_back(testReadingsFrom(rowValues(st, static_cast<int>(columns.size()))));
    st.reset();
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
        if (e.ratedPoint)
            row.atRatedFlow = shareAt(e, e.ratedPoint);
        if (e.peakPoint)
            row.atPeakFlow = shareAt(e, e.peakPoint);
        for (const PointResult& r : e.points)
            if (r.percentOfBaseline && (!row.lowest || *r.percentOfBaseline < *row.lowest))
                row.lowest = r.percentOfBaseline;
        if (!rows.isEmpty() && rows.constLast().atRatedFlow && row.atRatedFlow)
            row.change = *row.atRatedFlow - *rows.constLast().atRatedFlow;
        rows.append(row);
    }
    return rows;
}

QList<HistoryRow> pumpHistory(Database& db, const QString& companyId, const QString& locationId,
                              const QString& pumpId) {
    // Both files stay attached throughout, rather than being attached and detached in turn.
    Attached testFile(db, TableId::Test);
    PumpRatings pump;
    {
        Attached pumpFile(db, TableId::Pump);
        const QStringList& columns = pumpRatingColumns();
        Statement& st = db.statement(
            QStringLiteral("SELECT %1 FROM %2 WHERE \"CompanyID\" = ? AND \"LocationID\" = ? AND "
                           "\"PumpID\" = ?")
                .arg(selectColumns(columns), db.qualifiedName(TableId::Pump)));
        st.bindAll({companyId, locationId, pumpId});
        if (!st.step())
            return {};
        pump = pumpRatingsFrom(rowValues(st, static_cast<int>(columns.size())));
        st.reset();
    }
    return testsOfPump(db, pump, companyId, locationId, pumpId);
}

QList<HistoryRow> pumpHistory(const Table& pump) {
    if (!pump.isOpen() || pump.recNo() == 0)
        return {};
    // The nameplate as the cursor shows it, so figures being edited count at once.
    return testsOfPump(pump.database(), pumpRatingsFrom(pump), pump.asString("CompanyID"),
                       pump.asString("LocationID"), pump.asString("PumpID"));
}

} // namespace nerova
