#pragma once

#include <QString>
#include <QStringList>
#include <memory>
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

    // A cluster in a folder of the caller's that outlives this process, for the benchmarks'
    // large database (loading it takes a while): made when the folder holds none, started
    // when it is not running, and left running when this object goes. Unlike the shared
    // one it keeps the server's usual durability (fsync, synchronous commit), so that what
    // is measured on it compares with a file database writing synchronously.
    static std::unique_ptr<PgCluster> persistent(const QString& folder);
    // Stops the server of a persistent cluster; its data stay in the folder.
    void stopServer();
    // Stops the server and starts it again, as an office server's restart does: the server
    // closes every connection. False when it did not come back.
    bool restartServer();

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
    explicit PgCluster(const QString& persistentFolder = {});
    void start(const QString& persistentFolder);
    bool setOwner();
    bool initAndStart();
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
    pid_t m_owner = 0; // the process that made the cluster (a fork must not stop it)
    bool m_persistent = false;
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
