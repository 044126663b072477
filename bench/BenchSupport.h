#pragma once

// What the benchmark programs share: where the large database is, a plain SQLite
// connection for the anchors (the same work without our layers), a prompt that never
// blocks, file copies for the benchmarks that change the data, and the peak memory.

#include "LargeDb.h"

#include "data/Database.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "data/TableChain.h"
#include "data/TablesExistCreate.h"
#include "prompt/Prompt.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace nerova::bench {

// The folder make-large-db wrote: $NEROVA_BENCH_DB, else /tmp/nerova-large.
inline QString dbDir() {
    const char* env = std::getenv("NEROVA_BENCH_DB");
    return QString::fromLocal8Bit(env && *env ? env : "/tmp/nerova-large");
}
inline QString registryPath(const QString& dir = dbDir()) {
    return dir + QStringLiteral("/aliases.ini");
}
inline QString dataDir(const QString& dir = dbDir()) {
    return dir + QStringLiteral("/data");
}

inline bool haveDb() {
    return QDir(dataDir()).exists(tableDef(TableId::Test).fileName()) &&
           QFile::exists(registryPath());
}

// Skips the benchmark when the database has not been made; true when it may run.
// The chain positioned on the pump with 50 tests.
inline bool gotoFiftyPump(TableChain& chain) {
    return chain.company.locate({QStringLiteral("CompanyID")},
                                {QString::fromLatin1(kFiftyCompany)}) &&
           chain.location.locate({QStringLiteral("LocationID")},
                                 {QString::fromLatin1(kFiftyLocation)}) &&
           chain.pump.locate({QStringLiteral("PumpID")}, {QString::fromLatin1(kFiftyPump)});
}

inline bool requireDb(benchmark::State& state) {
    if (haveDb())
        return true;
    state.SkipWithError(
        qPrintable(QStringLiteral("no database in %1: run make-large-db %1 first (or set "
                                  "NEROVA_BENCH_DB)")
                       .arg(dbDir())));
    return false;
}

// Peak resident memory of this process so far, in MB.
inline double peakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// A prompt for programs that must never block: any box is an error of the benchmark.
class FailingPrompt final : public Prompt {
public:
    Button message(Kind, const QString& text, const QList<Button>&, const QString&) override {
        std::fprintf(stderr, "unexpected message box: %s\n", qPrintable(text));
        std::abort();
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFile(const QString&, const QString&, const QStringList&, const QString&,
                     const QString&) override {
        return {};
    }
    QString saveFile(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString browseFolder(const QString&, const QString&, const QString&) override { return {}; }
    int runDialog(QDialog&) override { return 0; }
};

// The table check's progress window, without a window.
class NoProgress final : public TablesProgress {
public:
    void setCaption(const QString&) override {}
    void setLabel(const QString&) override {}
    void showWindow() override {}
    void hideWindow() override {}
    void setBusy(bool) override {}
};

// ---- anchors: plain SQLite -----------------------------------------------------------------

// One prepared statement of the anchor connection.
class RawStatement {
public:
    RawStatement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &m_stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db) + (": " + sql));
    }
    ~RawStatement() { sqlite3_finalize(m_stmt); }
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;

    RawStatement& reset() {
        sqlite3_reset(m_stmt);
        return *this;
    }
    RawStatement& bind(int i, const std::string& text) {
        sqlite3_bind_text(m_stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    RawStatement& bind(int i, sqlite3_int64 v) {
        sqlite3_bind_int64(m_stmt, i, v);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(sqlite3_db_handle(m_stmt)));
        return false;
    }
    std::string text(int col) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, col)))
                 : std::string();
    }
    sqlite3_int64 int64(int col) const { return sqlite3_column_int64(m_stmt, col); }
    // Reads every column of the current row the way a cursor would: numbers as numbers,
    // text copied out. Answers a checksum so the compiler keeps the reads.
    std::size_t readRow() const {
        std::size_t sum = 0;
        const int n = sqlite3_column_count(m_stmt);
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(m_stmt, i)) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
                sum += static_cast<std::size_t>(sqlite3_column_int64(m_stmt, i));
                break;
            case SQLITE_FLOAT:
                sum += static_cast<std::size_t>(sqlite3_column_double(m_stmt, i));
                break;
            default:
                sum += text(i).size();
                break;
            }
        }
        return sum;
    }
    sqlite3_stmt* handle() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// A connection like the engine's: a main file in the data folder with the five table files
// attached under the same schema names, rollback journal, synchronous FULL.
class RawConnection {
public:
    explicit RawConnection(const QString& data = dataDir()) {
        const std::string main =
            QDir(data).filePath(QStringLiteral("NRVA2002main.db")).toStdString();
        if (sqlite3_open_v2(main.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + main);
        exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
        for (TableId id : kAllTables) {
            const TableDef& def = tableDef(id);
            const std::string path = QDir(data).filePath(def.fileName()).toStdString();
            exec("ATTACH DATABASE '" + path + "' AS " + def.name);
            exec(std::string("PRAGMA ") + def.name + ".journal_mode=DELETE");
            exec(std::string("PRAGMA ") + def.name + ".synchronous=FULL");
        }
    }
    ~RawConnection() { sqlite3_close_v2(m_db); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    void exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            const std::string msg = err ? err : "error";
            sqlite3_free(err);
            throw std::runtime_error(msg + ": " + sql);
        }
    }
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

// "schema"."NRVA2002test" as the engine spells it.
inline std::string qualified(TableId id) {
    const TableDef& def = tableDef(id);
    return std::string(def.name) + ".\"" + def.baseName + "\"";
}

// "CompanyID" = ?1 AND "LocationID" = ?2 … for the first `count` key columns.
inline std::string keyWhere(TableId id, int count) {
    std::string where;
    const TableDef& def = tableDef(id);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            where += " AND ";
        where += std::string("\"") + def.columns[static_cast<std::size_t>(i)].name + "\" = ?" +
                 std::to_string(i + 1);
    }
    return where;
}

inline std::string keyOrder(TableId id) {
    std::string order;
    const TableDef& def = tableDef(id);
    for (int i = 0; i < def.keyCount; ++i) {
        if (i > 0)
            order += ", ";
        order += std::string("\"") + def.columns[static_cast<std::size_t>(i)].name + "\"";
    }
    return order;
}

// ---- copies of the database for benchmarks that change it ---------------------------------

// Copies the table files (and nothing else) of one data folder into another and flushes
// them to disk, so that a timed commit does not pay for writing the copy.
inline void copyTables(const QString& from, const QString& to) {
    namespace fs = std::filesystem;
    fs::create_directories(to.toStdString());
    for (const char* stale : {"NRVA2002main.db-journal", "NRVA2002main.db"})
        fs::remove(fs::path(to.toStdString()) / stale);
    for (TableId id : kAllTables) {
        const fs::path src = fs::path(from.toStdString()) / tableDef(id).fileName().toStdString();
        const fs::path dst = fs::path(to.toStdString()) / tableDef(id).fileName().toStdString();
        fs::remove(dst.string() + "-journal");
        fs::copy_file(src, dst, fs::copy_options::overwrite_existing);
        const int fd = ::open(dst.c_str(), O_RDONLY);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
}

// Writes an alias registry for a data folder; answers its path.
inline QString writeRegistry(const QString& dir, const QString& data) {
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/aliases.ini");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        f.write(QStringLiteral("[NRVA2002]\nPATH=%1\n").arg(data).toUtf8());
    return path;
}

// ---- reporting ------------------------------------------------------------------------------

// The console report, followed by a summary that puts every figure next to its anchor
// (the benchmark of the same name ending in "_anchor") with the ratio between them. With
// repetitions the medians are compared, otherwise the single runs. Wall-clock and CPU time
// are both shown: on a machine shared with other work the CPU time is the steadier one.
class AnchorReporter final : public benchmark::ConsoleReporter {
public:
    AnchorReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            const bool single = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
            if (!median && !single)
                continue;
            const double toMs = 1e3 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            std::string name = r.run_name.function_name;
            if (!r.run_name.args.empty())
                name += "/" + r.run_name.args;
            if (m_figures.find(name) == m_figures.end())
                m_order.push_back(name);
            m_figures[name] = {r.GetAdjustedRealTime() * toMs, r.GetAdjustedCPUTime() * toMs};
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::ostream& out = GetOutputStream();
        char line[256];
        std::snprintf(line, sizeof line, "\n%-26s %11s %11s %11s %11s %7s %7s\n",
                      "figure (medians)", "wall ms", "cpu ms", "anchor wall", "anchor cpu",
                      "x wall", "x cpu");
        out << line;
        for (const std::string& name : m_order) {
            if (name.size() > 7 && name.compare(name.size() - 7, 7, "_anchor") == 0)
                continue;
            const Figure f = m_figures[name];
            const auto anchor = m_figures.find(name + "_anchor");
            if (anchor == m_figures.end()) {
                std::snprintf(line, sizeof line, "%-26s %11.4f %11.4f %11s %11s %7s %7s\n",
                              name.c_str(), f.wall, f.cpu, "-", "-", "-", "-");
            } else {
                const Figure a = anchor->second;
                std::snprintf(line, sizeof line, "%-26s %11.4f %11.4f %11.4f %11.4f %7.1f %7.1f\n",
                              name.c_str(), f.wall, f.cpu, a.wall, a.cpu,
                              a.wall > 0 ? f.wall / a.wall : 0.0, a.cpu > 0 ? f.cpu / a.cpu : 0.0);
            }
            out << line;
        }
        serverSummary(out);
        std::snprintf(line, sizeof line, "peak resident memory of this program: %.1f MB\n",
                      peakMegabytes());
        out << line << std::flush;
    }

private:
    struct Figure {
        double wall = 0;
        double cpu = 0;
    };

    // Each figure on the office database (named "…_server") next to the same figure on the
    // file database and to its plain-libpq anchor, in wall-clock time: the server's own work
    // is done in its processes, outside this program's CPU time.
    void serverSummary(std::ostream& out) {
        static const std::string suffix = "_server";
        bool header = false;
        char line[256];
        for (const std::string& name : m_order) {
            if (name.size() <= suffix.size() ||
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            if (!header) {
                std::snprintf(line, sizeof line, "\n%-26s %11s %11s %9s %11s %9s\n",
                              "server (medians, wall)", "server ms", "file ms", "x file",
                              "libpq ms", "x libpq");
                out << line;
                header = true;
            }
            const Figure f = m_figures[name];
            const auto file = m_figures.find(name.substr(0, name.size() - suffix.size()));
            const auto anchor = m_figures.find(name + "_anchor");
            char fileMs[32] = "-", fileX[32] = "-", anchorMs[32] = "-", anchorX[32] = "-";
            if (file != m_figures.end() && file->second.wall > 0) {
                std::snprintf(fileMs, sizeof fileMs, "%.4f", file->second.wall);
                std::snprintf(fileX, sizeof fileX, "%.1f", f.wall / file->second.wall);
            }
            if (anchor != m_figures.end() && anchor->second.wall > 0) {
                std::snprintf(anchorMs, sizeof anchorMs, "%.4f", anchor->second.wall);
                std::snprintf(anchorX, sizeof anchorX, "%.1f", f.wall / anchor->second.wall);
            }
            std::snprintf(line, sizeof line, "%-26s %11.4f %11s %9s %11s %9s\n", name.c_str(),
                          f.wall, fileMs, fileX, anchorMs, anchorX);
            out << line;
        }
    }
    std::map<std::string, Figure> m_figures;
    std::vector<std::string> m_order;
};

// The main of every benchmark program.
inline int runBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!haveDb())
        std::printf("No benchmark database in %s: run make-large-db %s first (or set "
                    "NEROVA_BENCH_DB). Benchmarks skipped.\n",
                    qPrintable(dbDir()), qPrintable(dbDir()));
    const char* server = std::getenv("NEROVA_BENCH_SERVER");
    if (!server || !*server)
        std::printf("NEROVA_BENCH_SERVER is not set: the benchmarks on the office database "
                    "(\"_server\") are skipped; bench-server start <folder> prints it.\n");
    AnchorReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace nerova::bench
