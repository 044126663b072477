#include "data/LatestTests.h"

#include "data/Database.h"
#include "data/Statement.h"

#include <algorithm>

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
    // The tests are grouped once per pump, from the test table's index by pump and date alone
    // where the table has it (a server table its owner has not yet brought up to date may
    // not: the grouping then reads the table). The latest is found as the greatest "date TestID"
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
    selected << QStringLiteral(
        "COALESCE(g.ahead, 0), substr(g.latest, 1, 10), substr(g.latest, 12)");
    // The test's own row only when columns of it are asked for: reading 8,000 of them from
    // all over the table file is most of the statement's work.
    QString testJoin;
    if (!columns.test.isEmpty()) {
        selected << qualifiedColumns(QStringLiteral("t"), columns.test);
        testJoin = QStringLiteral("LEFT JOIN %1 t ON %2 AND t.\"TestID\" = substr(g.latest, 12) ")
                       .arg(db.qualifiedName(TableId::Test),
                            keyJoin(QStringLiteral("t"), QStringLiteral("g"), 3));
    }
    const QString order = qualifiedColumns(
        QStringLiteral("p"),
        {QStringLiteral("CompanyID"), QStringLiteral("LocationID"), QStringLiteral("PumpID")});
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 p "
                       "JOIN %3 co ON %4 "
                       "JOIN %5 lo ON %6 "
                       "LEFT JOIN (%7) g ON %8 "
                       "%9"
                       "ORDER BY %10")
            .arg(selected.join(QStringLiteral(", ")), db.qualifiedName(TableId::Pump),
                 db.qualifiedName(TableId::Company),
                 keyJoin(QStringLiteral("co"), QStringLiteral("p"), 1),
                 db.qualifiedName(TableId::Location),
                 keyJoin(QStringLiteral("lo"), QStringLiteral("p"), 2),
                 latest.arg(db.qualifiedName(TableId::Test)),
                 keyJoin(QStringLiteral("g"), QStringLiteral("p"), 3), testJoin, order);

    const TablesHeld held(db);
    const std::shared_ptr<Statement> st = db.prepared(sql);
    st->bindAll({today, today});
    std::vector<QVariantList> rows;
    const auto count = static_cast<int>(3 + columns.company.size() + columns.location.size() +
                                        columns.pump.size() + 3 + columns.test.size());
    while (st->step()) {
        QVariantList values;
        values.reserve(count);
        for (int i = 0; i < count; ++i)
            values << st->raw(i); // null for a blank
        rows.push_back(std::move(values));
    }
    st->reset();
    return rows;
}

std::vector<QVariantList> testsByKey(Database& db, const QStringList& pumpColumns,
                                     const QStringList& testColumns,
                                     const QList<QStringList>& keys) {
    // Always as many keys as a batch holds (the last repeated), so that every batch is the one
    // statement the cache keeps. Each key is one lookup in the test table's primary key.
    const QStringList keyColumns = {QStringLiteral("CompanyID"), QStringLiteral("LocationID"),
                                    QStringLiteral("PumpID"), QStringLiteral("TestID")};
    QStringList one;
    for (const QString& c : keyColumns)
        one << QStringLiteral("t.%1 = ?").arg(quoteIdent(c));
    const QString match = QLatin1Char('(') + one.join(QStringLiteral(" AND ")) + QLatin1Char(')');
    QStringList matches;
    for (int i = 0; i < kTestsByKeyBatch; ++i)
        matches << match;
    QStringList selected{qualifiedColumns(QStringLiteral("t"), keyColumns)};
    if (!pumpColumns.isEmpty())
        selected << qualifiedColumns(QStringLiteral("p"), pumpColumns);
    if (!testColumns.isEmpty())
        selected << qualifiedColumns(QStringLiteral("t"), testColumns);
    const QString sql = QStringLiteral("SELECT %1 FROM %2 t JOIN %3 p ON %4 WHERE %5")
                            .arg(selected.join(QStringLiteral(", ")),
                                 db.qualifiedName(TableId::Test), db.qualifiedName(TableId::Pump),
                                 keyJoin(QStringLiteral("p"), QStringLiteral("t"), 3),
                                 matches.join(QStringLiteral(" OR ")));
    const auto count = static_cast<int>(4 + pumpColumns.size() + testColumns.size());

    const TablesHeld held(db);
    const std::shared_ptr<Statement> st = db.prepared(sql);
    std::vector<QVariantList> rows;
    for (qsizetype start = 0; start < keys.size(); start += kTestsByKeyBatch) {
        QVariantList binds;
        binds.reserve(4 * kTestsByKeyBatch);
        for (qsizetype i = start; i < start + kTestsByKeyBatch; ++i) {
            const QStringList& key = keys[std::min(i, keys.size() - 1)];
            for (int k = 0; k < 4; ++k)
                binds << key.value(k);
        }
        st->bindAll(binds);
        while (st->step()) {
            QVariantList values;
            values.reserve(count);
            for (int i = 0; i < count; ++i)
                values << st->raw(i);
            rows.push_back(std::move(values));
        }
        st->reset();
    }
    return rows;
}

} // namespace nerova
