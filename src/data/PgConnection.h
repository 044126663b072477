#pragma once

#include "data/EngineError.h"

#include <QString>
#include <functional>
#include <libpq-fe.h>
#include <memory>
#include <vector>

namespace nerova {

struct PgResultFree {
    void operator()(PGresult* r) const noexcept { PQclear(r); }
};
// A result of libpq's, cleared when it goes.
using PgResult = std::unique_ptr<PGresult, PgResultFree>;

// libpq's text for the connection's last failure, on one line.
QString pgServerMessage(PGconn* conn);

// The engine's error for a failed result (or, without one, the connection's failure).
EngineError translatePgError(const PGresult* r, PGconn* conn);

// The office server's one connection, shared by the backend and every statement it handed
// out. `generation` grows when the connection is made anew after it was lost, so a
// statement prepared on the old one prepares itself again.
struct PgConnection {
    PGconn* conn = nullptr;
    int generation = 0;
    int statementCount = 0;
    // Where the last statement left the session; a connection found lost is made anew
    // only when that was outside a transaction, as a transaction goes with its connection.
    PGTransactionStatusType lastKnown = PQTRANS_IDLE;
    // Sets the new session up as the backend wants it; set by the backend.
    std::function<void()> afterReconnect;
    ~PgConnection() { PQfinish(conn); }
    PgConnection() = default;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Sends one statement through sendOne, which answers the server's result. A connection
    // the server closed since the last statement (a restart, an idle session ended) is
    // found out without a round trip and made anew first, and one the server shut down
    // under the statement itself is made anew and the statement sent once more: either way
    // the statement never took effect. That happens only outside a transaction, or for a
    // statement that starts or ends one (startsAfresh). A statement whose fate is unknown
    // is never sent twice; it fails with one message, and the next statement connects again.
    PGresult* send(const std::function<PGresult*()>& sendOne, bool startsAfresh = false);

    // Reads what the server sent meanwhile without waiting: a closed connection shows. Twice,
    // as a server ending the session sends its farewell first and closes after it.
    bool alive();

    // Sends what sendAll queues (each a command whose results end with a null) and a sync in
    // one pipeline: one round trip for all of them. Answers each command's first result in
    // order, null where the connection failed before it; the rest of a command's results are
    // dropped.
    std::vector<PgResult> pipeline(const std::function<bool(PGconn*)>& sendAll, int commands);

    // Connects again and sets the session up; throws EngineError (one line) when the
    // server does not take the connection.
    void reconnect();
};

} // namespace nerova
