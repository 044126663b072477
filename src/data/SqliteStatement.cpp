#include "data/SqliteStatement.h"

#include "data/EngineError.h"

#include <QDate>
#include <QTime>
#include <sqlite3.h>

namespace nerova {

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) : m_db(db) {
    const QByteArray utf8 = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw EngineError(QStringLiteral("Database error: %1").arg(msg));
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void SqliteStatement::bind(int index, const QVariant& v) {
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_stmt, index, v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
            break;
        case QMetaType::QDate: {
            const QByteArray t = v.toDate().toString(Qt::ISODate).toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, t.constData(), static_cast<int>(t.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QTime: {
            const QByteArray t = v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, t.constData(), static_cast<int>(t.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, t.constData(), static_cast<int>(t.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        throw EngineError(
            QStringLiteral("Database error: %1").arg(QString::fromUtf8(sqlite3_errmsg(m_db))));
}

bool SqliteStatement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
    const int code = sqlite3_extended_errcode(m_db);
    sqlite3_reset(m_stmt);
    throw translateSqliteError(code, msg);
}

qint64 SqliteStatement::int64(int col) const {
    return sqlite3_column_int64(m_stmt, col);
}

double SqliteStatement::real(int col) const {
    return sqlite3_column_double(m_stmt, col);
}

QString SqliteStatement::text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, col)) : QString();
}

bool SqliteStatement::isNull(int col) const {
    return sqlite3_column_type(m_stmt, col) == SQLITE_NULL;
}

QVariant SqliteStatement::raw(int col) const {
    switch (sqlite3_column_type(m_stmt, col)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant::fromValue<qint64>(int64(col));
    case SQLITE_FLOAT:
        return real(col);
    default:
        return text(col);
    }
}

int SqliteStatement::columnCount() const {
    return sqlite3_column_count(m_stmt);
}

EngineError translateSqliteError(int code, const QString& msg) {
    using C = EngineError::Code;
    switch (code & 0xff) {
    case SQLITE_CONSTRAINT:
        if (code == SQLITE_CONSTRAINT_NOTNULL)
            return EngineError(QStringLiteral("Field value required."), C::RequiredField);
        if (code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_UNIQUE)
            return EngineError(QStringLiteral("Key violation."), C::KeyViolation);
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return EngineError(QStringLiteral("Table is busy: another program is using it."), C::Busy);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return EngineError(QStringLiteral("Table cannot be written: %1").arg(msg), C::ReadOnly);
    case SQLITE_FULL:
        return EngineError(QStringLiteral("The disk is full."), C::DiskFull);
    case SQLITE_IOERR:
        return EngineError(QStringLiteral("Input/output error: %1").arg(msg), C::Io);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return EngineError(QStringLiteral("The table file is damaged: %1").arg(msg), C::Damaged);
    default:
        break;
    }
    return EngineError(QStringLiteral("Database error: %1").arg(msg));
}

} // namespace nerova
