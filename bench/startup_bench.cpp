// Start-up on the large database: the table presence check and the opening of the five
// tables as the master-detail chain, each level showing the first row of its master. On the
// file database and on the office server, each beside its plain anchor.

#include "ServerSupport.h"

#include "data/TableChain.h"

#include <memory>

using namespace nerova;
using namespace nerova::bench;

namespace {

void startup(benchmark::State& state, bool server) {
    NoProgress progress;
    RoundTrips trips;
    for (auto _ : state) {
        trips.begin();
        // On the server this includes connecting, as a start-up does.
        auto db = server ? serverDatabase() : std::make_unique<Database>(registryPath(), dataDir());
        if (!TablesExist(*db, progress)) {
            state.SkipWithError("a table is missing");
            break;
        }
        auto chain = std::make_unique<TableChain>(*db);
        chain->open(TableId::Flow);
        benchmark::DoNotOptimize(chain->flow.recordCount());
        trips.end();
        state.PauseTiming();
        chain.reset();
        db.reset();
        state.ResumeTiming();
    }
    trips.report(state);
}

void BM_Startup(benchmark::State& state) {
    if (requireDb(state))
        startup(state, false);
}
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Startup_anchor(benchmark::State& state) {
    startupAnchor(state);
}
BENCHMARK(BM_Startup_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_Startup_server(benchmark::State& state) {
    if (requireServer(state))
        startup(state, true);
}
BENCHMARK(BM_Startup_server)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_Startup_server_anchor(benchmark::State& state) {
    startupServerAnchor(state);
}
BENCHMARK(BM_Startup_server_anchor)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The connection alone, as libpq makes it: what a start-up on the server pays before the
// program's first statement, so that start-up after connecting is the difference.
void BM_Connect_server(benchmark::State& state) {
    if (!requireServer(state))
        return;
    RoundTrips trips;
    for (auto _ : state) {
        trips.begin();
        PgRaw connection;
        benchmark::DoNotOptimize(&connection);
        trips.end();
    }
    trips.report(state);
}
BENCHMARK(BM_Connect_server)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
