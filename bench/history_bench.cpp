// A pump's history on the large database: every one of the 50 tests of one pump judged
// against its baseline, in date order, with the change since the previous test; and the
// judgement of a single test on readings at hand.

#include "BenchSupport.h"

#include "data/TableChain.h"
#include "eval/EvaluationRows.h"
#include "eval/PumpHistory.h"

using namespace nerova;
using namespace nerova::bench;

namespace {

void BM_History(benchmark::State& state) {
    if (!requireDb(state))
        return;
    Database db(registryPath(), dataDir());
    TableChain chain(db);
    chain.open(TableId::Flow);
    if (!gotoFiftyPump(chain)) {
        state.SkipWithError("the pump with 50 tests is missing");
        return;
    }
    qsizetype rows = 0;
    for (auto _ : state)
        rows = pumpHistory(chain.pump).size();
    state.counters["tests"] = static_cast<double>(rows);
    chain.close();
}
BENCHMARK(BM_History)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Plain SQL: the pump's row and the same columns of its tests in date order, every value
// read out.
void BM_History_anchor(benchmark::State& state) {
    if (!requireDb(state))
        return;
    RawConnection conn;
    auto columns = [](const QStringList& names) {
        QStringList quoted;
        for (const QString& n : names)
            quoted << QStringLiteral("\"%1\"").arg(n);
        return quoted.join(QStringLiteral(", ")).toStdString();
    };
    RawStatement pump(conn.handle(), "SELECT " + columns(pumpRatingColumns()) + " FROM " +
                                         qualified(TableId::Pump) + " WHERE " +
                                         keyWhere(TableId::Pump, 3));
    RawStatement tests(conn.handle(), "SELECT " + columns(testReadingColumns()) + " FROM " +
                                          qualified(TableId::Test) + " WHERE " +
                                          keyWhere(TableId::Test, 3) +
                                          " ORDER BY \"Test Date\", \"TestID\"");
    const std::string key[] = {kFiftyCompany, kFiftyLocation, kFiftyPump};
    std::size_t sum = 0;
    for (auto _ : state) {
        for (RawStatement* st : {&pump, &tests}) {
            st->reset();
            for (int i = 0; i < 3; ++i)
                st->bind(i + 1, key[i]);
            while (st->step())
                sum += st->readRow();
        }
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_History_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// One test judged: the pure function on readings already read, every rule applying.
void BM_Evaluate(benchmark::State& state) {
    PumpRatings pump;
    pump.churnPressure = 115;
    pump.ratedFlow = 1000;
    pump.ratedPressure = 100;
    pump.peakFlow = 1500;
    pump.peakPressure = 67.5;
    pump.ratedVolts = 460;
    pump.ratedAmps = 52;
    pump.serviceFactor = 1.15;
    pump.ratedSpeed = 1780;
    TestReadings test;
    test.testDate = QDate(2026, 5, 14);
    for (Instrument& in : test.instruments) {
        in.name = QStringLiteral("Gauge");
        in.type = QStringLiteral("Digital");
        in.calibrated = QDate(2026, 1, 5);
    }
    for (int i = 0; i < 8; ++i) {
        TestPoint& p = test.points[static_cast<std::size_t>(i)];
        p.flow = p.correctedFlow = 250.0 * i;
        p.speed = 1780;
        p.dischargePressure = 135.0 - 6.0 * i;
        p.netPressure = p.correctedNetPressure = 115.0 - 6.0 * i;
        p.volts = {460, 458, 461};
        p.amps = {40.0 + i, 41.0 + i, 40.5 + i};
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(evaluateTest(pump, test));
}
BENCHMARK(BM_Evaluate)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
