// The delete cascade of a company with 2,000 tests and their flow rows, on a fresh copy of
// the large database for each run (the copy is made and flushed to disk while the clock is
// stopped). On the office server each run deletes from a database of its own made from the
// loaded one as a template, also with the clock stopped.

#include "ServerSupport.h"

#include "data/Cascade.h"
#include "data/TableChain.h"

#include <QDir>
#include <memory>

using namespace nerova;
using namespace nerova::bench;

namespace {

QString scratchDir() {
    return QDir::tempPath() + QStringLiteral("/nerova-bench-cascade");
}

// How many rows of `id` belong to the cascade company.
sqlite3_int64 rowsOfCompany(RawConnection& conn, TableId id) {
    RawStatement st(conn.handle(),
                    "SELECT count(*) FROM " + qualified(id) + " WHERE \"CompanyID\" = ?1");
    st.bind(1, std::string(kCascadeCompany));
    return st.step() ? st.int64(0) : -1;
}

void BM_Cascade(benchmark::State& state) {
    if (!requireDb(state))
        return;
    const QString scratch = scratchDir();
    const QString data = scratch + QStringLiteral("/data");
    const QString registry = writeRegistry(scratch, data);
    for (auto _ : state) {
        state.PauseTiming();
        copyTables(dataDir(), data);
        auto db = std::make_unique<Database>(registry, data);
        // The tables are open as in the main window, so the files are attached.
        auto chain = std::make_unique<TableChain>(*db);
        chain->open(TableId::Flow);
        state.ResumeTiming();

        deleteWithDependants(*db, TableId::Company, {QString::fromLatin1(kCascadeCompany)});

        state.PauseTiming();
        chain.reset();
        db.reset();
        {
            RawConnection check(data);
            if (rowsOfCompany(check, TableId::Test) != 0 ||
                rowsOfCompany(check, TableId::Flow) != 0)
                state.SkipWithError("the cascade left rows behind");
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Cascade)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Plain SQL: one DELETE per table, deepest first, in one transaction.
void BM_Cascade_anchor(benchmark::State& state) {
    if (!requireDb(state))
        return;
    const QString data = scratchDir() + QStringLiteral("/data");
    for (auto _ : state) {
        state.PauseTiming();
        copyTables(dataDir(), data);
        auto conn = std::make_unique<RawConnection>(data);
        if (rowsOfCompany(*conn, TableId::Test) != kCascadeTests)
            state.SkipWithError("the company with 2,000 tests is not in the database");
        state.ResumeTiming();

        conn->exec("BEGIN IMMEDIATE");
        for (TableId id :
             {TableId::Flow, TableId::Test, TableId::Pump, TableId::Location, TableId::Company}) {
            RawStatement del(conn->handle(),
                             "DELETE FROM " + qualified(id) + " WHERE \"CompanyID\" = ?1");
            del.bind(1, std::string(kCascadeCompany));
            del.step();
        }
        conn->exec("COMMIT");

        state.PauseTiming();
        conn.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Cascade_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// ---- the same on the office server --------------------------------------------------------

constexpr const char* kScratch = "nerova_bench_cascade";

// A fresh copy of the loaded database, made by the server from it as a template (the files
// copied and flushed); the template must have no other connection meanwhile.
void freshScratch() {
    PgRaw admin(serverConnectionTo(QStringLiteral("postgres")));
    admin.exec(std::string("DROP DATABASE IF EXISTS ") + kScratch + " WITH (FORCE)");
    admin.exec(std::string("CREATE DATABASE ") + kScratch + " TEMPLATE \"" +
               serverDatabaseName().toStdString() + "\" STRATEGY FILE_COPY");
}
void dropScratch() {
    PgRaw(serverConnectionTo(QStringLiteral("postgres")))
        .exec(std::string("DROP DATABASE IF EXISTS ") + kScratch + " WITH (FORCE)");
}

std::string rowsOfCompany(PgRaw& conn, TableId id) {
    PgRawStatement st(conn, "SELECT count(*) FROM " + pgTable(id) + " WHERE \"CompanyID\" = $1", 1);
    st.bind(1, kCascadeCompany);
    return st.exec() == 1 ? st.text(0, 0) : std::string("?");
}

void BM_Cascade_server(benchmark::State& state) {
    if (!requireServer(state))
        return;
    const QString scratch = serverConnectionTo(QString::fromLatin1(kScratch));
    for (auto _ : state) {
        state.PauseTiming();
        freshScratch();
        auto db = std::make_unique<Database>(DataLocation{true, {}, scratch});
        auto chain = std::make_unique<TableChain>(*db);
        chain->open(TableId::Flow);
        state.ResumeTiming();

        deleteWithDependants(*db, TableId::Company, {QString::fromLatin1(kCascadeCompany)});

        state.PauseTiming();
        chain.reset();
        db.reset();
        {
            PgRaw check(scratch);
            if (rowsOfCompany(check, TableId::Test) != "0" ||
                rowsOfCompany(check, TableId::Flow) != "0")
                state.SkipWithError("the cascade left rows behind");
        }
        state.ResumeTiming();
    }
    dropScratch();
}
BENCHMARK(BM_Cascade_server)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Plain libpq: one DELETE per table, deepest first, in one transaction.
void BM_Cascade_server_anchor(benchmark::State& state) {
    if (!requireServer(state))
        return;
    const QString scratch = serverConnectionTo(QString::fromLatin1(kScratch));
    for (auto _ : state) {
        state.PauseTiming();
        freshScratch();
        auto conn = std::make_unique<PgRaw>(scratch);
        if (rowsOfCompany(*conn, TableId::Test) != std::to_string(kCascadeTests))
            state.SkipWithError("the company with 2,000 tests is not in the database");
        state.ResumeTiming();

        conn->exec("BEGIN");
        for (TableId id :
             {TableId::Flow, TableId::Test, TableId::Pump, TableId::Location, TableId::Company}) {
            PgRawStatement del(*conn, "DELETE FROM " + pgTable(id) + " WHERE \"CompanyID\" = $1",
                               1);
            del.bind(1, kCascadeCompany).exec();
        }
        conn->exec("COMMIT");

        state.PauseTiming();
        conn.reset();
        state.ResumeTiming();
    }
    dropScratch();
}
BENCHMARK(BM_Cascade_server_anchor)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
