#pragma once

#include "data/Schema.h"

#include <QString>
#include <QVariant>

namespace nerova {

// A prepared statement of either backend. Parameters are written "?" in the SQL text and
// bound 1-based; QVariants are bound as null, bool, numbers, text, and QDate / QTime in
// their ISO forms. Columns are read back 0-based.
class Statement {
public:
    virtual ~Statement() = default;
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    virtual void reset() = 0; // ready to bind and step again
    virtual void bind(int index, const QVariant& v) = 0;
    void bindAll(const QVariantList& values) {
        for (int i = 0; i < values.size(); ++i)
            bind(i + 1, values[i]);
    }
    // Steps once: true while a row is available; throws EngineError on failure.
    virtual bool step() = 0;
    // Runs to completion (for statements without rows, or whose rows do not matter).
    void run() {
        while (step()) {
        }
    }

    virtual qint64 int64(int col) const = 0; // logicals read as 0 or 1
    virtual double real(int col) const = 0;
    virtual QString text(int col) const = 0;
    virtual bool isNull(int col) const = 0;
    // The value as stored: null, qint64 (integers and logicals), double, or text (dates
    // and times in their ISO text).
    virtual QVariant raw(int col) const = 0;
    virtual int columnCount() const = 0;
};

// A column read as the engine keeps values of that type: QString, double, bool, QDate or
// QTime; null for a blank.
QVariant typedValue(const Statement& st, int col, ColumnType type);

// Quotes an SQL identifier ("Flow Point Number" → "\"Flow Point Number\"").
QString quoteIdent(const QString& name);
// Quoted identifiers joined by ", ", for column lists.
QString quotedList(const QStringList& names);
// INSERT INTO <table> (every column) VALUES (?, ?, …): one parameter per column of def.
QString insertSql(const QString& table, const TableDef& def);

} // namespace nerova
