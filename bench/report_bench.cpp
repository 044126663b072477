// The two reports of the demonstration test, as one print request makes them: a holder
// with its own cursors positioned on the test, the document laid out, and the pages
// written to a PDF file. Run offscreen; the medians are the figures to read.

#include "data/Database.h"
#include "data/TablesExistCreate.h"
#include "prefs/PreferencesRecord.h"
#include "print/DetailReportFrm.h"
#include "print/SummaryReportFrm.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

using namespace nerova;

namespace {

const QStringList kDemoTest = {"ABC Paint Company", "*", "01", "20010731"};

struct QuietProgress : TablesProgress {
    void setCaption(const QString&) override {}
    void setLabel(const QString&) override {}
    void showWindow() override {}
    void hideWindow() override {}
    void setBusy(bool) override {}
};

// A fresh database holding only the demonstration rows, made once for all benchmarks.
struct DemoDatabase {
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    PreferencesRecord preferences;

    DemoDatabase() {
        db = std::make_unique<Database>(dir.filePath(QStringLiteral("aliases.ini")),
                                        dir.filePath(QStringLiteral("data")));
        db->databaseDirectory();
        QuietProgress progress;
        TablesCreate(*db, progress, [](const QString&) {});
        preferences.applyDefaults();
        preferences.setCompanyInfo(1, QStringLiteral("Orvik Fire Testing"));
        preferences.setPrintReportPageNumber(true);
    }
    QString pdf(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

DemoDatabase& demo() {
    static DemoDatabase instance;
    return instance;
}

template <typename Holder> void printToPdf(benchmark::State& state, const char* file) {
    DemoDatabase& d = demo();
    for (auto _ : state) {
        Holder holder(*d.db, d.preferences);
        if (!holder.position(kDemoTest)) {
            state.SkipWithError("demonstration test not found");
            break;
        }
        if (!holder.writePdf(d.pdf(file))) {
            state.SkipWithError("PDF not written");
            break;
        }
    }
}

void BM_SummaryReportToPdf(benchmark::State& state) {
    printToPdf<TSummaryReportFrm>(state, "summary.pdf");
}
void BM_DetailReportToPdf(benchmark::State& state) {
    printToPdf<TDetailReportFrm>(state, "detail.pdf");
}

BENCHMARK(BM_SummaryReportToPdf)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DetailReportToPdf)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
