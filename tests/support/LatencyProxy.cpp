#include "support/LatencyProxy.h"

#include <QByteArray>
#include <QUrl>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <libpq-fe.h>
#include <list>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace nerova::test {

namespace {

using Clock = std::chrono::steady_clock;

void nonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Bytes read from one side, due on the other side at a moment.
struct Chunk {
    Clock::time_point due;
    QByteArray bytes;
};

// One way of one connection.
struct Lane {
    int from = -1;
    int to = -1;
    std::deque<Chunk> queue;
    bool closed = false; // `from` ended; `to` is shut once the queue is empty
};

struct Pair {
    Lane up;   // client to server
    Lane down; // server to client
    bool awaitingAnswer = false;
    bool done() const { return up.closed && down.closed && up.queue.empty() && down.queue.empty(); }
};

} // namespace

struct LatencyProxy::Loop {
    int listener = -1;
    int wake[2] = {-1, -1};
    std::string target;
    std::list<Pair> pairs;
    std::thread thread;

    ~Loop() {
        if (thread.joinable()) {
            const char c = 'x';
            (void)!write(wake[1], &c, 1);
            thread.join();
        }
        for (Pair& p : pairs) {
            close(p.up.from);
            close(p.down.from);
        }
        for (int fd : {listener, wake[0], wake[1]})
            if (fd >= 0)
                close(fd);
    }

    void accept(LatencyProxy& owner) {
        const int client = ::accept(listener, nullptr, nullptr);
        if (client < 0)
            return;
        const int server = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, target.c_str(), sizeof addr.sun_path - 1);
        if (server < 0 || connect(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            close(client);
            if (server >= 0)
                close(server);
            return;
        }
        const int one = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        nonBlocking(client);
        nonBlocking(server);
        Pair& p = pairs.emplace_back();
        p.up.from = p.down.to = client;
        p.up.to = p.down.from = server;
        (void)owner;
    }

    // Reads what `lane.from` has; false when it ended.
    static bool take(Lane& lane, long oneWayUs) {
        char buffer[65536];
        const ssize_t n = read(lane.from, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            return false;
        if (n > 0)
            lane.queue.push_back(
                {Clock::now() + std::chrono::microseconds(oneWayUs), QByteArray(buffer, n)});
        return true;
    }

    // Writes what is due; answers the moment the next chunk is due, or max when none waits.
    static Clock::time_point give(Lane& lane) {
        const auto now = Clock::now();
        while (!lane.queue.empty() && lane.queue.front().due <= now) {
            QByteArray& bytes = lane.queue.front().bytes;
            const ssize_t n = write(lane.to, bytes.constData(), static_cast<size_t>(bytes.size()));
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR)
                    return now + std::chrono::milliseconds(1);
                lane.queue.clear();
                break;
            }
            bytes.remove(0, n);
            if (!bytes.isEmpty())
                return now + std::chrono::milliseconds(1);
            lane.queue.pop_front();
        }
        if (lane.queue.empty()) {
            if (lane.closed)
                shutdown(lane.to, SHUT_WR);
            return Clock::time_point::max();
        }
        return lane.queue.front().due;
    }

    void run(LatencyProxy& owner) {
        for (;;) {
            auto next = Clock::time_point::max();
            for (Pair& p : pairs)
                next = std::min({next, give(p.up), give(p.down)});
            pairs.remove_if([](const Pair& p) {
                if (!p.done())
                    return false;
                close(p.up.from);
                close(p.down.from);
                return true;
            });
            std::vector<pollfd> fds{{wake[0], POLLIN, 0}, {listener, POLLIN, 0}};
            std::vector<Lane*> lanes;
            for (Pair& p : pairs)
                for (Lane* lane : {&p.up, &p.down})
                    if (!lane->closed) {
                        fds.push_back({lane->from, POLLIN, 0});
                        lanes.push_back(lane);
                    }
            // Waits to the microsecond: poll's whole milliseconds would add up to one to every
            // way of every round trip, half again the delay asked for at 1 ms.
            timespec timeout{};
            timespec* until = nullptr;
            if (next != Clock::time_point::max()) {
                const long wait = std::max<long>(
                    0, std::chrono::duration_cast<std::chrono::nanoseconds>(next - Clock::now())
                           .count());
                timeout = {wait / 1000000000L, wait % 1000000000L};
                until = &timeout;
            }
            if (ppoll(fds.data(), fds.size(), until, nullptr) < 0 && errno != EINTR)
                return;
            if (fds[0].revents)
                return;
            if (fds[1].revents & POLLIN)
                accept(owner);
            const long oneWay = owner.m_oneWayUs.load();
            for (std::size_t i = 2; i < fds.size(); ++i) {
                if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                Lane* lane = lanes[i - 2];
                if (!take(*lane, oneWay))
                    lane->closed = true;
                countTurn(owner, *lane);
            }
        }
    }

    // A client's sending opens a round trip; the server's first answer after it closes it.
    void countTurn(LatencyProxy& owner, const Lane& lane) {
        for (Pair& p : pairs) {
            if (&lane == &p.up && !p.up.queue.empty())
                p.awaitingAnswer = true;
            if (&lane == &p.down && p.awaitingAnswer && !p.down.queue.empty()) {
                p.awaitingAnswer = false;
                ++owner.m_roundTrips;
            }
        }
    }
};

LatencyProxy::LatencyProxy(const QString& unixSocketPath, double roundTripMs)
    : m_loop(std::make_unique<Loop>()) {
    setRoundTripMs(roundTripMs);
    m_loop->target = unixSocketPath.toStdString();
    if (pipe(m_loop->wake) != 0) {
        m_failure = QStringLiteral("no pipe: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    m_loop->listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (m_loop->listener < 0 ||
        bind(m_loop->listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(m_loop->listener, 16) != 0 ||
        getsockname(m_loop->listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        m_failure =
            QStringLiteral("cannot listen: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    m_port = ntohs(addr.sin_port);
    m_loop->thread = std::thread([this] { m_loop->run(*this); });
}

LatencyProxy::~LatencyProxy() = default;

QString LatencyProxy::uriThrough(const QString& uri) const {
    QString db;
    QString user;
    PQconninfoOption* options = PQconninfoParse(uri.toUtf8().constData(), nullptr);
    for (PQconninfoOption* o = options; o && o->keyword; ++o) {
        if (qstrcmp(o->keyword, "dbname") == 0 && o->val)
            db = QString::fromUtf8(o->val);
        if (qstrcmp(o->keyword, "user") == 0 && o->val)
            user = QString::fromUtf8(o->val);
    }
    PQconninfoFree(options);
    const auto part = [](const QString& s) {
        return QString::fromLatin1(QUrl::toPercentEncoding(s));
    };
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3?sslmode=disable&gssencmode=disable")
        .arg(part(user))
        .arg(m_port)
        .arg(part(db));
}

QString LatencyProxy::pgSocketIn(const QString& folder, int port) {
    return QStringLiteral("%1/.s.PGSQL.%2").arg(folder).arg(port);
}

} // namespace nerova::test
