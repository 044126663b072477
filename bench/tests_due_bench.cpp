// Which pumps are due, on the large database: the Tests Due window made and painted with its
// 8,000 pumps (the verdicts of the rows in sight read and judged), the rows read without a
// window as start-up does for its status line, and every verdict judged. File database and
// office server; the anchors read the same rows in plain SQL or bare libpq.

#include "ServerSupport.h"

#include "app/TestsDueDialog.h"
#include "app/TestsDueModel.h"
#include "data/Global.h"
#include "data/LatestTests.h"
#include "data/TableChain.h"
#include "eval/EvaluationRows.h"
#include "eval/TestsDue.h"

#include <QApplication>
#include <QStandardPaths>
#include <memory>

using namespace nerova;
using namespace nerova::bench;

namespace {

// The database with its chain of cursors open, as the main window keeps it while the Tests
// Due window is open: the connection stays, the tables stay attached.
struct Open {
    explicit Open(std::unique_ptr<Database> database) : db(std::move(database)), chain(*db) {
        chain.open(TableId::Flow);
    }
    ~Open() { chain.close(); }
    std::unique_ptr<Database> db;
    TableChain chain;
};

std::unique_ptr<Open> g_file;
std::unique_ptr<Open> g_server;

Database& database(bool server) {
    std::unique_ptr<Open>& open = server ? g_server : g_file;
    if (!open)
        open = std::make_unique<Open>(
            server ? serverDatabase() : std::make_unique<Database>(registryPath(), dataDir()));
    return *open->db;
}

bool require(benchmark::State& state, bool server) {
    return server ? requireServer(state) : requireDb(state);
}

// Opening the window: one statement, every latest test judged, the rows sorted and
// filtered, the columns sized and the window painted.
void windowShown(benchmark::State& state, bool server) {
    if (!require(state, server))
        return;
    Database& db = database(server);
    int pumps = 0;
    for (auto _ : state) {
        auto dlg = std::make_unique<TestsDueDialog>(db, QStringLiteral("Bench"));
        dlg->show();
        QApplication::processEvents();
        pumps = static_cast<int>(dlg->model().pumps().size());
        state.PauseTiming();
        dlg.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["pumps"] = pumps;
}

// The rows read without a window, scheduled and counted: what start-up does for the status
// line. With judged, every latest test read and judged as well (what sorting by verdict, or
// printing or exporting every pump, adds).
void rowsRead(benchmark::State& state, bool server, bool judged = false) {
    if (!require(state, server))
        return;
    Database& db = database(server);
    qsizetype pumps = 0;
    for (auto _ : state) {
        QList<DuePump> rows = readPumpsDue(db, today());
        if (judged)
            judgeVerdicts(db, rows);
        scheduleDue(rows, {}, today());
        benchmark::DoNotOptimize(dueStatusLine(rows, 30, QStringLiteral("Ctrl+D")));
        pumps = rows.size();
    }
    state.counters["pumps"] = static_cast<double>(pumps);
}

void BM_TestsDueWindow(benchmark::State& state) {
    windowShown(state, false);
}
void BM_TestsDueWindow_server(benchmark::State& state) {
    windowShown(state, true);
}
void BM_TestsDueRead(benchmark::State& state) {
    rowsRead(state, false);
}
void BM_TestsDueRead_server(benchmark::State& state) {
    rowsRead(state, true);
}
void BM_TestsDueJudged(benchmark::State& state) {
    rowsRead(state, false, true);
}
void BM_TestsDueJudged_server(benchmark::State& state) {
    rowsRead(state, true, true);
}

// The statements of the anchors, written as one would by hand. The grouped statement: every
// pump with its company, location and the date and identifier of its latest test on or
// before today; withReadings, also the columns a verdict needs of the pump and of that test.
std::string groupedSql(bool withReadings, const std::string& pump, const std::string& company,
                       const std::string& location, const std::string& test,
                       const std::string& today) {
    auto columns = [](const std::string& alias, const QStringList& names) {
        std::string out;
        for (const QString& n : names)
            out += ", " + alias + ".\"" + n.toStdString() + "\"";
        return out;
    };
    const std::string readings =
        withReadings ? columns("p", pumpRatingColumns()) + columns("t", testReadingColumns())
                     : std::string();
    const std::string testJoin =
        withReadings ? " LEFT JOIN " + test +
                           " t ON t.\"CompanyID\" = g.\"CompanyID\" AND t.\"LocationID\" = "
                           "g.\"LocationID\" AND t.\"PumpID\" = g.\"PumpID\" AND t.\"TestID\" = "
                           "substr(g.latest, 12)"
                     : std::string();
    return "SELECT p.\"CompanyID\", p.\"LocationID\", p.\"PumpID\", co.\"Name\", "
           "co.\"Contact Name\", co.\"Contact Phone\", co.\"Contact Email\", lo.\"Name\", "
           "p.\"Pump SN\", substr(g.latest, 1, 10), substr(g.latest, 12)" +
           readings + " FROM " + pump + " p JOIN " + company +
           " co ON co.\"CompanyID\" = p.\"CompanyID\" JOIN " + location +
           " lo ON lo.\"CompanyID\" = p.\"CompanyID\" AND lo.\"LocationID\" = p.\"LocationID\" "
           "LEFT JOIN (SELECT \"CompanyID\", \"LocationID\", \"PumpID\", MAX(CAST(\"Test Date\" "
           "AS TEXT) || ' ' || \"TestID\") AS latest FROM " +
           test + " WHERE \"Test Date\" <= " + today +
           " GROUP BY \"CompanyID\", \"LocationID\", \"PumpID\") g ON g.\"CompanyID\" = "
           "p.\"CompanyID\" AND g.\"LocationID\" = p.\"LocationID\" AND g.\"PumpID\" = "
           "p.\"PumpID\"" +
           testJoin + " ORDER BY p.\"CompanyID\", p.\"LocationID\", p.\"PumpID\"";
}

// The readings of one screenful: the pump ratings and test readings of 64 tests named by
// their keys, numbered from parameter `first`.
std::string screenfulSql(const std::string& pump, const std::string& test, bool numbered) {
    auto columns = [](const std::string& alias, const QStringList& names) {
        std::string out;
        for (const QString& n : names)
            out += ", " + alias + ".\"" + n.toStdString() + "\"";
        return out;
    };
    std::string where;
    int n = 0;
    for (int i = 0; i < kTestsByKeyBatch; ++i) {
        where += i ? " OR (" : "(";
        for (const char* key : {"CompanyID", "LocationID", "PumpID", "TestID"}) {
            where += n % 4 ? " AND " : "";
            where +=
                std::string("t.\"") + key + "\" = " + (numbered ? "$" : "?") + std::to_string(++n);
        }
        where += ")";
    }
    return "SELECT t.\"CompanyID\"" + columns("p", pumpRatingColumns()) +
           columns("t", testReadingColumns()) + " FROM " + test + " t JOIN " + pump +
           " p ON p.\"CompanyID\" = t.\"CompanyID\" AND p.\"LocationID\" = t.\"LocationID\" AND "
           "p.\"PumpID\" = t.\"PumpID\" WHERE " +
           where;
}

// Plain SQL: the grouped statement, every value read; with a screenful, then the readings of
// the first 64 pumps that have a test.
void fileAnchor(benchmark::State& state, bool screenful, bool readings = false) {
    if (!requireDb(state))
        return;
    RawConnection conn;
    RawStatement grouped(conn.handle(),
                         groupedSql(readings, qualified(TableId::Pump), qualified(TableId::Company),
                                    qualified(TableId::Location), qualified(TableId::Test), "?1"));
    RawStatement tests(conn.handle(),
                       screenfulSql(qualified(TableId::Pump), qualified(TableId::Test), false));
    const std::string day = today().toString(Qt::ISODate).toStdString();
    std::size_t sum = 0;
    for (auto _ : state) {
        std::vector<std::string> keys;
        grouped.reset().bind(1, day);
        while (grouped.step()) {
            sum += grouped.readRow();
            if (screenful && keys.size() < 4 * kTestsByKeyBatch && !grouped.text(10).empty())
                for (int c : {0, 1, 2, 10})
                    keys.push_back(grouped.text(c));
        }
        if (!screenful)
            continue;
        tests.reset();
        for (std::size_t i = 0; i < keys.size(); ++i)
            tests.bind(static_cast<int>(i + 1), keys[i]);
        while (tests.step())
            sum += tests.readRow();
    }
    benchmark::DoNotOptimize(sum);
}

// The same in bare libpq.
void serverAnchor(benchmark::State& state, bool screenful, bool readings = false) {
    if (!requireServer(state))
        return;
    PgRaw conn;
    PgRawStatement grouped(conn,
                           groupedSql(readings, pgTable(TableId::Pump), pgTable(TableId::Company),
                                      pgTable(TableId::Location), pgTable(TableId::Test), "$1"),
                           1);
    PgRawStatement tests(conn, screenfulSql(pgTable(TableId::Pump), pgTable(TableId::Test), true),
                         4 * kTestsByKeyBatch);
    grouped.bind(1, today().toString(Qt::ISODate).toStdString());
    std::size_t sum = 0;
    for (auto _ : state) {
        const int rows = grouped.exec();
        int keys = 0;
        for (int r = 0; r < rows; ++r) {
            sum += grouped.readRow(r);
            if (screenful && keys < kTestsByKeyBatch && !grouped.text(r, 10).empty()) {
                int c = 0;
                for (int col : {0, 1, 2, 10})
                    tests.bind(4 * keys + ++c, grouped.text(r, col));
                ++keys;
            }
        }
        if (!screenful)
            continue;
        const int found = tests.exec();
        for (int r = 0; r < found; ++r)
            sum += tests.readRow(r);
    }
    benchmark::DoNotOptimize(sum);
}

#define NEROVA_DUE_BENCH(name, unit)                                                               \
    BENCHMARK(name)->Unit(unit)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true)
// The window against the statements it needs for its first screen; the rows read against
// the grouped statement alone; every verdict judged against every latest test's readings
// read by one statement.
void BM_TestsDueWindow_anchor(benchmark::State& state) {
    fileAnchor(state, true);
}
void BM_TestsDueRead_anchor(benchmark::State& state) {
    fileAnchor(state, false);
}
void BM_TestsDueJudged_anchor(benchmark::State& state) {
    fileAnchor(state, false, true);
}
void BM_TestsDueWindow_server_anchor(benchmark::State& state) {
    serverAnchor(state, true);
}
void BM_TestsDueRead_server_anchor(benchmark::State& state) {
    serverAnchor(state, false);
}
void BM_TestsDueJudged_server_anchor(benchmark::State& state) {
    serverAnchor(state, false, true);
}

NEROVA_DUE_BENCH(BM_TestsDueWindow, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueWindow_anchor, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueRead, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueRead_anchor, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueJudged, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueJudged_anchor, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueWindow_server, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueWindow_server_anchor, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueRead_server, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueRead_server_anchor, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueJudged_server, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueJudged_server_anchor, benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Offscreen, whatever the environment says: the window is never meant to be seen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The window reads its settings; the user's own file stays out of the figures.
    QStandardPaths::setTestModeEnabled(true);
    FailingPrompt prompt;
    Prompt::install(&prompt);
    const int rc = runBenchmarks(argc, argv);
    g_file.reset();
    g_server.reset();
    Prompt::install(nullptr);
    return rc;
}
