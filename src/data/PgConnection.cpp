#include "data/PgConnection.h"

#include <QStringList>

namespace nerova {

namespace {

using Code = EngineError::Code;

// The connection was closed by the server shutting down or ending our session: whatever
// statement met it was not carried out.
bool shutDownUnder(const PGresult* r) {
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    return state && qstrncmp(state, "57P0", 4) == 0;
}

} // namespace

QString pgServerMessage(PGconn* conn) {
    // libpq may repeat a line when one failure is reported at two levels; one line each,
    // and on one line, reads as one message.
    QStringList lines;
    for (const QString& line : QString::fromUtf8(PQerrorMessage(conn)).split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (!t.isEmpty() && !lines.contains(t))
            lines << t;
    }
    return lines.join(QLatin1Char(' '));
}

EngineError translatePgError(const PGresult* r, PGconn* conn) {
    const char* stateText = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const QString state = QString::fromLatin1(stateText ? stateText : "");
    const char* primary = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString msg = primary ? QString::fromUtf8(primary) : pgServerMessage(conn);
    if (state == QLatin1String("23505"))
        return EngineError(QStringLiteral("Key violation."), Code::KeyViolation);
    if (state == QLatin1String("23502"))
        return EngineError(QStringLiteral("Field value required."), Code::RequiredField);
    if (state == QLatin1String("40001") || state == QLatin1String("40P01") ||
        state == QLatin1String("55P03") || state == QLatin1String("55006"))
        return EngineError(QStringLiteral("Table is busy: another program is using it."),
                           Code::Busy);
    if (state == QLatin1String("42501") || state == QLatin1String("25006"))
        return EngineError(QStringLiteral("Table cannot be written: %1").arg(msg), Code::ReadOnly);
    if (state == QLatin1String("53100"))
        return EngineError(QStringLiteral("The disk is full."), Code::DiskFull);
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")) ||
        PQstatus(conn) != CONNECTION_OK)
        return EngineError(
            QStringLiteral("The connection to the database server was lost: %1").arg(msg),
            Code::Io);
    return EngineError(QStringLiteral("Database error: %1").arg(msg));
}

PGresult* PgConnection::send(const std::function<PGresult*()>& sendOne, bool startsAfresh) {
    const bool mayReconnect = startsAfresh || lastKnown == PQTRANS_IDLE;
    if (mayReconnect && !alive())
        reconnect();
    PGresult* r = sendOne();
    if (mayReconnect && shutDownUnder(r)) {
        PQclear(r);
        reconnect();
        r = sendOne();
    }
    if (PQstatus(conn) == CONNECTION_OK)
        lastKnown = PQtransactionStatus(conn);
    return r;
}

bool PgConnection::alive() {
    for (int read = 0; read < 2; ++read) {
        if (PQstatus(conn) != CONNECTION_OK || PQconsumeInput(conn) != 1)
            return false;
    }
    return PQstatus(conn) == CONNECTION_OK;
}

std::vector<PgResult> PgConnection::pipeline(const std::function<bool(PGconn*)>& sendAll,
                                             int commands) {
    std::vector<PgResult> results;
    if (PQenterPipelineMode(conn) != 1)
        return results;
    if (sendAll(conn) && PQpipelineSync(conn) == 1) {
        for (int i = 0; i < commands; ++i) {
            PGresult* first = PQgetResult(conn);
            results.emplace_back(first);
            if (!first)
                break;
            while (PGresult* rest = PQgetResult(conn))
                PQclear(rest);
        }
        while (PGresult* r = PQgetResult(conn)) {
            const bool synced = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
            PQclear(r);
            if (synced)
                break;
        }
    }
    PQexitPipelineMode(conn);
    results.resize(static_cast<std::size_t>(commands));
    return results;
}

void PgConnection::reconnect() {
    PQreset(conn);
    if (PQstatus(conn) != CONNECTION_OK)
        throw EngineError(QStringLiteral("The connection to the database server was lost "
                                         "and could not be made again: %1")
                              .arg(pgServerMessage(conn)),
                          EngineError::Code::Io);
    ++generation;
    lastKnown = PQTRANS_IDLE;
    if (afterReconnect)
        afterReconnect();
}

} // namespace nerova
