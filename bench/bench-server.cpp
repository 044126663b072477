// bench-server start FOLDER [DIR] [--reload]: a PostgreSQL server of the benchmarks' own, in
// FOLDER (made there on first use, reached only through a Unix socket in FOLDER), holding the
// large database of make-large-db DIR (default /tmp/nerova-large) in its database
// "nerova_large". The server keeps running after this program ends, so the benchmark
// programs can all measure on it; the rows are copied only when the server's tables do not
// already hold as many rows as the files (or with --reload). Prints the connection for
// NEROVA_BENCH_SERVER.
//
// bench-server stop FOLDER: stops that server; its data stay for the next start.

#include "LargeDb.h"

#include "data/Database.h"
#include "data/DatabaseCopy.h"
#include "data/EngineError.h"
#include "data/Statement.h"
#include "support/PgCluster.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <cstring>
#include <libpq-fe.h>
#include <memory>
#include <stdexcept>
#include <string>

using namespace nerova;
using nerova::test::PgCluster;

namespace {

constexpr const char* kDatabase = "nerova_large";

struct ConnFree {
    void operator()(PGconn* c) const noexcept { PQfinish(c); }
};
using Conn = std::unique_ptr<PGconn, ConnFree>;

Conn connect(const QString& uri) {
    Conn conn(PQconnectdb(uri.toUtf8().constData()));
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw std::runtime_error(std::string("cannot connect: ") + PQerrorMessage(conn.get()));
    return conn;
}

void exec(PGconn* conn, const char* sql) {
    PGresult* r = PQexec(conn, sql);
    const ExecStatusType status = PQresultStatus(r);
    PQclear(r);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error(std::string(sql) + ": " + PQerrorMessage(conn));
}

bool databaseExists(PGconn* conn) {
    const char* values[] = {kDatabase};
    PGresult* r = PQexecParams(conn, "SELECT 1 FROM pg_database WHERE datname = $1", 1, nullptr,
                               values, nullptr, nullptr, 0);
    const bool exists = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1;
    PQclear(r);
    return exists;
}

qint64 rows(Database& db, TableId id) {
    if (!db.tablePresent(id))
        return -1;
    db.acquire(id);
    const auto st =
        db.prepared(QStringLiteral("SELECT count(*) FROM %1").arg(db.qualifiedName(id)));
    const qint64 n = st->step() ? st->int64(0) : -1;
    st->reset();
    db.release(id);
    return n;
}

// True when every table of the server holds as many rows as the file database's.
bool sameCounts(Database& files, Database& server) {
    for (const TableId id : kAllTables)
        if (rows(server, id) != rows(files, id))
            return false;
    return true;
}

int start(const QString& folder, const QString& dir, bool reload) {
    const QString dataDir = dir + QStringLiteral("/data");
    if (!QFile::exists(dir + QStringLiteral("/aliases.ini"))) {
        std::fprintf(stderr, "bench-server: no database in %s: run make-large-db %s first\n",
                     qPrintable(dir), qPrintable(dir));
        return 1;
    }
    const std::unique_ptr<PgCluster> cluster = PgCluster::persistent(folder);
    if (!cluster->available()) {
        std::fprintf(stderr, "bench-server: %s\n", qPrintable(cluster->skipReason()));
        return 1;
    }
    {
        const Conn admin = connect(cluster->uriFor(QStringLiteral("postgres")));
        if (!databaseExists(admin.get()))
            exec(admin.get(), "CREATE DATABASE nerova_large");
    }
    const QString uri = cluster->uriFor(QString::fromLatin1(kDatabase));
    {
        Database files(dir + QStringLiteral("/aliases.ini"), dataDir);
        Database server(DataLocation{true, {}, uri});
        if (reload || !sameCounts(files, server)) {
            std::printf("Copying %s into the server …\n", qPrintable(dataDir));
            std::fflush(stdout);
            QElapsedTimer clock;
            clock.start();
            copyDatabase(files, server, CopyMode::Replace);
            std::printf("Copied in %.1f s\n", double(clock.elapsed()) / 1000.0);
        } else {
            std::printf("The server already holds the database of %s\n", qPrintable(dataDir));
        }
    }
    // Fresh statistics and everything on disk: the planner sees the real tables, and a copy
    // made from this database as a template starts from flushed files.
    const Conn conn = connect(uri);
    exec(conn.get(), "VACUUM (ANALYZE)");
    exec(conn.get(), "CHECKPOINT");
    std::printf("Server in %s, running.\nexport NEROVA_BENCH_SERVER='%s'\n", qPrintable(folder),
                qPrintable(uri));
    return 0;
}

int usage() {
    std::fprintf(stderr, "usage: bench-server start FOLDER [DIR] [--reload]\n"
                         "       bench-server stop FOLDER\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return usage();
    const QString command = QString::fromLocal8Bit(argv[1]);
    const QString folder = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    try {
        if (command == QLatin1String("stop")) {
            // Only a running server is looked at, so stopping never starts one first.
            if (!QFile::exists(folder + QStringLiteral("/data/postmaster.pid"))) {
                std::fprintf(stderr, "bench-server: no server running in %s\n", qPrintable(folder));
                return 1;
            }
            PgCluster::persistent(folder)->stopServer();
            std::printf("Stopped the server in %s\n", qPrintable(folder));
            return 0;
        }
        if (command != QLatin1String("start"))
            return usage();
        QString dir = QStringLiteral("/tmp/nerova-large");
        bool reload = false;
        for (int i = 3; i < argc; ++i) {
            if (std::strcmp(argv[i], "--reload") == 0)
                reload = true;
            else
                dir = QDir(QString::fromLocal8Bit(argv[i])).absolutePath();
        }
        return start(folder, dir, reload);
    } catch (const EngineError& e) {
        std::fprintf(stderr, "bench-server: %s\n", qPrintable(e.text()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench-server: %s\n", e.what());
    }
    return 1;
}
