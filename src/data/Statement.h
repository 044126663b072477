#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace nerova {

// A prepared SQLite statement. Binds QVariants (null, bool, numbers, text, QDate, QTime in
// the stored text forms) and reads columns back as QVariants.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void reset();                            // ready to bind and step again
    void bind(int index, const QVariant& v); // 1-based
    void bindAll(const QVariantList& values);
    // Steps once: true while a row is available; throws EngineError on failure.
    bool step();
    // Runs to completion (for statements without rows).
    void run();
    int lastResultCode() const { return m_rc; }
    int extendedResultCode() const;

    qint64 int64(int col) const;
    double real(int col) const;
    QString text(int col) const;
    bool isNull(int col) const;
    QVariant raw(int col) const;
    int columnCount() const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_sql;
    int m_rc = 0;
};

class EngineError;
// The user's text for an SQLite result code.
EngineError translateError(int extendedCode, const QString& sqliteMessage);

// Quotes an SQL identifier ("Flow Point Number" → "\"Flow Point Number\"").
QString quoteIdent(const QString& name);

} // namespace nerova
