// The main window on the large database, offscreen: a keystroke in a flow point's
// discharge pressure (from the key release to the four derived fields showing their
// values), Next as the navigation button does it, with every page field following, and the
// History and Evaluation sub-pages shown. The keystroke is measured on the office server too.

#include "ServerSupport.h"

#include "app/EvaluationPage.h"
#include "app/HistoryPage.h"
#include "app/MainForm.h"
#include "app/Notebook.h"
#include "app/PumpPage.h"
#include "app/TestPage.h"
#include "eval/Calculations.h"
#include "eval/PumpHistory.h"
#include "prefs/PreferencesRecord.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace nerova;
using namespace nerova::bench;

namespace {

// One window for the whole program, made on first use: made again for every benchmark it
// would only measure its own construction.
struct Window {
    explicit Window(const QString& registry = registryPath())
        : db(registry, dataDir()), form(db, prefs, startup.path()) {
        form.show(); // the table check and the opening of the chain
        QApplication::processEvents();
    }
    bool gotoFiftyPump() { return bench::gotoFiftyPump(form.tables()); }
    // Shows the last sub-page of a main page, on the pump with 50 tests.
    bool showLast(int page, Notebook* book) {
        if (!gotoFiftyPump() || !form.selectPage(page) || !book->setCurrentIndex(book->count() - 1))
            return false;
        QApplication::processEvents();
        return true;
    }
    QLineEdit* point1(const char* stem) const {
        return qobject_cast<QLineEdit*>(
            form.findChild<TestPage*>("TestPage")
                ->pointField(QString::fromLatin1(stem) + QLatin1Char('1')));
    }

    QTemporaryDir startup; // the preferences file is written here
    PreferencesRecord prefs;
    Database db;
    TMainForm1 form;
};

std::unique_ptr<Window> g_window;
std::unique_ptr<Window> g_serverWindow; // the same window on the office server

Window& window() {
    if (!g_window)
        g_window = std::make_unique<Window>();
    return *g_window;
}
Window& serverWindow() {
    if (!g_serverWindow)
        g_serverWindow = std::make_unique<Window>(serverRegistry());
    return *g_serverWindow;
}

// Start-up as the user sees it: the window made and shown, which checks the tables, opens
// the chain and fills the fields of every page with the first rows.
void BM_WindowStartup(benchmark::State& state) {
    if (!requireDb(state))
        return;
    for (auto _ : state) {
        auto w = std::make_unique<Window>();
        benchmark::DoNotOptimize(w->form.tables().flow.recordCount());
        state.PauseTiming();
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowStartup)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
void BM_WindowStartup_anchor(benchmark::State& state) {
    startupAnchor(state);
}
BENCHMARK(BM_WindowStartup_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

const char* const kDerived[] = {"Net Pressure", "Corrected Flow", "Corrected Net Pressure",
                                "Percent Rated Flow"};

// Keystrokes in the discharge pressure of point 1 on the Test page; each types one digit
// over the selected text, and the press and the release are timed together: the point is
// evaluated when the text changes, not on a release. With repaint the pending paint events
// are processed too, so the figure includes drawing the changed fields.
void keystrokes(benchmark::State& state, bool repaint, bool server = false) {
    if (!(server ? requireServer(state) : requireDb(state)))
        return;
    Window& w = server ? serverWindow() : window();
    if (!w.gotoFiftyPump() || !w.form.selectPage(3)) {
        state.SkipWithError("cannot reach the Test page of the pump with 50 tests");
        return;
    }
    QLineEdit* discharge = w.point1("Discharge Pressure");
    std::vector<QLineEdit*> shown;
    for (const char* stem : kDerived)
        shown.push_back(w.point1(stem));
    if (!discharge || discharge->isReadOnly()) {
        state.SkipWithError("no discharge pressure field for point 1");
        return;
    }
    discharge->setFocus();
    QApplication::processEvents();
    int i = 0;
    std::size_t chars = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto key = static_cast<Qt::Key>(Qt::Key_1 + (i++ % 9));
        discharge->selectAll();
        state.ResumeTiming();

        QTest::keyPress(discharge, key);
        if (repaint)
            QApplication::processEvents();
        QTest::keyRelease(discharge, key);
        if (repaint)
            QApplication::processEvents();
        for (QLineEdit* f : shown)
            chars += static_cast<std::size_t>(f->text().size());
    }
    benchmark::DoNotOptimize(chars);
    if (chars == 0)
        state.SkipWithError("the derived fields stayed blank");
    w.form.tables().test.cancel();
}

void BM_Keystroke(benchmark::State& state) {
    keystrokes(state, false);
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same evaluation as the bare formulas on numbers already at hand: what the window,
// the fields and the cursor add is the difference.
void BM_Keystroke_anchor(benchmark::State& state) {
    FlowPointInputs in;
    in.flow = 750;
    in.dischargeElevation = 1;
    in.suctionElevation = 1;
    in.dischargeDiameter = 6;
    in.suctionDiameter = 8;
    in.suctionPressure = 20;
    in.measuredSpeed = 1760;
    in.ratedSpeed = 1750;
    in.ratedFlow = 750;
    int i = 0;
    for (auto _ : state) {
        in.dischargePressure = 1 + (i++ % 9);
        benchmark::DoNotOptimize(evaluateFlowPoint(in));
    }
}
BENCHMARK(BM_Keystroke_anchor)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The window on the server: the keystroke evaluates the row being edited in memory, so
// it should not wait for the server at all.
void BM_Keystroke_server(benchmark::State& state) {
    keystrokes(state, false, true);
}
BENCHMARK(BM_Keystroke_server)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_KeystrokeRepainted(benchmark::State& state) {
    keystrokes(state, true);
}
BENCHMARK(BM_KeystrokeRepainted)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Next as the navigation button does it on a page: the page's table moves, the levels
// below follow, and every field of the four pages shows its new value.
void windowNext(benchmark::State& state, int page) {
    if (!requireDb(state))
        return;
    Window& w = window();
    if (!w.gotoFiftyPump() || !w.form.selectPage(page)) {
        state.SkipWithError("cannot reach the page");
        return;
    }
    Table& t = w.form.pageTable(page);
    if (page == 0)
        t.first();
    // How often the tables tell the fields to show their row again: once per level and move
    // is what the chain itself sends.
    long notices = 0;
    std::vector<QMetaObject::Connection> counting;
    for (const TableId id :
         {TableId::Company, TableId::Location, TableId::Pump, TableId::Test, TableId::Flow})
        counting.push_back(QObject::connect(&w.form.tables().table(id), &Table::recordChanged,
                                            [&notices] { ++notices; }));
    auto* next = w.form.findChild<QPushButton*>(QStringLiteral("NextBtn"));
    long moves = 0;
    for (auto _ : state) {
        next->click();
        ++moves;
        if (t.eof()) {
            state.PauseTiming();
            const long before = notices;
            t.first();
            notices = before;
            state.ResumeTiming();
        }
    }
    for (const auto& c : counting)
        QObject::disconnect(c);
    state.counters["recordChanged/move"] = moves ? double(notices) / double(moves) : 0.0;
}

void BM_WindowCompanyNext(benchmark::State& state) {
    windowNext(state, 0);
}
BENCHMARK(BM_WindowCompanyNext)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
void BM_WindowCompanyNext_anchor(benchmark::State& state) {
    companyNextAnchor(state);
}
BENCHMARK(BM_WindowCompanyNext_anchor)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_WindowTestNext(benchmark::State& state) {
    windowNext(state, 3);
}
BENCHMARK(BM_WindowTestNext)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
void BM_WindowTestNext_anchor(benchmark::State& state) {
    testNextAnchor(state);
}
BENCHMARK(BM_WindowTestNext_anchor)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The Pump page's History sub-page: the 50 tests of one pump read, judged and put in the
// table, with the repaint that follows; its anchor is the same history without a widget.
void BM_HistoryShown(benchmark::State& state) {
    if (!requireDb(state))
        return;
    Window& w = window();
    if (!w.showLast(2, w.form.findChild<PumpPage*>("PumpPage")->pumpNotebook())) {
        state.SkipWithError("cannot reach the History of the pump with 50 tests");
        return;
    }
    HistoryPage* page = w.form.findChild<PumpPage*>("PumpPage")->historyPage();
    for (auto _ : state) {
        page->refresh();
        QApplication::processEvents(); // the table repainted
    }
    state.counters["tests"] = static_cast<double>(page->rows().size());
}
BENCHMARK(BM_HistoryShown)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_HistoryShown_anchor(benchmark::State& state) {
    if (!requireDb(state))
        return;
    Window& w = window();
    if (!w.gotoFiftyPump()) {
        state.SkipWithError("the pump with 50 tests is missing");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(pumpHistory(w.form.tables().pump));
}
BENCHMARK(BM_HistoryShown_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_EvaluationShown(benchmark::State& state) {
    if (!requireDb(state))
        return;
    Window& w = window();
    if (!w.showLast(3, w.form.findChild<TestPage*>("TestPage")->testNotebook())) {
        state.SkipWithError("cannot reach the Evaluation of the pump with 50 tests");
        return;
    }
    EvaluationPage* page = w.form.findChild<TestPage*>("TestPage")->evaluationPage();
    for (auto _ : state) {
        page->refresh();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_EvaluationShown)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    // Offscreen, whatever the environment says: the window is never meant to be seen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FailingPrompt prompt;
    Prompt::install(&prompt);
    const int rc = runBenchmarks(argc, argv);
    g_window.reset(); // before the application goes
    g_serverWindow.reset();
    Prompt::install(nullptr);
    return rc;
}
