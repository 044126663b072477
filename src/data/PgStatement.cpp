#include "data/PgStatement.h"

#include <QDate>
#include <QTime>
#include <optional>
#include <vector>

namespace nerova {

namespace {

// Type oids of the values we read back (pg_type.h).
constexpr Oid kBoolOid = 16;
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt2Oid = 21;
constexpr Oid kInt4Oid = 23;
constexpr Oid kOidOid = 26;
constexpr Oid kFloat4Oid = 700;
constexpr Oid kFloat8Oid = 701;
constexpr Oid kNumericOid = 1700;

// "?" parameters as PostgreSQL's "$1", "$2" …, leaving quoted text and names alone.
QByteArray numberedParameters(const QString& sql, int& count) {
    QString out;
    out.reserve(sql.size() + 16);
    QChar quote;
    count = 0;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++count);
            continue;
        }
        out += c;
    }
    return out.toUtf8();
}

class PgStatement final : public Statement {
public:
    // A streamed statement hands its rows over one at a time as they arrive, instead of
    // holding the whole result: reading a table of 400,000 rows stays small. Nothing else
    // may run on the connection until it has stepped to its end or been reset.
    PgStatement(std::shared_ptr<PgConnection> conn, const QString& sql, bool streamed = false)
        : m_conn(std::move(conn)), m_sql(numberedParameters(sql, m_paramCount)),
          m_streamed(streamed) {
        m_params.resize(static_cast<std::size_t>(m_paramCount));
    }

    ~PgStatement() override { stopStream(); }

    void reset() override {
        stopStream();
        m_result.reset();
        m_row = -1;
        for (auto& p : m_params)
            p.reset();
    }

    void bind(int index, const QVariant& v) override {
        if (index < 1 || index > m_paramCount)
            throw EngineError(
                QStringLiteral("Database error: parameter %1 out of range").arg(index));
        auto& slot = m_params[static_cast<std::size_t>(index - 1)];
        if (!v.isValid() || v.isNull())
            slot.reset();
        else
            slot = pgParameterText(v);
    }

    bool step() override {
        if (m_streamed)
            return streamStep();
        if (!m_result)
            execute();
        ++m_row;
        return m_row < PQntuples(m_result.get());
    }

    qint64 int64(int col) const override {
        const char* v = value(col);
        if (PQftype(m_result.get(), col) == kBoolOid)
            return v[0] == 't' ? 1 : 0;
        bool ok = false;
        const qint64 n = QByteArray(v).toLongLong(&ok);
        return ok ? n : static_cast<qint64>(QByteArray(v).toDouble());
    }
    double real(int col) const override {
        const char* v = value(col);
        if (PQftype(m_result.get(), col) == kBoolOid)
            return v[0] == 't' ? 1.0 : 0.0;
        return QByteArray(v).toDouble();
    }
    QString text(int col) const override {
        if (isNull(col))
            return {};
        return QString::fromUtf8(value(col), PQgetlength(m_result.get(), m_row, col));
    }
    bool isNull(int col) const override {
        return !onRow() || PQgetisnull(m_result.get(), m_row, col);
    }
    QVariant raw(int col) const override {
        if (isNull(col))
            return {};
        switch (PQftype(m_result.get(), col)) {
        case kBoolOid:
        case kInt8Oid:
        case kInt2Oid:
        case kInt4Oid:
        case kOidOid:
            return QVariant::fromValue<qint64>(int64(col));
        case kFloat4Oid:
        case kFloat8Oid:
        case kNumericOid:
            return real(col);
        default:
            return text(col);
        }
    }
    int columnCount() const override { return m_result ? PQnfields(m_result.get()) : 0; }

private:
    bool onRow() const { return m_result && m_row >= 0 && m_row < PQntuples(m_result.get()); }
    const char* value(int col) const {
        return onRow() ? PQgetvalue(m_result.get(), m_row, col) : "";
    }

    // Prepares the statement on the connection as it is now, when not done there yet;
    // answers the failed result, or null.
    PGresult* prepareHere() {
        if (m_generation == m_conn->generation)
            return nullptr;
        m_name = QByteArrayLiteral("nrv") + QByteArray::number(++m_conn->statementCount);
        PGresult* r = PQprepare(m_conn->conn, m_name.constData(), m_sql.constData(), 0, nullptr);
        if (PQresultStatus(r) != PGRES_COMMAND_OK)
            return r;
        PQclear(r);
        m_generation = m_conn->generation;
        return nullptr;
    }

    bool streamStep() {
        PGconn* conn = m_conn->conn;
        if (!m_inFlight && !m_done) {
            PgResult prepared(m_conn->send([this]() -> PGresult* {
                PGresult* failed = prepareHere();
                return failed ? failed : PQmakeEmptyPGresult(m_conn->conn, PGRES_COMMAND_OK);
            }));
            if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
                throw translatePgError(prepared.get(), conn);
            const std::vector<const char*> values = parameterValues();
            if (!PQsendQueryPrepared(conn, m_name.constData(), m_paramCount, values.data(), nullptr,
                                     nullptr, 0))
                throw translatePgError(nullptr, conn);
            PQsetSingleRowMode(conn);
            m_inFlight = true;
        }
        if (!m_inFlight)
            return false;
        PgResult r(PQgetResult(conn));
        if (PQresultStatus(r.get()) == PGRES_SINGLE_TUPLE) {
            m_result = std::move(r);
            m_row = 0;
            return true;
        }
        m_result.reset();
        std::optional<EngineError> failure;
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK)
            failure = translatePgError(r.get(), conn);
        r.reset();
        drainResults();
        m_inFlight = false;
        m_done = true;
        if (failure)
            throw *failure;
        return false;
    }

    // Stops a stream that was not read to its end, so the connection is free again.
    void stopStream() {
        if (m_inFlight) {
            if (PGcancel* cancel = PQgetCancel(m_conn->conn)) {
                char error[256];
                PQcancel(cancel, error, sizeof error);
                PQfreeCancel(cancel);
            }
            drainResults();
            m_inFlight = false;
        }
        m_done = false;
    }

    void drainResults() {
        while (PGresult* rest = PQgetResult(m_conn->conn))
            PQclear(rest);
    }

    std::vector<const char*> parameterValues() const {
        std::vector<const char*> values;
        values.reserve(m_params.size());
        for (const auto& p : m_params)
            values.push_back(p ? p->constData() : nullptr);
        return values;
    }

    void execute() { runTogether({this}); }

public:
    // Runs the statements in one round trip, each prepared in the same pipeline when it is
    // new on the connection; their rows are then there to step through. Throws for the first
    // that failed.
    static void runTogether(const std::vector<PgStatement*>& statements) {
        if (statements.empty())
            return;
        PgConnection& conn = *statements.front()->m_conn;
        std::vector<std::vector<const char*>> values;
        for (PgStatement* st : statements)
            values.push_back(st->parameterValues());
        std::vector<PgResult> results;
        std::vector<bool> preparing;
        PgResult failed(conn.send([&]() -> PGresult* {
            int commands = 0;
            preparing.clear();
            for (PgStatement* st : statements) {
                preparing.push_back(st->m_generation != conn.generation);
                if (preparing.back())
                    st->m_name =
                        QByteArrayLiteral("nrv") + QByteArray::number(++conn.statementCount);
                commands += preparing.back() ? 2 : 1;
            }
            results = conn.pipeline(
                [&](PGconn* c) {
                    for (std::size_t i = 0; i < statements.size(); ++i) {
                        PgStatement* st = statements[i];
                        if (preparing[i] && !PQsendPrepare(c, st->m_name.constData(),
                                                           st->m_sql.constData(), 0, nullptr))
                            return false;
                        if (!PQsendQueryPrepared(c, st->m_name.constData(), st->m_paramCount,
                                                 values[i].data(), nullptr, nullptr, 0))
                            return false;
                    }
                    return true;
                },
                commands);
            // The first failure speaks for all (a statement after it was not run).
            for (PgResult& r : results) {
                const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
                if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
                    return r ? r.release() : nullptr;
            }
            return PQmakeEmptyPGresult(conn.conn, PGRES_COMMAND_OK);
        }));
        if (PQresultStatus(failed.get()) != PGRES_COMMAND_OK)
            throw translatePgError(failed.get(), conn.conn);
        std::size_t at = 0;
        for (std::size_t i = 0; i < statements.size(); ++i) {
            PgStatement* st = statements[i];
            if (preparing[i]) {
                st->m_generation = conn.generation;
                ++at;
            }
            st->m_result = std::move(results[at++]);
            st->m_row = -1;
        }
    }

private:
    std::shared_ptr<PgConnection> m_conn;
    int m_paramCount = 0;
    QByteArray m_sql;
    QByteArray m_name;
    int m_generation = -1;
    std::vector<std::optional<QByteArray>> m_params;
    PgResult m_result;
    int m_row = -1;
    bool m_streamed = false;
    bool m_inFlight = false; // a stream has rows still to come
    bool m_done = false;     // the stream reached its end; reset() starts again
};

} // namespace

QByteArray pgParameterText(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QByteArray::number(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        // Seventeen digits give back the very double the user's number became.
        return QByteArray::number(v.toDouble(), 'g', 17);
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate).toUtf8();
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8();
    default:
        return v.toString().toUtf8();
    }
}

void runPgStatementsTogether(const std::vector<Statement*>& statements) {
    std::vector<PgStatement*> pg;
    for (Statement* st : statements)
        pg.push_back(static_cast<PgStatement*>(st));
    PgStatement::runTogether(pg);
}

std::shared_ptr<Statement> makePgStatement(std::shared_ptr<PgConnection> conn, const QString& sql,
                                           bool streamed) {
    return std::make_shared<PgStatement>(std::move(conn), sql, streamed);
}

} // namespace nerova
