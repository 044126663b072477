#include "support/PgCluster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <libpq-fe.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace nerova::test {

namespace {

// The port only names the socket file; the server listens on no TCP address.
constexpr const char* kPort = "5432";

bool hasServerPrograms(const QString& dir) {
    return !dir.isEmpty() && QFileInfo(dir + QStringLiteral("/initdb")).isExecutable() &&
           QFileInfo(dir + QStringLiteral("/pg_ctl")).isExecutable();
}

// pg_config may belong to a client library newer than the installed server, so its answer
// is checked, then the newest Debian server folder, then PATH.
QString findServerPrograms() {
    if (FILE* p = popen("pg_config --bindir 2>/dev/null", "r")) {
        char line[4096] = {};
        const bool read = std::fgets(line, sizeof line, p) != nullptr;
        pclose(p);
        const QString dir = read ? QString::fromLocal8Bit(line).trimmed() : QString();
        if (hasServerPrograms(dir))
            return dir;
    }
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList names = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.toDouble() > b.toDouble(); });
    for (const QString& v : names) {
        const QString dir = versions.filePath(v + QStringLiteral("/bin"));
        if (hasServerPrograms(dir))
            return dir;
    }
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    const QString dir = onPath.isEmpty() ? QString() : QFileInfo(onPath).absolutePath();
    return hasServerPrograms(dir) ? dir : QString();
}

// In a child after fork only async-signal-safe calls are allowed.
void dropPrivileges(bool drop, uid_t uid, gid_t gid) {
    if (drop && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0))
        _exit(126);
}

std::string encoded(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

void execOrThrow(PGconn* conn, const QString& sql) {
    PGresult* r = PQexec(conn, sql.toUtf8().constData());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    if (!ok)
        throw std::runtime_error(std::string("PostgreSQL: ") + PQerrorMessage(conn));
}

QString quotedIdentifier(PGconn* conn, const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    char* quoted = PQescapeIdentifier(conn, utf8.constData(), size_t(utf8.size()));
    if (!quoted)
        throw std::runtime_error(std::string("PostgreSQL: ") + PQerrorMessage(conn));
    const QString result = QString::fromUtf8(quoted);
    PQfreemem(quoted);
    return result;
}

} // namespace

PgCluster& PgCluster::shared() {
    // Destroyed on normal exit, which stops the server.
    static PgCluster cluster;
    return cluster;
}

PgCluster::PgCluster(const QString& persistentFolder) {
    start(persistentFolder);
}

PgCluster::~PgCluster() {
    stop();
}

std::unique_ptr<PgCluster> PgCluster::persistent(const QString& folder) {
    return std::unique_ptr<PgCluster>(new PgCluster(QDir(folder).absolutePath()));
}

// Running as root, the server runs as "nobody"; false (with the reason) when it cannot.
bool PgCluster::setOwner() {
    if (geteuid() != 0)
        return true;
    // The server refuses to run as root; it runs as "nobody" and the tests still reach it
    // through the socket.
    const passwd* pw = getpwnam("nobody");
    if (!pw) {
        m_skipReason = QStringLiteral("PostgreSQL does not run as root and there is no "
                                      "user \"nobody\" to run it as");
        return false;
    }
    const group* gr = getgrnam("nogroup");
    m_dropUser = true;
    m_uid = pw->pw_uid;
    m_gid = gr ? gr->gr_gid : pw->pw_gid;
    return true;
}

void PgCluster::start(const QString& persistentFolder) {
    m_owner = getpid();
    m_persistent = !persistentFolder.isEmpty();
    if (!setOwner())
        return;
    m_bindir = findServerPrograms();
    if (m_bindir.isEmpty()) {
        m_skipReason = QStringLiteral(
            "PostgreSQL server programs (initdb, pg_ctl) not found: looked in pg_config "
            "--bindir, /usr/lib/postgresql/*/bin and PATH (Debian package postgresql)");
        return;
    }
    if (m_persistent) {
        m_folder = persistentFolder;
        // The socket's path must fit the 107 bytes a Unix socket address holds.
        if (encoded(m_folder).size() > 80) {
            m_skipReason = QStringLiteral("The folder name %1 is too long for the server's "
                                          "socket; choose a shorter one")
                               .arg(m_folder);
            return;
        }
        if (!QDir().mkpath(m_folder)) {
            m_skipReason = QStringLiteral("Cannot make the folder %1").arg(m_folder);
            return;
        }
    } else {
        // Short, so that the socket path in it stays well under the length a Unix socket
        // allows.
        char folder[] = "/tmp/nerova-pg-XXXXXX";
        if (!mkdtemp(folder)) {
            m_skipReason = QStringLiteral("Cannot make a folder for the PostgreSQL cluster: %1")
                               .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_folder = QString::fromLocal8Bit(folder);
    }
    if (m_dropUser && chown(encoded(m_folder).c_str(), m_uid, m_gid) != 0) {
        m_skipReason = QStringLiteral("Cannot hand %1 to user \"nobody\": %2")
                           .arg(m_folder, QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    if (!m_persistent)
        startWatchdog();
    m_available = initAndStart();
}

bool PgCluster::initAndStart() {
    const QString data = m_folder + QStringLiteral("/data");
    const bool made = QFile::exists(data + QStringLiteral("/PG_VERSION"));
    int status = made ? 0
                      : run(QStringLiteral("initdb"),
                            {QStringLiteral("--no-sync"), QStringLiteral("-A"),
                             QStringLiteral("trust"), QStringLiteral("-U"),
                             QStringLiteral("nerova"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                             QStringLiteral("--locale=C"), QStringLiteral("-D"), data},
                            QStringLiteral("initdb.out"));
    if (status != 0) {
        m_skipReason = QStringLiteral("initdb failed (exit status %1):\n%2")
                           .arg(status)
                           .arg(tailOf(QStringLiteral("initdb.out")));
        return false;
    }
    // A persistent cluster may be running already from an earlier program.
    if (m_persistent &&
        run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data, QStringLiteral("status")},
            QStringLiteral("pg_ctl.out")) == 0)
        return true;
    QString options = QStringLiteral("-c listen_addresses='' -c unix_socket_directories='%1' -p %2")
                          .arg(m_folder, QLatin1String(kPort));
    if (!m_persistent)
        options +=
            QStringLiteral(" -c fsync=off -c synchronous_commit=off -c full_page_writes=off");
    status = run(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-w"), QStringLiteral("-D"), data, QStringLiteral("-l"),
                  m_folder + QStringLiteral("/log"), QStringLiteral("start"), QStringLiteral("-o"),
                  options},
                 QStringLiteral("pg_ctl.out"));
    if (status != 0) {
        m_skipReason =
            QStringLiteral("pg_ctl start failed (exit status %1):\n%2\n%3")
                .arg(status)
                .arg(tailOf(QStringLiteral("pg_ctl.out")), tailOf(QStringLiteral("log")));
        return false;
    }
    return true;
}

bool PgCluster::restartServer() {
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (m_admin) {
        PQfinish(m_admin);
        m_admin = nullptr;
    }
    // pg_ctl starts it again with the options it was started with.
    return run(QStringLiteral("pg_ctl"),
               {QStringLiteral("-w"), QStringLiteral("-D"), m_folder + QStringLiteral("/data"),
                QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-l"),
                m_folder + QStringLiteral("/log"), QStringLiteral("restart")},
               QStringLiteral("pg_ctl.out")) == 0;
}

void PgCluster::stopServer() {
    if (m_admin) {
        PQfinish(m_admin);
        m_admin = nullptr;
    }
    if (access(encoded(m_folder + QStringLiteral("/data/postmaster.pid")).c_str(), F_OK) == 0)
        run(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-m"),
             QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
            QStringLiteral("pg_ctl.out"));
    m_available = false;
}

// A process of its own that waits on a socket only this process holds. The socket closes
// however this process ends (a crash, an abort, a kill by the test runner's timeout); if the
// cluster's folder is still there then, the watchdog stops the server and removes it, so no
// server outlives its tests.
void PgCluster::startWatchdog() {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return;
    static const char script[] =
        "read -r _ <&3\n"
        "[ -f \"$1/data/postmaster.pid\" ] && \"$2\" -D \"$1/data\" -m immediate -w stop\n"
        "rm -rf \"$1\"\n";
    const std::string folder = encoded(m_folder);
    const std::string pgCtl = encoded(m_bindir + QStringLiteral("/pg_ctl"));
    const pid_t pid = fork();
    if (pid == 0) {
        // Its own session, so that a signal to the test's process group leaves it running.
        setsid();
        const int nul = open("/dev/null", O_RDWR);
        const int high = fcntl(pair[0], F_DUPFD, 10);
        if (nul < 0 || high < 0 || dup2(high, 3) < 0 || dup2(nul, 0) < 0 || dup2(nul, 1) < 0 ||
            dup2(nul, 2) < 0)
            _exit(126);
        close_range(4, ~0U, 0);
        dropPrivileges(m_dropUser, m_uid, m_gid);
        execl("/bin/sh", "sh", "-c", script, "sh", folder.c_str(), pgCtl.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pair[0]);
    if (pid < 0) {
        close(pair[1]);
        return;
    }
    m_watchdog = pid;
    m_watchdogFd = pair[1];
}

int PgCluster::run(const QString& program, const QStringList& args, const QString& outputName) {
    std::vector<std::string> argv{encoded(m_bindir + QLatin1Char('/') + program)};
    for (const QString& a : args)
        argv.push_back(encoded(a));
    std::vector<char*> argp;
    for (std::string& a : argv)
        argp.push_back(a.data());
    argp.push_back(nullptr);
    const std::string folder = encoded(m_folder);
    const std::string output = encoded(m_folder + QLatin1Char('/') + outputName);

    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (out < 0)
        return -1;
    if (m_dropUser && fchown(out, m_uid, m_gid) != 0) {
        close(out);
        return -1;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        // Nothing of the test process may reach the server: not its output (the test runner
        // waits for that to close) nor any other open file.
        const int nul = open("/dev/null", O_RDONLY);
        if (nul < 0 || dup2(nul, 0) < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0)
            _exit(126);
        close_range(3, ~0U, 0);
        dropPrivileges(m_dropUser, m_uid, m_gid);
        // The server's programs look up their own folder and must be able to read the
        // current one, which a test's build folder may not allow "nobody".
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        execv(argp[0], argp.data());
        _exit(127);
    }
    close(out);
    if (pid < 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QString PgCluster::tailOf(const QString& fileName) const {
    QFile f(m_folder + QLatin1Char('/') + fileName);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QStringList lines =
        QString::fromLocal8Bit(f.readAll()).trimmed().split(QLatin1Char('\n'));
    return lines.mid(std::max<qsizetype>(0, lines.size() - 15)).join(QLatin1Char('\n'));
}

void PgCluster::stop() noexcept {
    // A forked child leaving through exit() must not take its parent's server down.
    if (m_folder.isEmpty() || getpid() != m_owner)
        return;
    if (m_persistent) {
        if (m_admin)
            PQfinish(m_admin);
        m_admin = nullptr;
        return;
    }
    stopServer();
    std::error_code ignored;
    std::filesystem::remove_all(encoded(m_folder), ignored);
    if (m_watchdogFd >= 0) {
        close(m_watchdogFd);
        int status = 0;
        while (waitpid(m_watchdog, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

PGconn* PgCluster::admin() {
    if (m_admin && PQstatus(m_admin) == CONNECTION_OK)
        return m_admin;
    if (m_admin)
        PQfinish(m_admin);
    m_admin = PQconnectdb(uriFor(QStringLiteral("postgres")).toUtf8().constData());
    if (PQstatus(m_admin) != CONNECTION_OK) {
        const std::string message = PQerrorMessage(m_admin);
        PQfinish(m_admin);
        m_admin = nullptr;
        throw std::runtime_error("Cannot connect to the test PostgreSQL server: " + message);
    }
    return m_admin;
}

QString PgCluster::createDatabase() {
    std::lock_guard lock(m_mutex);
    if (!m_available)
        throw std::runtime_error(m_skipReason.toStdString());
    PGconn* conn = admin();
    const QString name = QStringLiteral("nerova_%1").arg(++m_next);
    execOrThrow(conn, QStringLiteral("CREATE DATABASE ") + quotedIdentifier(conn, name));
    return uriFor(name);
}

void PgCluster::dropDatabase(const QString& db) {
    std::lock_guard lock(m_mutex);
    if (!m_available)
        throw std::runtime_error(m_skipReason.toStdString());
    PGconn* conn = admin();
    execOrThrow(
        conn,
        QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quotedIdentifier(conn, db)));
}

QString PgCluster::uriFor(const QString& db) const {
    return QStringLiteral("postgresql:///%1?host=%2&port=%3&user=nerova")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(db)),
             QString::fromLatin1(QUrl::toPercentEncoding(m_folder)), QLatin1String(kPort));
}

QString PgCluster::databaseOf(const QString& uri) {
    return QUrl(uri).path(QUrl::FullyDecoded).mid(1);
}

} // namespace nerova::test
