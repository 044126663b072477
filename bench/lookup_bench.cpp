// A lookup by name prefix: the prefix filter on the company table of an open chain (the
// details follow the first company found), then the first move within the filtered rows.

#include "ServerSupport.h"

#include "data/TableChain.h"

#include <memory>

using namespace nerova;
using namespace nerova::bench;

namespace {

void lookupPrefix(benchmark::State& state, Database& db) {
    TableChain chain(db);
    chain.open(TableId::Flow);
    const QString prefix = QString::fromLatin1(kLookupPrefix);
    int found = 0;
    RoundTrips trips;
    for (auto _ : state) {
        trips.begin();
        chain.company.setPrefixFilter(QStringLiteral("Name"), prefix);
        chain.company.next();
        trips.end();
        found = chain.company.recordCount();
        state.PauseTiming();
        chain.company.clearFilter();
        state.ResumeTiming();
    }
    state.counters["companies"] = found;
    trips.report(state);
    chain.close();
}

void BM_LookupPrefix(benchmark::State& state) {
    if (!requireDb(state))
        return;
    Database db(registryPath(), dataDir());
    lookupPrefix(state, db);
}
BENCHMARK(BM_LookupPrefix)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Plain SQL: the ids of the companies whose name starts with the prefix (letter case
// ignored) in key order, then the first and second of them, each with the first row of
// every level below it.
void BM_LookupPrefix_anchor(benchmark::State& state) {
    if (!requireDb(state))
        return;
    RawConnection conn;
    RawStatement filter(conn.handle(), "SELECT rowid FROM " + qualified(TableId::Company) +
                                           " WHERE substr(\"Name\", 1, ?1) = ?2 COLLATE NOCASE "
                                           "ORDER BY \"CompanyID\"");
    RawStatement company(conn.handle(),
                         "SELECT * FROM " + qualified(TableId::Company) + " WHERE rowid = ?1");
    std::vector<std::unique_ptr<RawStatement>> details;
    for (TableId id : {TableId::Location, TableId::Pump, TableId::Test, TableId::Flow})
        details.push_back(std::make_unique<RawStatement>(
            conn.handle(), "SELECT * FROM " + qualified(id) + " WHERE " +
                               keyWhere(id, tableDef(id).keyCount - 1) + " ORDER BY " +
                               keyOrder(id) + " LIMIT 1"));
    const std::string prefix = kLookupPrefix;
    std::size_t sum = 0;
    auto show = [&](sqlite3_int64 rowid) {
        company.reset().bind(1, rowid);
        if (!company.step())
            return;
        sum += company.readRow();
        std::vector<std::string> key{company.text(0)};
        for (auto& st : details) {
            st->reset();
            for (std::size_t i = 0; i < key.size(); ++i)
                st->bind(static_cast<int>(i + 1), key[i]);
            if (!st->step())
                break;
            sum += st->readRow();
            key.push_back(st->text(static_cast<int>(key.size())));
        }
    };
    for (auto _ : state) {
        std::vector<sqlite3_int64> rows;
        filter.reset().bind(1, static_cast<sqlite3_int64>(prefix.size())).bind(2, prefix);
        while (filter.step())
            rows.push_back(filter.int64(0));
        if (rows.size() > 1) {
            show(rows[0]);
            show(rows[1]);
        }
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_LookupPrefix_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_LookupPrefix_server(benchmark::State& state) {
    if (requireServer(state))
        lookupPrefix(state, *serverDatabase());
}
BENCHMARK(BM_LookupPrefix_server)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Plain libpq: the same as above, the letter case folded as the server folds it.
void BM_LookupPrefix_server_anchor(benchmark::State& state) {
    if (!requireServer(state))
        return;
    PgRaw conn;
    PgRawStatement filter(conn,
                          "SELECT rowid FROM " + pgTable(TableId::Company) +
                              " WHERE lower(substr(\"Name\", 1, $1) COLLATE casefold) = "
                              "lower($2 COLLATE casefold) ORDER BY \"CompanyID\"",
                          2);
    PgRawStatement company(conn, "SELECT * FROM " + pgTable(TableId::Company) + " WHERE rowid = $1",
                           1);
    PgFirstRows details(conn);
    const std::string prefix = kLookupPrefix;
    filter.bind(1, std::to_string(prefix.size())).bind(2, prefix);
    std::size_t sum = 0;
    auto show = [&](const std::string& rowid) {
        if (company.bind(1, rowid).exec() == 0)
            return;
        sum += company.readRow(0);
        sum += details.read({company.text(0, 0)});
    };
    for (auto _ : state) {
        const int rows = filter.exec();
        if (rows > 1) {
            const std::string first = filter.text(0, 0);
            const std::string second = filter.text(1, 0);
            show(first);
            show(second);
        }
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_LookupPrefix_server_anchor)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
