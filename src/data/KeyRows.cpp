#include "data/KeyRows.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Statement.h"

namespace nerova {

namespace {

// Keeps a table file attached while it is read, whatever a cursor does meanwhile.
class Attached {
public:
    Attached(Database& db, TableId id) : m_db(db), m_id(id) { m_db.acquire(m_id); }
    ~Attached() { m_db.release(m_id); }
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;

private:
    Database& m_db;
    TableId m_id;
};

} // namespace

std::vector<QVariantList> rowsByKey(Database& db, TableId id, const QStringList& columns,
                                    const QVariantList& keys) {
    const QStringList keyNames = tableDef(id).keyNames();
    if (keys.size() > keyNames.size())
        throw EngineError(QStringLiteral("More key values than key columns."),
                          EngineError::Code::State);
    QStringList conditions;
    for (qsizetype i = 0; i < keys.size(); ++i)
        conditions << quoteIdent(keyNames.at(i)) + QStringLiteral(" = ?");
    QString sql =
        QStringLiteral("SELECT %1 FROM %2").arg(quotedList(columns), db.qualifiedName(id));
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY ") + quotedList(keyNames);

    Attached attached(db, id);
    const std::shared_ptr<Statement> st = db.prepared(sql);
    st->bindAll(keys);
    std::vector<QVariantList> rows;
    const int count = static_cast<int>(columns.size());
    while (st->step()) {
        QVariantList values;
        values.reserve(count);
        for (int i = 0; i < count; ++i)
            values << (st->isNull(i) ? QVariant() : st->raw(i));
        rows.push_back(std::move(values));
    }
    st->reset();
    return rows;
}

} // namespace nerova
