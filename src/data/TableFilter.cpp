#include "data/Table.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Statement.h"

// Which rows a cursor shows and in what order: the master link, the prefix filter, the
// index order, and locating a row among them.

namespace nerova {

void Table::setIndexFieldNames(const QStringList& columns) {
    m_order = columns;
    if (isOpen())
        refresh();
}

QString Table::whereClause(QVariantList& binds) const {
    QStringList conds;
    if (m_master) {
        for (const QString& link : m_linkColumns) {
            conds << quoteIdent(QString::fromLatin1(def().columns[columnIndex(link)].name)) +
                         QStringLiteral(" = ?");
            binds << (m_master->isOpen() ? m_master->value(link) : QVariant());
        }
    }
    const QString filter = filterCondition(binds);
    if (!filter.isEmpty())
        conds << filter;
    return conds.isEmpty() ? QString()
                           : QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
}

QString Table::filterCondition(QVariantList& binds) const {
    if (m_filterText.isEmpty() || m_filterColumn.isEmpty())
        return {};
    return m_db.foldedPrefix(m_id,
                             QString::fromLatin1(def().columns[columnIndex(m_filterColumn)].name),
                             m_filterText, binds);
}

QString Table::orderClause() const {
    QStringList order;
    const QStringList orderCols = m_order.isEmpty() ? def().keyNames() : m_order;
    // Blanks sort first, as in the file database; a required column has none, and leaving the
    // words off lets the server walk its key index instead of sorting.
    const QString suffix = m_db.orderSuffix();
    for (const QString& c : orderCols) {
        const ColumnDef& col = def().columns[static_cast<std::size_t>(columnIndex(c))];
        order << quoteIdent(QString::fromLatin1(col.name)) + (col.required ? QString() : suffix);
    }
    order << QStringLiteral("rowid");
    return order.join(QStringLiteral(", "));
}

void Table::requery() {
    m_rows.clear();
    if (m_state == TableState::Inactive)
        return;
    if (m_master &&
        (!m_master->isOpen() || (m_master->state() != TableState::Insert && m_master->isEmpty())))
        return;
    if (takeAheadRows())
        return;
    QVariantList binds;
    const QString where = whereClause(binds);
    const auto st = m_db.prepared(QStringLiteral("SELECT rowid FROM %1%2 ORDER BY %3")
                                      .arg(m_db.qualifiedName(m_id), where, orderClause()));
    st->bindAll(binds);
    while (st->step())
        m_rows.append(st->int64(0));
}

bool Table::locate(const QStringList& columns, const QVariantList& values, Qt::CaseSensitivity cs) {
    if (!isOpen() || columns.size() != values.size())
        return false;
    if (isEditing())
        post();
    if (m_rows.isEmpty())
        return false;
    QVariantList binds;
    QString where = whereClause(binds);
    QStringList conds;
    for (int i = 0; i < columns.size(); ++i) {
        const int ci = columnIndex(columns[i]);
        const ColumnDef& c = def().columns[static_cast<std::size_t>(ci)];
        const QString col = quoteIdent(QString::fromLatin1(c.name));
        const QVariant v = convertIn(ci, values[i]);
        if (v.isNull()) {
            conds << col + QStringLiteral(" IS NULL");
            continue;
        }
        const bool text = c.type == ColumnType::Alpha || c.type == ColumnType::Memo;
        conds << (text && cs == Qt::CaseInsensitive ? m_db.caseFoldEquals(col, QStringLiteral("?"))
                                                    : col + QStringLiteral(" = ?"));
        binds << v;
    }
    where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
             conds.join(QStringLiteral(" AND "));
    const auto st = m_db.prepared(QStringLiteral("SELECT rowid FROM %1%2 ORDER BY %3 LIMIT 1")
                                      .arg(m_db.qualifiedName(m_id), where, orderClause()));
    st->bindAll(binds);
    if (!st->step())
        return false;
    const qint64 rowid = st->int64(0);
    const int index = static_cast<int>(m_rows.indexOf(rowid));
    if (index < 0)
        return false;
    m_bof = m_eof = false;
    moveTo(index, true);
    return true;
}

void Table::setPrefixFilter(const QString& column, const QString& prefix, bool keepPosition) {
    if (!column.isEmpty())
        columnIndex(column); // unknown columns are refused before anything changes
    m_filterColumn = prefix.isEmpty() ? QString() : column;
    m_filterText = prefix;
    if (!isOpen())
        return;
    if (keepPosition) {
        const bool inserting = m_state == TableState::Insert;
        const int at = inserting ? m_savedIndex : m_index;
        const qint64 current = at >= 0 && at < m_rows.size() ? m_rows[at] : 0;
        requery();
        int index = static_cast<int>(m_rows.indexOf(current));
        if (index < 0)
            index = m_rows.isEmpty() ? -1 : 0;
        if (inserting) {
            m_savedIndex = index;
        } else {
            m_index = index;
            if (m_state == TableState::Browse)
                loadCurrent();
        }
        m_eof = m_rows.isEmpty();
        m_bof = m_index <= 0;
        Q_EMIT afterScroll();
        return;
    }
    if (isEditing())
        post();
    readAhead(true, std::nullopt);
    requery();
    m_bof = true;
    m_eof = m_rows.isEmpty();
    m_index = m_rows.isEmpty() ? -1 : 0;
    loadCurrent();
    Q_EMIT recordChanged();
    refreshDetails();
    dropAhead();
    Q_EMIT afterScroll();
}

} // namespace nerova
