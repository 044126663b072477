#include "data/LatestTests.h"

#include "data/Database.h"
#include "data/Statement.h"

namespace nerova {

namespace {

// Keeps the four tables usable while the statement runs, whatever the cursors do meanwhile.
class TablesHeld {
public:
    explicit TablesHeld(Database& db) : m_db(db) {
        for (const TableId id : kRecordLevels) {
            m_db.acquire(id);
            ++m_held;
        }
    }
    ~TablesHeld() {
        for (int i = m_held - 1; i >= 0; --i)
            m_db.release(kRecordLevels[i]);
    }
    TablesHeld(const TablesHeld&) = delete;
    TablesHeld& operator=(const TablesHeld&) = delete;

private:
    Database& m_db;
    int m_held = 0;
};

QString qualifiedColumns(const QString& alias, const QStringList& columns) {
    QStringList out;
    out.reserve(columns.size());
    for (const QString& c : columns)
        out << alias + QLatin1Char('.') + quoteIdent(c);
    return out.join(QStringLiteral(", "));
}

QString keyJoin(const QString& left, const QString& right, int count) {
    static const char* const keys[] = {"CompanyID", "LocationID", "PumpID"};
    QStringList conds;
    for (int i = 0; i < count; ++i) {
        const QString key = quoteIdent(QLatin1String(keys[i]));
        conds << QStringLiteral("%1.%2 = %3.%2").arg(left, key, right);
    }
    return conds.join(QStringLiteral(" AND "));
}

} // namespace

std::vector<QVariantList> pumpsWithLatestTest(Database& db, const LatestTestColumns& columns,
                                              const QDate& today) {
    // The tests are grouped once per pump. The latest is found as the greatest "date TestID"
    // text: ISO dates order as their text does, and the date's fixed ten characters leave the
    // identifier from the twelfth on. That picks the date and breaks its ties in one pass,
    // where a second grouping or a window function would read every test again.
    const QString latest = QStringLiteral(
        "SELECT \"CompanyID\", \"LocationID\", \"PumpID\", "
        "MAX(CASE WHEN \"Test Date\" <= ? THEN CAST(\"Test Date\" AS TEXT) || ' ' || \"TestID\" "
        "END) AS latest, "
        "SUM(CASE WHEN \"Test Date\" > ? THEN 1 ELSE 0 END) AS ahead "
        "FROM %1 GROUP BY \"CompanyID\", \"LocationID\", \"PumpID\"");
    QStringList selected{qualifiedColumns(
        QStringLiteral("p"),
        {QStringLiteral("CompanyID"), QStringLiteral("LocationID"), QStringLiteral("PumpID")})};
    const std::pair<QString, const QStringList*> parts[] = {
        {QStringLiteral("co"), &columns.company},
        {QStringLiteral("lo"), &columns.location},
        {QStringLiteral("p"), &columns.pump}};
    for (const auto& [alias, list] : parts)
        if (!list->isEmpty())
            selected << qualifiedColumns(alias, *list);
    selected << QStringLiteral("COALESCE(g.ahead, 0)");
    if (!columns.test.isEmpty())
        selected << qualifiedColumns(QStringLiteral("t"), columns.test);
    const QString order = qualifiedColumns(
        QStringLiteral("p"),
        {QStringLiteral("CompanyID"), QStringLiteral("LocationID"), QStringLiteral("PumpID")});
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 p "
                       "JOIN %3 co ON %4 "
                       "JOIN %5 lo ON %6 "
                       "LEFT JOIN (%7) g ON %8 "
                       "LEFT JOIN %9 t ON %10 AND t.\"TestID\" = substr(g.latest, 12) "
                       "ORDER BY %11")
            .arg(selected.join(QStringLiteral(", ")), db.qualifiedName(TableId::Pump),
                 db.qualifiedName(TableId::Company),
                 keyJoin(QStringLiteral("co"), QStringLiteral("p"), 1),
                 db.qualifiedName(TableId::Location),
                 keyJoin(QStringLiteral("lo"), QStringLiteral("p"), 2),
                 latest.arg(db.qualifiedName(TableId::Test)),
                 keyJoin(QStringLiteral("g"), QStringLiteral("p"), 3),
                 db.qualifiedName(TableId::Test),
                 keyJoin(QStringLiteral("t"), QStringLiteral("g"), 3), order);

    const TablesHeld held(db);
    const std::shared_ptr<Statement> st = db.prepared(sql);
    st->bindAll({today, today});
    std::vector<QVariantList> rows;
    const auto count = static_cast<int>(3 + columns.company.size() + columns.location.size() +
                                        columns.pump.size() + 1 + columns.test.size());
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
