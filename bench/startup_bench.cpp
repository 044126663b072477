// Start-up on the large database: the table presence check and the opening of the five
// tables as the master-detail chain, each level showing the first row of its master.

#include "Anchors.h"

#include "data/TableChain.h"

#include <memory>

using namespace nerova;
using namespace nerova::bench;

namespace {

void BM_Startup(benchmark::State& state) {
    if (!requireDb(state))
        return;
    NoProgress progress;
    for (auto _ : state) {
        auto db = std::make_unique<Database>(registryPath(), dataDir());
        if (!TablesExist(*db, progress)) {
            state.SkipWithError("a table file is missing");
            break;
        }
        auto chain = std::make_unique<TableChain>(*db);
        chain->open(TableId::Flow);
        benchmark::DoNotOptimize(chain->flow.recordCount());
        state.PauseTiming();
        chain.reset();
        db.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Startup_anchor(benchmark::State& state) {
    startupAnchor(state);
}
BENCHMARK(BM_Startup_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
