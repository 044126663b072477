#include "data/TableFileCheck.h"

#include "data/Statement.h"

#include <QFile>
#include <QUrl>

#include <sqlite3.h>

namespace nerova {

namespace {

QString sqlType(ColumnType t) {
    switch (t) {
    case ColumnType::Number:
        return QStringLiteral("REAL");
    case ColumnType::Logical:
        return QStringLiteral("INTEGER");
    default:
        return QStringLiteral("TEXT");
    }
}

QString createSqlNamed(const TableDef& def, const QString& name) {
    QStringList parts;
    for (const ColumnDef& c : def.columns) {
        QString col = quoteIdent(QString::fromLatin1(c.name)) + QLatin1Char(' ') + sqlType(c.type);
        if (c.required)
            col += QStringLiteral(" NOT NULL");
        parts << col;
    }
    parts << QStringLiteral("PRIMARY KEY (%1)").arg(quotedList(def.keyNames()));
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(quoteIdent(name), parts.join(QStringLiteral(", ")));
}

// The header of a database file: its first 100 bytes; the text encoding is at 56.
enum class Header { Ours, NotDatabase, Utf16 };

Header readHeader(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Header::NotDatabase;
    const QByteArray head = f.read(100);
    if (head.size() < 100 || !head.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        return Header::NotDatabase;
    const auto encoding = static_cast<quint8>(head[59]);
    // 0 only in a file that holds no schema yet; SQLite then takes the connection's UTF-8.
    return encoding <= 1 ? Header::Ours : Header::Utf16;
}

// A connection of its own with an empty UTF-8 main database, to which the file is attached
// read-only and immutable: exactly how the engine sees a table, never touching the file.
class Checker {
public:
    Checker() {
        sqlite3_open_v2(":memory:", &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
        exec("PRAGMA trusted_schema=OFF");
    }
    ~Checker() { sqlite3_close_v2(m_db); }
    Checker(const Checker&) = delete;
    Checker& operator=(const Checker&) = delete;

    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }
    bool exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == 0; }

    bool attach(const QString& path) {
        const QByteArray uri = "file:" + QUrl::fromLocalFile(path).toEncoded(QUrl::RemoveScheme) +
                               "?mode=ro&immutable=1";
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, "ATTACH DATABASE ?1 AS t", -1, &st, nullptr) != SQLITE_OK)
            return false;
        sqlite3_bind_text(st, 1, uri.constData(), static_cast<int>(uri.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
    }

    // True when the statement compiles: used to ask whether a table has row ids.
    bool compiles(const QString& sql) {
        sqlite3_stmt* st = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr);
        sqlite3_finalize(st);
        return rc == SQLITE_OK;
    }

    // Every row of a query as its column texts (a NULL as a null QString); false on failure.
    bool rows(const QString& sql, QList<QStringList>& out) {
        out.clear();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            return false;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                row << (text ? QString::fromUtf8(text) : QString());
            }
            out << row;
        }
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* m_db = nullptr;
};

// What is wrong with the columns of the stored table, from its full column list (generated
// columns included, which table_info leaves out); empty when they are ours.
QString columnProblem(const TableDef& def, const QList<QStringList>& xinfo) {
    const QString label = QString::fromLatin1(def.label);
    QStringList names;
    for (const QStringList& c : xinfo)
        names << c.value(1);
    if (names != def.columnNames())
        return QStringLiteral("its %1 table has other columns than this program's").arg(label);
    for (qsizetype i = 0; i < xinfo.size(); ++i) {
        const ColumnDef& want = def.columns[static_cast<std::size_t>(i)];
        const QStringList& got = xinfo[i];
        // cid, name, type, notnull, dflt_value, pk, hidden
        const int keyPlace = i < def.keyCount ? int(i) + 1 : 0;
        if (got.value(5).toInt() != keyPlace)
            return QStringLiteral("its %1 table does not have this program's key").arg(label);
        if ((got.value(3) == QLatin1String("1")) != want.required)
            return QStringLiteral("its %1 table has other NOT NULL rules than this program's")
                .arg(label);
        if (got.value(6) != QLatin1String("0"))
            return QStringLiteral("its %1 table has a generated column").arg(label);
    }
    return {};
}

// What the file holds beside its table (`master`: type, name, tbl_name and sql of each row
// of its schema) that the engine would not have put there; empty when nothing.
QString besideTheTable(const TableDef& def, const QList<QStringList>& master, const QString& stored,
                       int version) {
    // A trigger, a view, another table or an index of someone else's making would come in
    // with the table and act on the user's data.
    QStringList ownIndexes;
    for (const QStringList& row : master) {
        const bool table = row.value(0) == QLatin1String("table") && row.value(1) == stored;
        const bool keyIndex = row.value(0) == QLatin1String("index") && row.value(2) == stored &&
                              row.value(3).isNull() &&
                              row.value(1).startsWith(QLatin1String("sqlite_autoindex_"));
        if (table || keyIndex)
            continue;
        const IndexDef* own = nullptr;
        for (const IndexDef& index : def.indexes)
            if (!index.serverOnly() && row.value(0) == QLatin1String("index") &&
                row.value(1) == def.indexName(index))
                own = &index;
        if (!own)
            return QStringLiteral("it also holds the %1 \"%2\"").arg(row.value(0), row.value(1));
        // The engine names the table as the schema spells it, whatever spelling the file has.
        if (row.value(2) != stored || row.value(3) != tableFileIndexSql(def, *own))
            return QStringLiteral("its index \"%1\" is made otherwise than this program makes it")
                .arg(row.value(1));
        ownIndexes << row.value(1);
    }
    // The indexes of the version the file says it has. One of a later version is welcome
    // too: the program before it made the date index the first time it counted what is due.
    for (const IndexDef& index : def.indexes)
        if (!index.serverOnly() && index.since <= std::max(version, 1) &&
            !ownIndexes.contains(def.indexName(index)))
            return QStringLiteral("it lacks the index \"%1\" of its table version")
                .arg(def.indexName(index));
    return {};
}

} // namespace

QString tableFileCreateSql(const TableDef& def) {
    return createSqlNamed(def, QString::fromLatin1(def.baseName));
}

QString tableFileIndexSql(const TableDef& def, const IndexDef& index, const QString& schema) {
    QStringList parts;
    for (const IndexPart& part : index.parts) {
        Q_ASSERT(part.term == IndexTerm::Column); // a folded key is the server's alone
        parts << quoteIdent(QString::fromLatin1(part.column));
    }
    // SQLite keeps the statement as written from the index's own name on: neither the
    // schema nor IF NOT EXISTS reaches the file, so both forms leave the same text there.
    const QString name = quoteIdent(def.indexName(index));
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(schema.isEmpty() ? name
                              : QStringLiteral("IF NOT EXISTS %1.%2").arg(quoteIdent(schema), name),
             quoteIdent(QString::fromLatin1(def.baseName)), parts.join(QStringLiteral(", ")));
}

Result checkTableFile(const QString& path, TableId id) {
    const TableDef& def = tableDef(id);
    const QString label = QString::fromLatin1(def.label);
    switch (readHeader(path)) {
    case Header::NotDatabase:
        return Result::failure(QStringLiteral("file is not a database"));
    case Header::Utf16:
        return Result::failure(QStringLiteral("its text is stored as UTF-16, not UTF-8"));
    case Header::Ours:
        break;
    }
    // A file whose pages disagree (one copied while it was being written, say) fails here
    // with no more than SQLite's "database disk image is malformed": said as what it means.
    const auto damaged = [](const QString& why) {
        return Result::failure(QStringLiteral("the file is damaged: %1").arg(why));
    };
    Checker file;
    if (!file.attach(path))
        return damaged(file.error());
    QList<QStringList> rows;
    if (!file.rows(QStringLiteral("PRAGMA t.integrity_check"), rows))
        return damaged(file.error());
    if (rows.isEmpty() || rows.first().value(0) != QLatin1String("ok"))
        return damaged(rows.isEmpty() ? QString() : rows.first().value(0));

    // The table itself, then what the engine keeps beside it: the index SQLite makes for its
    // primary key and the engine's own indexes.
    if (!file.rows(QStringLiteral("SELECT type, name, tbl_name, sql FROM t.sqlite_master"), rows))
        return Result::failure(file.error());
    QString stored;
    QString storedSql;
    for (const QStringList& row : std::as_const(rows)) {
        if (row.value(0) == QLatin1String("table") &&
            row.value(1).compare(QString::fromLatin1(def.baseName), Qt::CaseInsensitive) == 0) {
            stored = row.value(1);
            storedSql = row.value(3);
        }
    }
    if (stored.isEmpty())
        return Result::failure(QStringLiteral("it holds no %1 table").arg(label));
    QList<QStringList> versionRows;
    if (!file.rows(QStringLiteral("PRAGMA t.user_version"), versionRows))
        return Result::failure(file.error());
    const int version = versionRows.value(0).value(0).toInt();
    if (!schemaVersionKnown(version))
        return Result::failure(
            QStringLiteral("its table version %1 is not one this program knows").arg(version));
    if (const QString problem = besideTheTable(def, rows, stored, version); !problem.isEmpty())
        return Result::failure(problem);

    if (!file.rows(QStringLiteral("PRAGMA t.table_xinfo(%1)").arg(quoteIdent(stored)), rows))
        return Result::failure(file.error());
    if (const QString problem = columnProblem(def, rows); !problem.isEmpty())
        return Result::failure(problem);
    if (!file.compiles(QStringLiteral("SELECT rowid FROM t.%1").arg(quoteIdent(stored))))
        return Result::failure(QStringLiteral("its %1 table has no row ids").arg(label));
    // Anything else (a conflict clause, a collation, a check, a column type) the text shows.
    if (storedSql != createSqlNamed(def, stored))
        return Result::failure(
            QStringLiteral("its %1 table is made otherwise than this program makes it").arg(label));
    return {};
}

} // namespace nerova
