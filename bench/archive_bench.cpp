// Backup and restore of the large database, timed next to Info-ZIP's zip -9 and unzip on the
// same files: the archive is deflated at the same level, so the tools set the pace.
//
// On the database of make-large-db when it exists ($NEROVA_BENCH_DB), otherwise on five
// generated files of about the same sizes (about 220 MB) whose rows repeat as table rows
// do. The backup and the restore run through their windows, offscreen, worker and all.

#include "BenchSupport.h"

#include "backup/BackupFrm.h"
#include "backup/RestoreFrm.h"

#include <QApplication>
#include <QFileInfo>
#include <QRandomGenerator>

#include <sys/resource.h>
#include <sys/wait.h>

namespace nerova::bench {
namespace {

QString scratch() {
    static const QString dir = [] {
        const QString d = QDir::tempPath() + QStringLiteral("/nerova-bench-archive-") +
                          QString::number(::getpid());
        QDir().mkpath(d);
        return d;
    }();
    return dir;
}

// Rows of text and numbers, the same few hundred names and cities over and over: table data
// deflates about as well.
void generateFile(const QString& path, qint64 bytes, quint32 seed) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + path.toStdString());
    QRandomGenerator random(seed);
    QByteArray block;
    while (f.size() < bytes) {
        block.clear();
        for (int i = 0; i < 2000; ++i) {
            const quint32 n = random.bounded(500u);
            block +=
                "COMPANY-" + QByteArray::number(n) + "\tMAIN PLANT " + QByteArray::number(n % 37) +
                "\tFP-" + QByteArray::number(random.bounded(60u)) + "\t" +
                QByteArray::number(random.bounded(100000u)) + "\t" +
                QByteArray::number(random.generateDouble() * 1500.0, 'f', 1) + "\tHarrisburg PA\t";
            char raw[24];
            for (char& c : raw)
                c = static_cast<char>(random.bounded(256u));
            block.append(raw, sizeof raw);
        }
        f.write(block);
    }
}

// The folder whose five table files are archived.
QString sourceDir() {
    static const QString dir = [] {
        if (haveDb())
            return dataDir();
        const QString d = scratch() + QStringLiteral("/generated");
        QDir().mkpath(d);
        const qint64 mb = 1024 * 1024;
        const qint64 sizes[] = {2 * mb, 6 * mb, 22 * mb, 150 * mb, 40 * mb};
        for (TableId id : kAllTables)
            generateFile(QDir(d).filePath(tableDef(id).fileName()), sizes[static_cast<int>(id)],
                         static_cast<quint32>(id) + 1);
        return d;
    }();
    return dir;
}

QStringList tableFiles() {
    QStringList out;
    for (TableId id : kAllTables)
        out << QDir(sourceDir()).filePath(tableDef(id).fileName());
    return out;
}

// Runs a tool and answers its CPU time in seconds (its own and its children's).
double runTool(const QStringList& args, const QString& cwd = {}) {
    rusage before{};
    getrusage(RUSAGE_CHILDREN, &before);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!cwd.isEmpty() && ::chdir(QFile::encodeName(cwd).constData()) != 0)
            ::_exit(127);
        std::vector<QByteArray> keep;
        std::vector<char*> argv;
        for (const QString& a : args)
            keep.push_back(QFile::encodeName(a));
        for (QByteArray& k : keep)
            argv.push_back(k.data());
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("tool failed: " + args.join(' ').toStdString());
    rusage after{};
    getrusage(RUSAGE_CHILDREN, &after);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) -
           seconds(before.ru_stime);
}

// Answers what the windows ask: the folder and file chosen, YES, and the closing notice.
class BenchPrompt final : public Prompt {
public:
    QString folder;
    QString file;
    Button message(Kind kind, const QString& text, const QList<Button>& buttons,
                   const QString&) override {
        if (kind != Kind::Information) {
            std::fprintf(stderr, "unexpected message box: %s\n", qPrintable(text));
            std::abort();
        }
        return buttons.value(0, Button::Ok);
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override {
        return QStringLiteral("YES");
    }
    QString openFile(const QString&, const QString&, const QStringList&, const QString&,
                     const QString&) override {
        return file;
    }
    QString saveFile(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString browseFolder(const QString&, const QString&, const QString&) override { return folder; }
    int runDialog(QDialog&) override { return 0; }
};

qint64 totalBytes() {
    qint64 n = 0;
    for (const QString& f : tableFiles())
        n += QFileInfo(f).size();
    return n;
}

QString ourArchive() {
    return scratch() + QStringLiteral("/out/NRVA2002DataBackup.zip");
}
QString zipArchive() {
    return scratch() + QStringLiteral("/zip/NRVA2002DataBackup.zip");
}

// CPU seconds of this process, every thread (the benchmark's own CPU column counts only
// the thread that waits for the worker).
double processCpu() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec +
           u.ru_stime.tv_usec / 1e6;
}

// cpu: seconds of CPU the timed work took, ours or the tool's.
void report(benchmark::State& state, double cpu) {
    state.SetBytesProcessed(state.iterations() * totalBytes());
    state.counters["all_cpu_s"] = cpu;
}

void BM_Backup(benchmark::State& state) {
    BenchPrompt prompt;
    Prompt::install(&prompt);
    prompt.folder = QFileInfo(ourArchive()).absolutePath();
    QDir().mkpath(prompt.folder);
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(ourArchive());
        TBackupFrm frm(sourceDir());
        frm.ChangeButtonClick();
        const double before = processCpu();
        state.ResumeTiming();
        frm.BackupButtonClick();
        state.PauseTiming();
        cpu += processCpu() - before;
        state.ResumeTiming();
        if (frm.result() != QDialog::Accepted)
            state.SkipWithError("the backup did not finish");
    }
    Prompt::install(nullptr);
    report(state, cpu);
}
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();

void BM_Backup_anchor(benchmark::State& state) {
    QDir().mkpath(QFileInfo(zipArchive()).absolutePath());
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(zipArchive());
        state.ResumeTiming();
        cpu += runTool(QStringList{"zip", "-9", "-q", "-j", zipArchive()} << tableFiles());
    }
    report(state, cpu);
}
BENCHMARK(BM_Backup_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

// Restores our archive into an empty folder: extraction, the table check of every file and
// the renames into place.
void BM_Restore(benchmark::State& state) {
    BenchPrompt prompt;
    Prompt::install(&prompt);
    if (!QFile::exists(ourArchive())) {
        state.SkipWithError("run BM_Backup first");
        return;
    }
    prompt.file = ourArchive();
    const QString into = scratch() + QStringLiteral("/restored");
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(into).removeRecursively();
        QDir().mkpath(into);
        TRestoreFrm frm(into);
        const double before = processCpu();
        state.ResumeTiming();
        if (!frm.RunRestore())
            state.SkipWithError("the restore did not finish");
        state.PauseTiming();
        cpu += processCpu() - before;
        state.ResumeTiming();
    }
    Prompt::install(nullptr);
    report(state, cpu);
}
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();

void BM_Restore_anchor(benchmark::State& state) {
    const QString into = scratch() + QStringLiteral("/unzipped");
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(into).removeRecursively();
        QDir().mkpath(into);
        state.ResumeTiming();
        cpu += runTool({"unzip", "-q", "-o", zipArchive(), "-d", into});
    }
    report(state, cpu);
}
BENCHMARK(BM_Restore_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

} // namespace
} // namespace nerova::bench

int main(int argc, char** argv) {
    using namespace nerova::bench;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says this of every window shown; it is no figure.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (!text.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("archiving %s: %.1f MB in five files%s\n", qPrintable(sourceDir()),
                static_cast<double>(totalBytes()) / (1024.0 * 1024.0),
                haveDb() ? "" : " (generated: no benchmark database)");
    AnchorReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    QDir(scratch()).removeRecursively();
    return 0;
}
