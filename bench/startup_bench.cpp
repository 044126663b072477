// Start-up on the large database: the table presence check and the opening of the five
// tables as the master-detail chain, each level showing the first row of its master.

#include "BenchSupport.h"

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
        chain->open(5);
        benchmark::DoNotOptimize(chain->flow.recordCount());
        state.PauseTiming();
        chain.reset();
        db.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same in plain SQL: check that the five files open for reading and writing, open the
// connection with the files attached, and read the first row of each level with one
// indexed SELECT (the first company, its first location, and so on down to the flow).
void BM_Startup_anchor(benchmark::State& state) {
    if (!requireDb(state))
        return;
    for (auto _ : state) {
        for (TableId id : kAllTables) {
            const std::string path =
                QDir(dataDir()).filePath(tableDef(id).fileName()).toStdString();
            if (::access(path.c_str(), R_OK | W_OK) != 0)
                state.SkipWithError("a table file is missing");
        }
        auto conn = std::make_unique<RawConnection>();
        std::vector<std::string> key;
        std::size_t sum = 0;
        for (TableId id : kAllTables) {
            const int links = static_cast<int>(key.size());
            RawStatement st(conn->handle(),
                            "SELECT * FROM " + qualified(id) +
                                (links ? " WHERE " + keyWhere(id, links) : std::string()) +
                                " ORDER BY " + keyOrder(id) + " LIMIT 1");
            for (int i = 0; i < links; ++i)
                st.bind(i + 1, key[static_cast<std::size_t>(i)]);
            if (!st.step())
                break;
            sum += st.readRow();
            key.push_back(st.text(links));
        }
        benchmark::DoNotOptimize(sum);
        state.PauseTiming();
        conn.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Startup_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
