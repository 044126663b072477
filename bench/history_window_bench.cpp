// The Pump page's History sub-page on the large database, offscreen: the 50 tests of one
// pump read, judged and put in the table, with the repaint that follows; and the Test page's
// Evaluation sub-page judging one test and listing its findings. The anchor is the same
// history without a widget: what the table adds is the difference.

#include "BenchSupport.h"

#include "app/EvaluationPage.h"
#include "app/HistoryPage.h"
#include "app/MainForm.h"
#include "app/Notebook.h"
#include "app/PumpPage.h"
#include "app/TestPage.h"
#include "eval/PumpHistory.h"
#include "prefs/PreferencesRecord.h"

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

using namespace nerova;
using namespace nerova::bench;

namespace {

struct Window {
    Window() : db(registryPath(), dataDir()), form(db, prefs, startup.path()) {
        form.show();
        QApplication::processEvents();
    }
    bool gotoFiftyPump() {
        TableChain& t = form.tables();
        return t.company.locate({QStringLiteral("CompanyID")},
                                {QString::fromLatin1(kFiftyCompany)}) &&
               t.location.locate({QStringLiteral("LocationID")},
                                 {QString::fromLatin1(kFiftyLocation)}) &&
               t.pump.locate({QStringLiteral("PumpID")}, {QString::fromLatin1(kFiftyPump)});
    }
    // Shows the last sub-page of a main page.
    bool showLast(int page, Notebook* book) {
        if (!gotoFiftyPump() || !form.selectPage(page) || !book->setCurrentIndex(book->count() - 1))
            return false;
        QApplication::processEvents();
        return true;
    }

    QTemporaryDir startup;
    PreferencesRecord prefs;
    Database db;
    TMainForm1 form;
};

std::unique_ptr<Window> g_window;

Window& window() {
    if (!g_window)
        g_window = std::make_unique<Window>();
    return *g_window;
}

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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FailingPrompt prompt;
    Prompt::install(&prompt);
    const int rc = runBenchmarks(argc, argv);
    g_window.reset();
    Prompt::install(nullptr);
    return rc;
}
