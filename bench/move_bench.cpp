// A move on the large database: Next on the companies with location, pump, test and flow
// following, and Next on the 50 tests of one pump with its flow rows following; on the file
// database and on the office server, each beside its plain anchor.

#include "ServerSupport.h"

#include "data/TableChain.h"

#include <memory>

using namespace nerova;
using namespace nerova::bench;

namespace {

void companyNext(benchmark::State& state, Database& db) {
    TableChain chain(db);
    chain.open(TableId::Flow);
    std::size_t rows = 0;
    RoundTrips trips;
    for (auto _ : state) {
        trips.begin();
        chain.company.next();
        trips.end();
        if (chain.company.eof()) {
            state.PauseTiming();
            chain.company.first();
            state.ResumeTiming();
        }
        rows += static_cast<std::size_t>(chain.flow.recordCount());
    }
    trips.report(state);
    benchmark::DoNotOptimize(rows);
    chain.close();
}

void BM_CompanyNext(benchmark::State& state) {
    if (!requireDb(state))
        return;
    Database db(registryPath(), dataDir());
    companyNext(state, db);
}
BENCHMARK(BM_CompanyNext)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_CompanyNext_anchor(benchmark::State& state) {
    companyNextAnchor(state);
}
BENCHMARK(BM_CompanyNext_anchor)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void testNext(benchmark::State& state, Database& db) {
    TableChain chain(db);
    chain.open(TableId::Flow);
    if (!gotoFiftyPump(chain) || chain.test.recordCount() != kFiftyTests) {
        state.SkipWithError("the pump with 50 tests is not in the database");
        return;
    }
    std::size_t rows = 0;
    RoundTrips trips;
    for (auto _ : state) {
        trips.begin();
        chain.test.next();
        trips.end();
        if (chain.test.eof()) {
            state.PauseTiming();
            chain.test.first();
            state.ResumeTiming();
        }
        rows += static_cast<std::size_t>(chain.flow.recordCount());
    }
    trips.report(state);
    benchmark::DoNotOptimize(rows);
    chain.close();
}

void BM_TestNext(benchmark::State& state) {
    if (!requireDb(state))
        return;
    Database db(registryPath(), dataDir());
    testNext(state, db);
}
BENCHMARK(BM_TestNext)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_TestNext_anchor(benchmark::State& state) {
    testNextAnchor(state);
}
BENCHMARK(BM_TestNext_anchor)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_CompanyNext_server(benchmark::State& state) {
    if (requireServer(state))
        companyNext(state, *serverDatabase());
}
BENCHMARK(BM_CompanyNext_server)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_CompanyNext_server_anchor(benchmark::State& state) {
    companyNextServerAnchor(state);
}
BENCHMARK(BM_CompanyNext_server_anchor)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_TestNext_server(benchmark::State& state) {
    if (requireServer(state))
        testNext(state, *serverDatabase());
}
BENCHMARK(BM_TestNext_server)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_TestNext_server_anchor(benchmark::State& state) {
    testNextServerAnchor(state);
}
BENCHMARK(BM_TestNext_server_anchor)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
