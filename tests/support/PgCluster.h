#pragma once

#include <QString>
#include <QStringList>
#include <mutex>
#include <sys/types.h>

struct pg_conn;

namespace nerova::test {

// A PostgreSQL server of this process's own, for tests and benchmarks of the office-database
// engine: a fresh cluster in a short folder under /tmp, reached only through a Unix socket in
// that folder (no TCP, so nothing else on the machine is touched or clashes with it), with
// the trusted user "nerova". Started on first use; stopped and removed when the process
// exits normally. A watchdog process removes it too when this process dies any other way.
class PgCluster {
public:
    static PgCluster& shared();

    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // False, with the reason, when the server programs are missing or the cluster did not
    // start; a test turns the reason into a skip or a failure.
    bool available() const { return m_available; }
    QString skipReason() const { return m_skipReason; }

    // The folder holding the cluster and its socket.
    QString folder() const { return m_folder; }

    // A new empty database with a name of its own; returns its connection URI. Throws
    // std::runtime_error when the cluster is not available or the server refuses.
    QString createDatabase();
    // postgresql:///<db>?host=<folder>&port=5432&user=nerova
    QString uriFor(const QString& db) const;
    // The database name a URI of uriFor() names.
    static QString databaseOf(const QString& uri);
    // Drops the database, closing any connection still open to it. Throws
    // std::runtime_error when the server refuses.
    void dropDatabase(const QString& db);

private:
    PgCluster();
    void start();
    void stop() noexcept;
    void startWatchdog();
    // Runs a server program with its output in <folder>/<outputName>, as the cluster's
    // owner; returns its exit status (-1 when it could not run).
    int run(const QString& program, const QStringList& args, const QString& outputName);
    QString tailOf(const QString& fileName) const;
    pg_conn* admin(); // the connection to the "postgres" database, opened on first use

    bool m_available = false;
    QString m_skipReason;
    QString m_folder;
    QString m_bindir;
    pid_t m_owner = 0;       // the process that made the cluster (a fork must not stop it)
    bool m_dropUser = false; // running as root: the server runs as "nobody"
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    pid_t m_watchdog = -1;
    int m_watchdogFd = -1;
    int m_next = 0;
    pg_conn* m_admin = nullptr;
    std::mutex m_mutex;
};

} // namespace nerova::test
