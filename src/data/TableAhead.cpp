#include "data/Table.h"

#include "data/Database.h"
#include "data/Statement.h"

#include <chrono>
#include <vector>

// Reading ahead on an office server. A move reads level by level: this table's row, then
// for each detail its row ids and its first row, each read needing the one above it. Over a
// network every read is a round trip, so the reads a move is about to make are sent in one
// go: each level's master row is named by a subquery on the level above it, down to the row
// the move goes to. The cursor then takes what was read instead of asking again; anything
// that does not fit what was read ahead (a row someone deleted meanwhile) is read as usual.

namespace nerova {

namespace {

// SQL text with its parameters in the order they stand in it.
struct Sql {
    QString text;
    QVariantList binds;
};

} // namespace

struct Table::Impl {
    // The visible rows of detail d under the master row `masterRow`, from ORDER BY on.
    static Sql rowsUnder(const Table& d, const Sql& masterRow) {
        const Table& m = *d.m_master;
        QStringList links;
        for (const QString& link : d.m_linkColumns)
            links << quoteIdent(QString::fromLatin1(
                d.def().columns[static_cast<std::size_t>(d.columnIndex(link))].name));
        Sql sql;
        sql.text = QStringLiteral(" FROM %1 WHERE (%2) = (SELECT %2 FROM %3 WHERE rowid = %4)")
                       .arg(d.m_db.qualifiedName(d.m_id), links.join(QStringLiteral(", ")),
                            m.m_db.qualifiedName(m.m_id), masterRow.text);
        sql.binds = masterRow.binds;
        const QString filter = d.filterCondition(sql.binds);
        if (!filter.isEmpty())
            sql.text += QStringLiteral(" AND ") + filter;
        sql.text += QStringLiteral(" ORDER BY ") + d.orderClause();
        return sql;
    }

    struct Pending {
        Table* table;
        bool rows; // the row ids, or else the row
        std::shared_ptr<Statement> statement;
    };

    static void add(std::vector<Pending>& pending, Table* t, bool rows, const Sql& sql) {
        const auto st = t->m_db.prepared(sql.text);
        st->bindAll(sql.binds);
        pending.push_back({t, rows, st});
    }

    static Sql rowRead(const Table& t, const Sql& rowid) {
        const QString version = t.m_db.rowVersionExpression();
        return {QStringLiteral("SELECT *, rowid%1 FROM %2 WHERE rowid = %3")
                    .arg(version.isEmpty() ? QString() : QStringLiteral(", ") + version,
                         t.m_db.qualifiedName(t.m_id), rowid.text),
                rowid.binds};
    }

    // The details of t and theirs, under t's row `row`; with `closedToo` those about to be
    // opened as well.
    static void addDetails(std::vector<Pending>& pending, const Table& t, const Sql& row,
                           bool closedToo) {
        for (Table* d : t.m_details) {
            if (!d->isOpen() && !closedToo)
                continue;
            const Sql under = rowsUnder(*d, row);
            add(pending, d, true, {QStringLiteral("SELECT rowid") + under.text, under.binds});
            const Sql first{QStringLiteral("(SELECT rowid%1 LIMIT 1)").arg(under.text),
                            under.binds};
            add(pending, d, false, rowRead(*d, first));
            addDetails(pending, *d, first, closedToo);
        }
    }

    static bool editingBelow(const Table& t) {
        for (const Table* d : t.m_details)
            if (d->isEditing() || editingBelow(*d))
                return true;
        return false;
    }
};

void Table::readAhead(bool ownRows, std::optional<qint64> rowid, int position, bool closedToo) {
    dropAhead();
    // A detail being edited is stored before it follows its master, which changes what it
    // shows: nothing is read ahead of that.
    if (!m_db.readsTogether() || isEditing() || Impl::editingBelow(*this))
        return;
    std::vector<Impl::Pending> pending;
    QVariantList binds;
    const QString where = whereClause(binds);
    if (ownRows)
        Impl::add(pending, this, true,
                  {QStringLiteral("SELECT rowid FROM %1%2 ORDER BY %3")
                       .arg(m_db.qualifiedName(m_id), where, orderClause()),
                   binds});
    Sql row;
    std::shared_ptr<Statement> keep;
    if (rowid) {
        row = {QStringLiteral("?"), {QVariant::fromValue<qint64>(*rowid)}};
    } else {
        row = {QStringLiteral("(SELECT rowid FROM %1%2 ORDER BY %3 LIMIT 1 OFFSET %4)")
                   .arg(m_db.qualifiedName(m_id), where, orderClause())
                   .arg(std::max(position, 0)),
               binds};
        // Every level below names this row; behind a lookup that is a filter over the whole
        // table each time, so it is found once and kept.
        const auto [keeping, reference] = m_db.keptRowId(row.text);
        if (!keeping.isEmpty()) {
            keep = m_db.prepared(keeping);
            keep->bindAll(row.binds);
            row = {QStringLiteral("(%1)").arg(reference), {}};
        }
    }
    Impl::add(pending, this, false, Impl::rowRead(*this, row));
    Impl::addDetails(pending, *this, row, closedToo);

    std::vector<Statement*> statements;
    if (keep)
        statements.push_back(keep.get());
    for (const Impl::Pending& p : pending)
        statements.push_back(p.statement.get());
    m_db.runTogether(statements);
    const quint64 epoch = m_db.writeEpoch();
    const auto readAt = std::chrono::steady_clock::now();
    for (const Impl::Pending& p : pending) {
        Table& t = *p.table;
        Statement& st = *p.statement;
        t.m_ahead.epoch = epoch;
        t.m_ahead.readAt = readAt;
        if (p.rows) {
            t.m_ahead.haveRows = true;
            // The master's row is read before its details' rows, so it is known by now.
            if (&t != this)
                t.m_ahead.masterRow = t.m_master->m_ahead.rowid;
            else if (m_master) {
                t.m_ahead.masterRow = m_master->bookmark();
                t.m_ahead.masterState = m_master->state();
            }
            while (st.step())
                t.m_ahead.rows.append(st.int64(0));
            continue;
        }
        t.m_ahead.haveRow = true;
        const int n = static_cast<int>(t.def().columns.size());
        if (!st.step())
            continue;
        // The row id and the version come last (a server's "*" has the row id already).
        const bool versioned = !t.m_db.rowVersionExpression().isEmpty();
        const int last = st.columnCount() - 1;
        t.m_ahead.rowid = st.int64(versioned ? last - 1 : last);
        if (versioned)
            t.m_ahead.version = st.text(last);
        t.m_ahead.values.resize(n);
        for (int i = 0; i < n; ++i)
            t.m_ahead.values[i] =
                typedValue(st, i, t.def().columns[static_cast<std::size_t>(i)].type);
    }
    for (const Impl::Pending& p : pending)
        p.statement->reset();
    if (keep)
        keep->reset();
}

void Table::dropAhead() {
    m_ahead = Ahead();
    for (Table* d : std::as_const(m_details))
        d->dropAhead();
}

// What was read ahead holds only while we wrote nothing since, and only for the action that
// read it: a second later it is an old reading.
bool Table::Ahead::fresh(const Database& db) const {
    return epoch == db.writeEpoch() &&
           std::chrono::steady_clock::now() - readAt < std::chrono::seconds(1);
}

bool Table::takeAheadRows() {
    if (!m_ahead.haveRows)
        return false;
    m_ahead.haveRows = false;
    if (!m_ahead.fresh(m_db))
        return false;
    // A detail's rows hold only under the master row they were read for.
    if (m_master &&
        (m_master->state() != m_ahead.masterState || m_master->bookmark() != m_ahead.masterRow))
        return false;
    m_rows = std::move(m_ahead.rows);
    m_ahead.rows.clear();
    return true;
}

bool Table::takeAheadRow() {
    if (!m_ahead.haveRow)
        return false;
    m_ahead.haveRow = false;
    if (!m_ahead.fresh(m_db) || m_ahead.rowid == 0 || m_index < 0 || m_index >= m_rows.size() ||
        m_rows[m_index] != m_ahead.rowid)
        return false;
    m_buffer = std::move(m_ahead.values);
    m_version = m_ahead.version;
    m_ahead.values.clear();
    return true;
}

} // namespace nerova
