#include "data/Backend.h"
#include "data/EngineError.h"
#include "data/Global.h"
#include "data/PgConnection.h"
#include "data/PgFolding.h"
#include "data/PgStatement.h"
#include "data/SchemaVersion.h"
#include "data/Statement.h"

#include <QDate>
#include <QHash>
#include <QStringList>
#include <QTime>
#include <array>
#include <functional>
#include <libpq-fe.h>
#include <optional>
#include <vector>

// The office database: the same five tables on a PostgreSQL server, reached through libpq.
// Several programs may work on them at once; a row's xmin (the transaction that last wrote
// it) tells whether someone else changed it since we read it.

namespace nerova {

namespace {

using Code = EngineError::Code;

// The comment that stamps a table as ours and tells its version.
const QString kStampPrefix = QStringLiteral("Nerova 2002 table, version ");

using Result = PgResult;

// Rows go in through COPY, the server's bulk path: one stream instead of a round trip per row.
class CopyWriter final : public RowWriter {
public:
    CopyWriter(PGconn* conn, const QString& table, const QString& columns) : m_conn(conn) {
        Result r(PQexec(
            conn,
            QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns).toUtf8().constData()));
        if (PQresultStatus(r.get()) != PGRES_COPY_IN)
            throw translatePgError(r.get(), conn);
        m_open = true;
    }
    ~CopyWriter() override {
        if (m_open) {
            // Abandoned half-way: the server discards what was sent.
            PQputCopyEnd(m_conn, "abandoned");
            drain();
        }
    }

    void write(const QVariantList& values) override {
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i > 0)
                m_buffer += '\t';
            const QVariant& v = values[i];
            if (!v.isValid() || v.isNull()) {
                m_buffer += "\\N";
                continue;
            }
            for (const char c : pgParameterText(v)) {
                switch (c) {
                case '\\':
                    m_buffer += "\\\\";
                    break;
                case '\t':
                    m_buffer += "\\t";
                    break;
                case '\n':
                    m_buffer += "\\n";
                    break;
                case '\r':
                    m_buffer += "\\r";
                    break;
                default:
                    m_buffer += c;
                }
            }
        }
        m_buffer += '\n';
        if (m_buffer.size() > (1 << 18))
            flush();
    }

    void finish() override {
        flush();
        m_open = false;
        if (PQputCopyEnd(m_conn, nullptr) != 1)
            throw EngineError(QStringLiteral("Database error: %1").arg(pgServerMessage(m_conn)),
                              Code::Io);
        drain(true);
    }

private:
    void flush() {
        if (m_buffer.isEmpty())
            return;
        if (PQputCopyData(m_conn, m_buffer.constData(), static_cast<int>(m_buffer.size())) != 1)
            throw EngineError(QStringLiteral("Database error: %1").arg(pgServerMessage(m_conn)),
                              Code::Io);
        m_buffer.clear();
    }
    void drain(bool check = false) {
        std::optional<EngineError> failure;
        while (PGresult* raw = PQgetResult(m_conn)) {
            Result r(raw);
            if (check && !failure && PQresultStatus(raw) != PGRES_COMMAND_OK)
                failure = translatePgError(raw, m_conn);
        }
        if (failure)
            throw *failure;
    }

    PGconn* m_conn;
    QByteArray m_buffer;
    bool m_open = false;
};

QString sqlType(const ColumnDef& c) {
    switch (c.type) {
    case ColumnType::Alpha:
        // Byte order of UTF-8, as the file database sorts and compares.
        return QStringLiteral("VARCHAR(%1) COLLATE \"C\"").arg(c.size);
    case ColumnType::Memo:
        return QStringLiteral("TEXT COLLATE \"C\"");
    case ColumnType::Number:
        return QStringLiteral("DOUBLE PRECISION");
    case ColumnType::Logical:
        return QStringLiteral("BOOLEAN");
    case ColumnType::Date:
        return QStringLiteral("DATE");
    case ColumnType::Time:
        return QStringLiteral("TIME");
    }
    return QStringLiteral("TEXT");
}

class PgBackend final : public Backend {
public:
    explicit PgBackend(const QString& connection) {
        refusePassword(connection);
        m_conn = std::make_shared<PgConnection>();
        // Our defaults come first, so that the connection text's own values win: a server that
        // does not answer is given up after ten seconds, not the system's two minutes.
        const QByteArray text = connection.toUtf8();
        const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
        const char* values[] = {"10", "Nerova 2002", text.constData(), nullptr};
        m_conn->conn = PQconnectdbParams(keywords, values, 1);
        if (PQstatus(m_conn->conn) != CONNECTION_OK)
            throw EngineError(QStringLiteral("Cannot connect to the database server.\n%1")
                                  .arg(pgServerMessage(m_conn->conn)),
                              Code::Io);
        // The server's notices (a table renamed, a collation already there) are not for
        // the user's terminal.
        PQsetNoticeProcessor(
            m_conn->conn, [](void*, const char*) {}, nullptr);
        m_conn->afterReconnect = [this] { setUpSession(); };
        setUpSession();
    }
    ~PgBackend() override {
        m_conn->afterReconnect = nullptr; // statements handed out may outlive the backend
        m_cache.clear();
    }

    bool isServer() const override { return true; }
    bool idleWhenNoTableOpen() const override { return false; }
    QString beginSql() const override { return QStringLiteral("BEGIN"); }
    QString beginSnapshotSql() const override {
        return QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ");
    }
    QString rowVersionExpression() const override { return QStringLiteral("xmin::text"); }
    QString caseFoldEquals(const QString& lhs, const QString& rhs) const override {
        return pgCaseFoldEquals(lhs, rhs);
    }
    QString foldedPrefix(TableId id, const QString& column, const QString& prefix,
                         QVariantList& binds) const override {
        return pgFoldedPrefix(id, column, prefix, binds);
    }
    QString rowLockClause(bool forUpdate) const override {
        return forUpdate ? QStringLiteral(" FOR UPDATE") : QStringLiteral(" FOR KEY SHARE");
    }
    // The file database sorts blanks first; so must the server.
    QString orderSuffix() const override { return QStringLiteral(" NULLS FIRST"); }
    QString qualifiedName(TableId id) const override {
        return quoteIdent(QString::fromLatin1(tableDef(id).baseName));
    }
    QString displayName() const override {
        const QString host = QString::fromUtf8(PQhost(m_conn->conn));
        return QStringLiteral("database %1 on %2")
            .arg(QString::fromUtf8(PQdb(m_conn->conn)),
                 host.startsWith(QLatin1Char('/')) ? QStringLiteral("this computer") : host);
    }
    QString engineDescription() override {
        Result(m_conn->send([this] { return PQexec(m_conn->conn, "SELECT 1"); }));
        // From release 10 on the number is major * 10000 + minor; before, three parts.
        const int v = PQserverVersion(m_conn->conn);
        const QString version =
            v >= 100000 ? QStringLiteral("%1.%2").arg(v / 10000).arg(v % 10000)
                        : QStringLiteral("%1.%2.%3").arg(v / 10000).arg(v / 100 % 100).arg(v % 100);
        return QStringLiteral("PostgreSQL %1 server, %2").arg(version, displayName());
    }
    QString lastErrorText() const override { return pgServerMessage(m_conn->conn); }
    QString replacedTablesNote() const override { return m_replacedNote; }

    // Any other statement may change what the catalog says (or follow a change of another
    // program's): the reading of the tables serves only the check and the opening right
    // after it.
    std::shared_ptr<Statement> prepared(const QString& sql) override {
        m_tableInfo = {};
        return cachedStatement(sql);
    }
    std::shared_ptr<Statement> cachedStatement(const QString& sql) {
        auto it = m_cache.find(sql);
        if (it == m_cache.end())
            it = m_cache.insert(sql, makePgStatement(m_conn, sql));
        it.value()->reset();
        return it.value();
    }

    std::shared_ptr<Statement> streamed(const QString& sql) override {
        m_tableInfo = {};
        return makePgStatement(m_conn, sql, true);
    }

    void runTogether(const std::vector<Statement*>& statements) override {
        m_tableInfo = {};
        runPgStatementsTogether(statements);
    }

    // A setting of the session, set by the first statement of the pipeline and read by the
    // later ones in the same implicit transaction; blank when the subquery finds no row.
    std::pair<QString, QString> keptRowId(const QString& subquery) const override {
        return {QStringLiteral("SELECT set_config('nerova.kept_row', COALESCE(%1::text, ''), "
                               "false)")
                    .arg(subquery),
                QStringLiteral("NULLIF(current_setting('nerova.kept_row'), '')::bigint")};
    }

    void exec(const QString& sql) override {
        m_tableInfo = {};
        const QByteArray text = sql.toUtf8();
        // Starting or abandoning a transaction is the same on a new connection.
        const bool startsAfresh =
            sql == beginSql() || sql == beginSnapshotSql() || sql == QLatin1String("ROLLBACK");
        Result r(
            m_conn->send([&] { return PQexec(m_conn->conn, text.constData()); }, startsAfresh));
        const ExecStatusType status = PQresultStatus(r.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw translatePgError(r.get(), m_conn->conn);
    }

    std::unique_ptr<RowWriter> rowWriter(TableId id) override {
        m_tableInfo = {};
        return std::make_unique<CopyWriter>(m_conn->conn, qualifiedName(id),
                                            quotedList(tableDef(id).columnNames()));
    }

    void openTable(TableId id) override;
    void closeTable(TableId) override {}
    bool tablePresent(TableId id) override;
    void createTable(TableId id) override;
    void setReplacingRun(bool on) override {
        if (!on)
            return;
        m_replacedMoment.clear();
        m_replacedNote.clear();
    }
    void addIndex(TableId id, const IndexDef& index) override;

private:
    struct TableInfo {
        bool found = false;
        QString oid;
        QString comment;
        bool writable = false;
    };

    static void refusePassword(const QString& connection) {
        char* error = nullptr;
        PQconninfoOption* options = PQconninfoParse(connection.toUtf8().constData(), &error);
        if (!options) {
            const QString why = QString::fromUtf8(error ? error : "").trimmed();
            PQfreemem(error);
            throw EngineError(QStringLiteral("The database connection \"%1\" cannot be read.\n%2")
                                  .arg(connection, why));
        }
        bool password = false;
        for (PQconninfoOption* o = options; o->keyword; ++o)
            password = password || (qstrcmp(o->keyword, "password") == 0 && o->val && *o->val);
        PQconninfoFree(options);
        if (password)
            throw EngineError(QStringLiteral(
                "A password does not belong in the alias registry: keep it in ~/.pgpass or "
                "in PGPASSWORD, and remove it from the connection."));
    }

    void setUpSession() {
        // Dates and times travel as ISO text both ways; waiting for a lock gives up as the
        // file database does, with the busy message. The question whether our collation is
        // there rides along: one round trip for the whole set-up.
        Result r(m_conn->send([this] {
            return PQexec(m_conn->conn,
                          "SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, MDY'; "
                          "SET extra_float_digits = 1; SET lock_timeout = '2s'; "
                          "SELECT count(*) FROM pg_collation WHERE collname = 'casefold'");
        }));
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK)
            throw translatePgError(r.get(), m_conn->conn);
        m_tableInfo = {};
        if (qstrcmp(PQgetvalue(r.get(), 0, 0), "0") != 0)
            return;
        // Letter case is mapped by ICU beyond A to Z (see caseFoldEquals). Needs
        // the right to create in the schema: whoever creates the tables has it, and the
        // collation stays for everyone after.
        try {
            ensureCollation();
        } catch (const EngineError&) {
        }
    }

    void ensureCollation() {
        const auto st =
            prepared(QStringLiteral("SELECT count(*) FROM pg_collation WHERE collname = ?"));
        st->bind(1, QStringLiteral("casefold"));
        const bool exists = st->step() && st->int64(0) > 0;
        st->reset();
        if (!exists)
            exec(QStringLiteral("CREATE COLLATION IF NOT EXISTS casefold (provider = icu, "
                                "locale = 'und')"));
    }

    // What the catalog says of a table. The five are read by one statement: a table check
    // asks for each in turn, and opening the tables right after it asks again. An answer
    // serves each of the two questions once, so neither ever acts on an older reading.
    enum class Asked { Present, Open, Afresh };
    TableInfo tableInfo(TableId id, Asked asked = Asked::Afresh) {
        const auto at = static_cast<std::size_t>(id);
        const std::size_t question = asked == Asked::Present ? 0 : 1;
        if (asked == Asked::Afresh || !m_tableInfo[at] || m_tableInfoUsed[question][at])
            readTableInfo();
        if (asked != Asked::Afresh)
            m_tableInfoUsed[question][at] = true;
        return *m_tableInfo[at];
    }

    void readTableInfo() {
        QStringList rows;
        for (int i = 0; i < kTableCount; ++i)
            rows << QStringLiteral("(%1, CAST(? AS text))").arg(i);
        const auto st = cachedStatement(
            QStringLiteral("SELECT t.n, c.oid, coalesce(obj_description(c.oid, 'pg_class'), ''), "
                           "has_table_privilege(c.oid, 'SELECT, INSERT, UPDATE, DELETE') "
                           "FROM (VALUES %1) AS t(n, name) JOIN pg_class c "
                           "ON c.oid = to_regclass(t.name)")
                .arg(rows.join(QStringLiteral(", "))));
        for (const TableId id : kAllTables)
            st->bind(static_cast<int>(id) + 1,
                     quoteIdent(QString::fromLatin1(tableDef(id).baseName)));
        m_tableInfo = {};
        m_tableInfoUsed = {};
        for (auto& info : m_tableInfo)
            info = TableInfo{};
        while (st->step()) {
            TableInfo& info = *m_tableInfo[static_cast<std::size_t>(st->int64(0))];
            info.found = true;
            info.oid = st->text(1);
            info.comment = st->text(2);
            info.writable = st->int64(3) != 0;
        }
        st->reset();
    }

    bool tableExistsNamed(const QString& name) {
        const auto st = prepared(QStringLiteral("SELECT to_regclass(?) IS NOT NULL"));
        st->bind(1, quoteIdent(name));
        const bool exists = st->step() && st->int64(0) != 0;
        st->reset();
        return exists;
    }

    // A name for a table or index that no relation of the schema holds yet: `base`, else
    // "base (2)" … The server cuts a name at 63 bytes, so `base` is cut first where the
    // number would fall off.
    QString freeRelationName(QString base) {
        while (base.toUtf8().size() > 58)
            base.chop(1);
        QString name = base;
        for (int n = 2; tableExistsNamed(name); ++n)
            name = QStringLiteral("%1 (%2)").arg(base).arg(n);
        return name;
    }

    QString indexSql(TableId id, const IndexDef& index) const {
        QStringList parts;
        for (const IndexPart& part : index.parts) {
            const QString column = quoteIdent(QString::fromLatin1(part.column));
            parts << (part.term == IndexTerm::CaseFolded ? pgFoldedText(column) : column);
        }
        return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
            .arg(quoteIdent(tableDef(id).indexName(index)), qualifiedName(id),
                 parts.join(QStringLiteral(", ")));
    }

    // Makes the index unless the table has it. Index names are the schema's, not the table's:
    // a table that creation renamed aside keeps its index and that index's name, which an
    // earlier program left so, so the name moves on to follow its own table first.
    void makeIndex(TableId id, const IndexDef& index) {
        const QString name = tableDef(id).indexName(index);
        const auto st = prepared(QStringLiteral(
            "SELECT t.relname, i.indrelid = to_regclass(?) FROM pg_index i JOIN pg_class t "
            "ON t.oid = i.indrelid WHERE i.indexrelid = to_regclass(?)"));
        st->bind(1, qualifiedName(id));
        st->bind(2, quoteIdent(name));
        QString holder;
        bool ours = false;
        if (st->step()) {
            holder = st->text(0);
            ours = st->int64(1) != 0;
        }
        st->reset();
        if (ours)
            return;
        if (!holder.isEmpty())
            exec(QStringLiteral("ALTER INDEX %1 RENAME TO %2")
                     .arg(quoteIdent(name),
                          quoteIdent(freeRelationName(holder + QLatin1Char(' ') +
                                                      QString::fromLatin1(index.suffix)))));
        exec(indexSql(id, index));
    }

    QString where(TableId id) const {
        return QStringLiteral("Table: %1 in %2")
            .arg(QString::fromLatin1(tableDef(id).baseName), displayName());
    }

    QStringList storedColumns(const QString& oid) {
        const auto st = prepared(QStringLiteral(
            "SELECT attname FROM pg_attribute WHERE attrelid = CAST(? AS oid) AND attnum > 0 "
            "AND NOT attisdropped ORDER BY attnum"));
        st->bind(1, oid);
        QStringList columns;
        while (st->step())
            columns << st->text(0);
        return columns;
    }

    // Runs `work` in a transaction of its own, or in a savepoint of the caller's.
    template <typename Work> void atomically(Work&& work) {
        const bool outer = PQtransactionStatus(m_conn->conn) == PQTRANS_IDLE;
        exec(outer ? QStringLiteral("BEGIN") : QStringLiteral("SAVEPOINT backend_work"));
        try {
            work();
            exec(outer ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE backend_work"));
        } catch (...) {
            try {
                exec(outer ? QStringLiteral("ROLLBACK")
                           : QStringLiteral("ROLLBACK TO backend_work; RELEASE backend_work"));
            } catch (const EngineError&) {
            }
            throw;
        }
    }

    QString stampSql(TableId id) const {
        return QStringLiteral("COMMENT ON TABLE %1 IS '%2%3'")
            .arg(qualifiedName(id), kStampPrefix)
            .arg(kSchemaVersion);
    }

    std::shared_ptr<PgConnection> m_conn;
    QHash<QString, std::shared_ptr<Statement>> m_cache;
    std::array<std::optional<TableInfo>, kTableCount> m_tableInfo;
    std::array<std::array<bool, kTableCount>, 2> m_tableInfoUsed{};
    QString m_replacedMoment;
    QString m_replacedNote;
};

void PgBackend::openTable(TableId id) {
    const TableDef& def = tableDef(id);
    const TableInfo info = tableInfo(id, Asked::Open);
    if (!info.found)
        throw EngineError(QStringLiteral("Table does not exist.\n%1").arg(where(id)),
                          Code::Missing);
    if (!info.writable)
        throw EngineError(QStringLiteral("Table is read-only for this user.\n%1").arg(where(id)),
                          Code::ReadOnly);
    int version = 0;
    if (info.comment.startsWith(kStampPrefix))
        version = info.comment.mid(kStampPrefix.size()).toInt();
    if (version == kSchemaVersion)
        return;
    if (version == 0) {
        QStringList expected = def.columnNames();
        expected << QStringLiteral("rowid");
        if (storedColumns(info.oid) != expected)
            throw EngineError(QStringLiteral("Not a %1 table.\n%2")
                                  .arg(QString::fromLatin1(def.label), where(id)));
    }
    m_tableInfo = {}; // the stamp changes
    try {
        atomically([&] {
            migrateTable(*this, id, version, where(id));
            exec(stampSql(id));
        });
    } catch (const EngineError& e) {
        // Only the table's owner may add an index or stamp the table, and an index waits for
        // other testers' writing to the table to end. A table of a version we can use as it
        // is opens all the same, only slower, and is brought up to date at a later opening
        // by its owner; the savepoint kept the caller's transaction.
        const bool mayWait = e.code() == Code::ReadOnly || e.code() == Code::Busy;
        if (!mayWait || !schemaVersionUsable(version))
            throw;
    }
}

void PgBackend::addIndex(TableId id, const IndexDef& index) {
    makeIndex(id, index);
}

bool PgBackend::tablePresent(TableId id) {
    const TableInfo info = tableInfo(id, Asked::Present);
    return info.found && info.writable;
}

void PgBackend::createTable(TableId id) {
    const TableDef& def = tableDef(id);
    QStringList parts;
    for (const ColumnDef& c : def.columns) {
        QString col = quoteIdent(QString::fromLatin1(c.name)) + QLatin1Char(' ') + sqlType(c);
        if (c.required)
            col += QStringLiteral(" NOT NULL");
        parts << col;
    }
    // The row's own number, as a file table has one: bookmarks and positions use it.
    parts << QStringLiteral("rowid BIGINT GENERATED ALWAYS AS IDENTITY UNIQUE");
    parts << QStringLiteral("PRIMARY KEY (%1)").arg(quotedList(def.keyNames()));

    ensureCollation();
    atomically([&] {
        if (tableInfo(id).found) {
            // Nothing is dropped: the old table stays under a name that tells when it left.
            if (m_replacedMoment.isEmpty())
                m_replacedMoment = now().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
            const QString name =
                freeRelationName(QStringLiteral("%1 replaced %2")
                                     .arg(QString::fromLatin1(def.baseName), m_replacedMoment));
            exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                     .arg(qualifiedName(id), quoteIdent(name)));
            m_replacedNote = QStringLiteral("The replaced tables are kept unchanged in %1 under "
                                            "the names ending in \"replaced %2\".\nRename them "
                                            "back to go back to them.")
                                 .arg(displayName(), m_replacedMoment);
        }
        exec(QStringLiteral("CREATE TABLE %1 (%2)")
                 .arg(qualifiedName(id), parts.join(QStringLiteral(", "))));
        for (const IndexDef& index : def.indexes)
            makeIndex(id, index);
        exec(stampSql(id));
    });
    m_tableInfo = {};
}

} // namespace

std::unique_ptr<Backend> makePostgresBackend(const QString& connection) {
    return std::make_unique<PgBackend>(connection);
}

} // namespace nerova
