// The import of the former program's tables, on the large database written out as old-style
// tables by make-old-tables, beside its anchor: the same files read with pxlib alone, every
// record fetched and every field decoded, with nothing checked, converted or written.

#include "BenchSupport.h"

#include "data/DatabaseCopy.h"
#include "olddata/OldData.h"
#include "olddata/PxLib.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace nerova::bench {
namespace {

QString oldDir() {
    const char* env = std::getenv("NEROVA_BENCH_OLD");
    return env && *env ? QString::fromLocal8Bit(env) : dbDir() + QStringLiteral("-old");
}

bool requireOld(benchmark::State& state) {
    if (QFile::exists(oldDir() + QStringLiteral("/NRVA2002Test.DB")))
        return true;
    state.SkipWithError(
        qPrintable(QStringLiteral("no old tables in %1: run make-old-tables first").arg(oldDir())));
    return false;
}

// Surveys the old tables and imports them into a new, empty folder database.
void BM_ImportOld(benchmark::State& state) {
    if (!requireOld(state))
        return;
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir target;
        Database db(DataLocation::fromText(target.path()));
        state.ResumeTiming();
        OldData data(oldDir());
        if (!data.survey().importable()) {
            state.SkipWithError(qPrintable(data.lastSurvey().problems().join('\n')));
            return;
        }
        rows = 0;
        for (const TableTally& t : data.importInto(db, CopyMode::RefuseRows))
            rows += t.rows;
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ImportOld)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

// The import step alone, as the window runs it after the user has read the survey and said
// Yes: the second reading of the files, the writing, and the check that reads everything
// back. The survey is made with the clock stopped.
void BM_ImportStep(benchmark::State& state) {
    if (!requireOld(state))
        return;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir target;
        Database db(DataLocation::fromText(target.path()));
        OldData data(oldDir());
        data.survey();
        state.ResumeTiming();
        data.importInto(db, CopyMode::RefuseRows);
    }
}
BENCHMARK(BM_ImportStep)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

// Every record of the five files read and every field decoded by pxlib. The memo files are
// given as copies one byte longer, made with the clock stopped (pxlib 0.6.8 aborts on a memo
// file of whole 4 KiB blocks).
void BM_ImportOld_anchor(benchmark::State& state) {
    if (!requireOld(state))
        return;
    QTemporaryDir scratch;
    std::size_t sum = 0;
    for (auto _ : state) {
        for (const TableId id : kAllTables) {
            const QString word = QString::fromLatin1(tableDef(id).label);
            const QString db =
                oldDir() + QStringLiteral("/NRVA2002") + word + QStringLiteral(".DB");
            const QString mb =
                oldDir() + QStringLiteral("/NRVA2002") + word + QStringLiteral(".mb");
            const QString copy = scratch.filePath(word + QStringLiteral(".mb"));
            if (QFile::exists(mb)) {
                state.PauseTiming();
                QFile::remove(copy);
                QFile::copy(mb, copy);
                QFile f(copy);
                f.open(QIODevice::Append);
                f.write("\0", 1);
                f.close();
                state.ResumeTiming();
            }
            pxdoc_t* doc = PX_new();
            PX_open_file(doc, QFile::encodeName(db).constData());
            if (QFile::exists(mb))
                PX_set_blob_file(doc, QFile::encodeName(copy).constData());
            const pxhead_t* h = doc->px_head;
            std::vector<char> record(static_cast<std::size_t>(h->px_recordsize));
            for (int r = 0; r < h->px_numrecords; ++r) {
                if (!PX_get_record(doc, r, record.data()))
                    continue;
                int offset = 0;
                for (int i = 0; i < h->px_numfields; ++i) {
                    const pxfield_t& f = h->px_fields[i];
                    char* at = record.data() + offset;
                    offset += f.px_flen;
                    bool blank = true;
                    for (int b = 0; b < f.px_flen && blank; ++b)
                        blank = at[b] == 0;
                    if (blank)
                        continue;
                    if (f.px_ftype == pxfAlpha) {
                        char* v = nullptr;
                        if (PX_get_data_alpha(doc, at, f.px_flen, &v) > 0 && v) {
                            sum += std::strlen(v);
                            doc->free(doc, v);
                        }
                    } else if (f.px_ftype == pxfMemoBLOb) {
                        int mod = 0;
                        int size = 0;
                        char* v = nullptr;
                        if (PX_get_data_blob(doc, at, f.px_flen, &mod, &size, &v) > 0 && v) {
                            sum += static_cast<std::size_t>(size);
                            doc->free(doc, v);
                        }
                    } else if (f.px_ftype == pxfNumber) {
                        double d = 0;
                        PX_get_data_double(doc, at, f.px_flen, &d);
                        sum += d != 0;
                    } else if (f.px_ftype == pxfLogical) {
                        char c = 0;
                        PX_get_data_byte(doc, at, f.px_flen, &c);
                        sum += static_cast<std::size_t>(c);
                    } else {
                        long l = 0;
                        PX_get_data_long(doc, at, f.px_flen, &l);
                        sum += static_cast<std::size_t>(l);
                    }
                }
            }
            PX_close(doc);
            PX_delete(doc);
        }
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_ImportOld_anchor)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

} // namespace
} // namespace nerova::bench

int main(int argc, char** argv) {
    using namespace nerova::bench;
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    PX_boot();
    std::printf("old tables in %s\n", qPrintable(oldDir()));
    AnchorReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
