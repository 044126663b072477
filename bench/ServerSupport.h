#pragma once

// The office database in the benchmarks: the server bench-server keeps running with the large
// database loaded, named by $NEROVA_BENCH_SERVER, and the plain-libpq anchors measured beside
// the engine on it (the same work as bare prepared statements on the same server and tables).
//
// A server figure is the wall-clock time: the server's own work happens in its processes, so
// the CPU time of the benchmark program leaves most of it out.

#include "Anchors.h"
#include "support/LatencyProxy.h"

#include <QCoreApplication>
#include <libpq-fe.h>

#include <memory>
#include <string>
#include <vector>

namespace nerova::bench {

// The latency proxy in front of the benchmark server when $NEROVA_BENCH_RTT_MS is set (a
// round-trip time in milliseconds, 0 included): the server is then as far away as a network
// would put it, and the proxy counts the round trips. Null without the variable.
inline test::LatencyProxy* latencyProxy() {
    static const std::unique_ptr<test::LatencyProxy> proxy =
        []() -> std::unique_ptr<test::LatencyProxy> {
        const char* rtt = std::getenv("NEROVA_BENCH_RTT_MS");
        const char* env = std::getenv("NEROVA_BENCH_SERVER");
        if (!rtt || !*rtt || !env || !*env)
            return nullptr;
        QString host;
        QString port = QStringLiteral("5432");
        PQconninfoOption* options = PQconninfoParse(env, nullptr);
        for (PQconninfoOption* o = options; o && o->keyword; ++o) {
            if (qstrcmp(o->keyword, "host") == 0 && o->val)
                host = QString::fromUtf8(o->val);
            if (qstrcmp(o->keyword, "port") == 0 && o->val && *o->val)
                port = QString::fromUtf8(o->val);
        }
        PQconninfoFree(options);
        auto made = std::make_unique<test::LatencyProxy>(
            test::LatencyProxy::pgSocketIn(host, port.toInt()), std::atof(rtt));
        if (!made->available()) {
            std::fprintf(stderr, "latency proxy: %s\n", qPrintable(made->failure()));
            return nullptr;
        }
        std::printf("Through the latency proxy: %s ms round trip.\n", rtt);
        return made;
    }();
    return proxy.get();
}

// The connection URI of the benchmark server (through the latency proxy when one is asked
// for), or empty.
inline QString serverUri() {
    const char* env = std::getenv("NEROVA_BENCH_SERVER");
    const QString direct = QString::fromLocal8Bit(env ? env : "");
    if (test::LatencyProxy* proxy = latencyProxy())
        return proxy->uriThrough(direct);
    return direct;
}

// Round trips per iteration as a counter of the benchmark, when the proxy counts them: the
// timed work goes between begin() and end().
class RoundTrips {
public:
    void begin() {
        if (test::LatencyProxy* proxy = latencyProxy())
            m_start = proxy->roundTrips();
    }
    void end() {
        if (test::LatencyProxy* proxy = latencyProxy())
            m_total += proxy->roundTrips() - m_start;
    }
    void report(benchmark::State& state) const {
        if (latencyProxy())
            state.counters["round_trips"] =
                benchmark::Counter(m_total, benchmark::Counter::kAvgIterations);
    }

private:
    int m_start = 0;
    int m_total = 0;
};

inline bool requireServer(benchmark::State& state) {
    if (!serverUri().isEmpty())
        return true;
    state.SkipWithError("no benchmark server: run bench-server start <folder> and set "
                        "NEROVA_BENCH_SERVER to the connection it prints");
    return false;
}

// An alias registry whose NRVA2002 alias names the server, so the engine (and the window)
// open it as a user's alias would.
inline QString serverRegistry() {
    static const QString path = [] {
        const QString dir =
            QDir::tempPath() +
            QStringLiteral("/nerova-bench-server-%1").arg(QCoreApplication::applicationPid());
        QDir().mkpath(dir);
        const QString file = dir + QStringLiteral("/aliases.ini");
        QFile f(file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            f.write(QStringLiteral("[NRVA2002]\nCONNECTION=%1\n").arg(serverUri()).toUtf8());
        std::atexit([] {
            QDir(QDir::tempPath() +
                 QStringLiteral("/nerova-bench-server-%1").arg(QCoreApplication::applicationPid()))
                .removeRecursively();
        });
        return file;
    }();
    return path;
}

// The database the benchmark server's connection names.
inline QString serverDatabaseName() {
    PQconninfoOption* options = PQconninfoParse(serverUri().toUtf8().constData(), nullptr);
    QString name;
    for (PQconninfoOption* o = options; o && o->keyword; ++o)
        if (qstrcmp(o->keyword, "dbname") == 0 && o->val)
            name = QString::fromUtf8(o->val);
    PQconninfoFree(options);
    return name;
}

// The connection to another database of the benchmark server, as libpq's key=value text.
inline QString serverConnectionTo(const QString& database) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(serverUri().toUtf8().constData(), &error);
    PQfreemem(error);
    QStringList parts;
    for (PQconninfoOption* o = options; o && o->keyword; ++o) {
        const bool db = qstrcmp(o->keyword, "dbname") == 0;
        if (!db && !(o->val && *o->val))
            continue;
        QString value = db ? database : QString::fromUtf8(o->val);
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('\''), QLatin1String("\\'"));
        parts << QStringLiteral("%1='%2'").arg(QString::fromLatin1(o->keyword), value);
    }
    PQconninfoFree(options);
    return parts.join(QLatin1Char(' '));
}

// The engine's database on the server.
inline std::unique_ptr<Database> serverDatabase() {
    return std::make_unique<Database>(serverRegistry(), dataDir());
}

// ---- anchors: plain libpq ---------------------------------------------------------------------

// One connection of the anchors; throws std::runtime_error when the server refuses.
class PgRaw {
public:
    explicit PgRaw(const QString& uri = serverUri()) {
        m_conn = PQconnectdb(uri.toUtf8().constData());
        if (PQstatus(m_conn) != CONNECTION_OK)
            throw std::runtime_error(std::string("cannot connect: ") + PQerrorMessage(m_conn));
    }
    ~PgRaw() { PQfinish(m_conn); }
    PgRaw(const PgRaw&) = delete;
    PgRaw& operator=(const PgRaw&) = delete;

    void exec(const std::string& sql) {
        PGresult* r = PQexec(m_conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(r);
        PQclear(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw std::runtime_error(sql + ": " + PQerrorMessage(m_conn));
    }
    PGconn* handle() const { return m_conn; }
    std::string nextName() { return "anchor" + std::to_string(++m_statements); }

private:
    PGconn* m_conn = nullptr;
    int m_statements = 0;
};

// One prepared statement of an anchor connection, parameters as text.
class PgRawStatement {
public:
    PgRawStatement(PgRaw& conn, const std::string& sql, int params)
        : m_conn(conn.handle()), m_name(conn.nextName()),
          m_values(static_cast<std::size_t>(params)) {
        PGresult* r = PQprepare(m_conn, m_name.c_str(), sql.c_str(), 0, nullptr);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!ok)
            throw std::runtime_error(PQerrorMessage(m_conn) + (": " + sql));
    }
    ~PgRawStatement() { PQclear(m_result); }
    PgRawStatement(const PgRawStatement&) = delete;
    PgRawStatement& operator=(const PgRawStatement&) = delete;

    PgRawStatement& bind(int i, std::string text) {
        m_values[static_cast<std::size_t>(i - 1)] = std::move(text);
        return *this;
    }
    // Runs the statement; answers its number of rows.
    int exec() {
        PQclear(m_result);
        std::vector<const char*> values;
        for (const std::string& v : m_values)
            values.push_back(v.c_str());
        m_result = PQexecPrepared(m_conn, m_name.c_str(), static_cast<int>(values.size()),
                                  values.data(), nullptr, nullptr, 0);
        const ExecStatusType status = PQresultStatus(m_result);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
            throw std::runtime_error(PQerrorMessage(m_conn));
        return PQntuples(m_result);
    }
    std::string text(int row, int col) const {
        return std::string(PQgetvalue(m_result, row, col),
                           static_cast<std::size_t>(PQgetlength(m_result, row, col)));
    }
    // Reads every column of a row, text copied out; answers a checksum so that the compiler
    // keeps the reads.
    std::size_t readRow(int row) const {
        std::size_t sum = 0;
        for (int i = 0, n = PQnfields(m_result); i < n; ++i)
            if (!PQgetisnull(m_result, row, i))
                sum += text(row, i).size();
        return sum;
    }

private:
    PGconn* m_conn;
    std::string m_name;
    std::vector<std::string> m_values;
    PGresult* m_result = nullptr;
};

// The server's name of a table, and conditions in its numbered parameters.
inline std::string pgTable(TableId id) {
    return std::string("\"") + tableDef(id).baseName + "\"";
}
inline std::string pgKeyWhere(TableId id, int count) {
    std::string where;
    const TableDef& def = tableDef(id);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            where += " AND ";
        where += std::string("\"") + def.columns[static_cast<std::size_t>(i)].name + "\" = $" +
                 std::to_string(i + 1);
    }
    return where;
}

// The first row of each level below a company, as the file anchors read it: one indexed
// SELECT … LIMIT 1 per level, every column read.
class PgFirstRows {
public:
    explicit PgFirstRows(PgRaw& conn) {
        for (TableId id : {TableId::Location, TableId::Pump, TableId::Test, TableId::Flow}) {
            const int links = tableDef(id).keyCount - 1;
            m_levels.push_back(std::make_unique<PgRawStatement>(
                conn,
                "SELECT * FROM " + pgTable(id) + " WHERE " + pgKeyWhere(id, links) + " ORDER BY " +
                    keyOrder(id) + " LIMIT 1",
                links));
        }
    }
    std::size_t read(std::vector<std::string> key) {
        std::size_t sum = 0;
        for (auto& st : m_levels) {
            for (std::size_t i = 0; i < key.size(); ++i)
                st->bind(static_cast<int>(i + 1), key[i]);
            if (st->exec() == 0)
                break;
            sum += st->readRow(0);
            key.push_back(st->text(0, static_cast<int>(key.size())));
        }
        return sum;
    }

private:
    std::vector<std::unique_ptr<PgRawStatement>> m_levels;
};

// Start-up in plain libpq: connect, check the rights on the five tables, and read the first
// row of each level with one indexed SELECT.
inline void startupServerAnchor(benchmark::State& state) {
    if (!requireServer(state))
        return;
    for (auto _ : state) {
        auto conn = std::make_unique<PgRaw>();
        PgRawStatement rights(*conn,
                              "SELECT has_table_privilege(to_regclass($1), 'SELECT, INSERT, "
                              "UPDATE, DELETE')",
                              1);
        for (TableId id : kAllTables)
            if (rights.bind(1, pgTable(id)).exec() != 1 || rights.text(0, 0) != "t")
                state.SkipWithError("a table is missing");
        PgRawStatement company(
            *conn, "SELECT * FROM " + pgTable(TableId::Company) + " ORDER BY \"CompanyID\" LIMIT 1",
            0);
        std::size_t sum = 0;
        if (company.exec() == 1) {
            sum += company.readRow(0);
            sum += PgFirstRows(*conn).read({company.text(0, 0)});
        }
        benchmark::DoNotOptimize(sum);
        state.PauseTiming();
        conn.reset();
        state.ResumeTiming();
    }
}

// A company Next in plain libpq: the next company by its key, then the first row of each
// level below it.
inline void companyNextServerAnchor(benchmark::State& state) {
    if (!requireServer(state))
        return;
    PgRaw conn;
    PgRawStatement company(conn,
                           "SELECT * FROM " + pgTable(TableId::Company) +
                               " WHERE \"CompanyID\" > $1 ORDER BY \"CompanyID\" LIMIT 1",
                           1);
    PgFirstRows details(conn);
    std::string current;
    std::size_t sum = 0;
    for (auto _ : state) {
        if (company.bind(1, current).exec() == 0) {
            state.PauseTiming();
            current.clear();
            state.ResumeTiming();
            continue;
        }
        sum += company.readRow(0);
        current = company.text(0, 0);
        sum += details.read({current});
    }
    benchmark::DoNotOptimize(sum);
}

// A test Next in plain libpq: the pump's next test by its key, then its first flow row.
inline void testNextServerAnchor(benchmark::State& state) {
    if (!requireServer(state))
        return;
    PgRaw conn;
    PgRawStatement test(conn,
                        "SELECT * FROM " + pgTable(TableId::Test) + " WHERE " +
                            pgKeyWhere(TableId::Test, 3) + " AND \"TestID\" > $4 ORDER BY " +
                            keyOrder(TableId::Test) + " LIMIT 1",
                        4);
    PgRawStatement flow(conn,
                        "SELECT * FROM " + pgTable(TableId::Flow) + " WHERE " +
                            pgKeyWhere(TableId::Flow, 4) + " ORDER BY " + keyOrder(TableId::Flow) +
                            " LIMIT 1",
                        4);
    test.bind(1, kFiftyCompany).bind(2, kFiftyLocation).bind(3, kFiftyPump);
    flow.bind(1, kFiftyCompany).bind(2, kFiftyLocation).bind(3, kFiftyPump);
    std::string current;
    std::size_t sum = 0;
    for (auto _ : state) {
        if (test.bind(4, current).exec() == 0) {
            state.PauseTiming();
            current.clear();
            state.ResumeTiming();
            continue;
        }
        sum += test.readRow(0);
        current = test.text(0, 3);
        if (flow.bind(4, current).exec() > 0)
            sum += flow.readRow(0);
    }
    benchmark::DoNotOptimize(sum);
}

} // namespace nerova::bench
