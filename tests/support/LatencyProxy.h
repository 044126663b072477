#pragma once

#include <QString>
#include <atomic>
#include <memory>

namespace nerova::test {

// A TCP forwarder of our own in front of a server's Unix socket that makes a local server
// look like one across a network: whatever passes is held half the round-trip time each
// way. It counts the round trips it sees, a round trip being the client's sending followed
// by the server's first answer to it, whatever the number of statements the client packed
// in. One thread forwards every connection; the listening port is on 127.0.0.1 only.
class LatencyProxy {
public:
    LatencyProxy(const QString& unixSocketPath, double roundTripMs);
    ~LatencyProxy();
    LatencyProxy(const LatencyProxy&) = delete;
    LatencyProxy& operator=(const LatencyProxy&) = delete;

    // False, with the reason, when the listening socket could not be made.
    bool available() const { return m_port != 0; }
    QString failure() const { return m_failure; }
    quint16 port() const { return m_port; }

    // Round trips seen on every connection since the last reset.
    int roundTrips() const { return m_roundTrips.load(); }
    void resetCount() { m_roundTrips.store(0); }
    void setRoundTripMs(double ms) { m_oneWayUs.store(static_cast<long>(ms * 500.0)); }

    // A libpq connection through the proxy to the database a URI names, keeping its user;
    // neither encryption is asked for, as a Unix socket never offers it.
    QString uriThrough(const QString& uri) const;

    // The Unix socket of a PostgreSQL server whose socket folder is `folder`.
    static QString pgSocketIn(const QString& folder, int port = 5432);

private:
    struct Loop;
    std::unique_ptr<Loop> m_loop;
    std::atomic<int> m_roundTrips{0};
    std::atomic<long> m_oneWayUs{0};
    quint16 m_port = 0;
    QString m_failure;
};

} // namespace nerova::test
