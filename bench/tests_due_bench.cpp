// Which pumps are due, on the large database: the Tests Due window made and painted with its
// 8,000 pumps (the verdicts of the rows in sight judged), the same rows read without a
// window, with every verdict judged, and the count of what is due that start-up puts on the
// status line. File database and office server; the anchors read the same rows in plain SQL.

#include "ServerSupport.h"

#include "app/TestsDueDialog.h"
#include "app/TestsDueModel.h"
#include "data/Global.h"
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

// The rows read without a window; with judged, every latest test judged as well (what
// sorting by verdict, or printing or exporting every pump, adds).
void rowsRead(benchmark::State& state, bool server, DueReading reading, bool judged = false) {
    if (!require(state, server))
        return;
    Database& db = database(server);
    qsizetype pumps = 0;
    for (auto _ : state) {
        QList<DuePump> rows = readPumpsDue(db, today(), reading);
        if (judged)
            judgeVerdicts(rows);
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
    rowsRead(state, false, DueReading::WithVerdicts);
}
void BM_TestsDueRead_server(benchmark::State& state) {
    rowsRead(state, true, DueReading::WithVerdicts);
}
void BM_TestsDueJudged(benchmark::State& state) {
    rowsRead(state, false, DueReading::WithVerdicts, true);
}
void BM_TestsDueJudged_server(benchmark::State& state) {
    rowsRead(state, true, DueReading::WithVerdicts, true);
}
void BM_TestsDueCount(benchmark::State& state) {
    rowsRead(state, false, DueReading::DatesOnly);
}
void BM_TestsDueCount_server(benchmark::State& state) {
    rowsRead(state, true, DueReading::DatesOnly);
}

// The statement of the anchors: every pump with its company, location and the columns of
// its latest test on or before today that a verdict needs, written as one would by hand.
std::string anchorSql(const std::string& pump, const std::string& company,
                      const std::string& location, const std::string& test,
                      const std::string& today) {
    auto columns = [](const std::string& alias, const QStringList& names) {
        std::string out;
        for (const QString& n : names)
            out += ", " + alias + ".\"" + n.toStdString() + "\"";
        return out;
    };
    return "SELECT p.\"CompanyID\", p.\"LocationID\", p.\"PumpID\", co.\"Name\", "
           "co.\"Contact Name\", co.\"Contact Phone\", co.\"Contact Email\", lo.\"Name\", "
           "p.\"Pump SN\"" +
           columns("p", pumpRatingColumns()) + columns("t", testReadingColumns()) + " FROM " +
           pump + " p JOIN " + company + " co ON co.\"CompanyID\" = p.\"CompanyID\" JOIN " +
           location +
           " lo ON lo.\"CompanyID\" = p.\"CompanyID\" AND lo.\"LocationID\" = p.\"LocationID\" "
           "LEFT JOIN (SELECT \"CompanyID\", \"LocationID\", \"PumpID\", MAX(CAST(\"Test Date\" "
           "AS TEXT) || ' ' || \"TestID\") AS latest FROM " +
           test + " WHERE \"Test Date\" <= " + today +
           " GROUP BY \"CompanyID\", \"LocationID\", \"PumpID\") g ON g.\"CompanyID\" = "
           "p.\"CompanyID\" AND g.\"LocationID\" = p.\"LocationID\" AND g.\"PumpID\" = "
           "p.\"PumpID\" LEFT JOIN " +
           test +
           " t ON t.\"CompanyID\" = g.\"CompanyID\" AND t.\"LocationID\" = g.\"LocationID\" AND "
           "t.\"PumpID\" = g.\"PumpID\" AND t.\"TestID\" = substr(g.latest, 12) ORDER BY "
           "p.\"CompanyID\", p.\"LocationID\", p.\"PumpID\"";
}

void fileAnchor(benchmark::State& state) {
    if (!requireDb(state))
        return;
    RawConnection conn;
    RawStatement st(conn.handle(),
                    anchorSql(qualified(TableId::Pump), qualified(TableId::Company),
                              qualified(TableId::Location), qualified(TableId::Test), "?1"));
    const std::string day = today().toString(Qt::ISODate).toStdString();
    std::size_t sum = 0;
    for (auto _ : state) {
        st.reset().bind(1, day);
        while (st.step())
            sum += st.readRow();
    }
    benchmark::DoNotOptimize(sum);
}

void serverAnchor(benchmark::State& state) {
    if (!requireServer(state))
        return;
    PgRaw conn;
    PgRawStatement st(conn,
                      anchorSql(pgTable(TableId::Pump), pgTable(TableId::Company),
                                pgTable(TableId::Location), pgTable(TableId::Test), "$1"),
                      1);
    st.bind(1, today().toString(Qt::ISODate).toStdString());
    std::size_t sum = 0;
    for (auto _ : state) {
        const int rows = st.exec();
        for (int r = 0; r < rows; ++r)
            sum += st.readRow(r);
    }
    benchmark::DoNotOptimize(sum);
}

#define NEROVA_DUE_BENCH(name, unit)                                                               \
    BENCHMARK(name)->Unit(unit)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true)
// The anchor stands beside the window and beside the rows read without it.
void BM_TestsDueWindow_anchor(benchmark::State& state) {
    fileAnchor(state);
}
void BM_TestsDueRead_anchor(benchmark::State& state) {
    fileAnchor(state);
}
void BM_TestsDueWindow_server_anchor(benchmark::State& state) {
    serverAnchor(state);
}
void BM_TestsDueRead_server_anchor(benchmark::State& state) {
    serverAnchor(state);
}

NEROVA_DUE_BENCH(BM_TestsDueWindow, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueWindow_anchor, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueRead, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueRead_anchor, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueJudged, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueCount, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueWindow_server, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueWindow_server_anchor, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueRead_server, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueRead_server_anchor, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueJudged_server, benchmark::kMillisecond);
NEROVA_DUE_BENCH(BM_TestsDueCount_server, benchmark::kMillisecond);

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
