#pragma once

#include "data/Statement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace nerova {

class EngineError;

// A statement of the file database.
class SqliteStatement final : public Statement {
public:
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement() override;

    void reset() override;
    void bind(int index, const QVariant& v) override;
    bool step() override;
    qint64 int64(int col) const override;
    double real(int col) const override;
    QString text(int col) const override;
    bool isNull(int col) const override;
    QVariant raw(int col) const override;
    int columnCount() const override;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// The user's text for an SQLite result code.
EngineError translateSqliteError(int extendedCode, const QString& sqliteMessage);

} // namespace nerova
