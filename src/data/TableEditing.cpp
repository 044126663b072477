#include "data/Table.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/RowLocks.h"
#include "data/Statement.h"

#include <optional>

namespace nerova {

namespace {

using Code = EngineError::Code;

bool isBlank(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return true;
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().isEmpty();
    return false;
}

} // namespace

QVariant Table::convertIn(int column, const QVariant& v) const {
    const ColumnDef& c = def().columns[static_cast<std::size_t>(column)];
    if (!v.isValid() || v.isNull())
        return {};
    switch (c.type) {
    case ColumnType::Alpha: {
        const QString s = v.toString();
        if (s.isEmpty())
            return {};
        checkAlphaText(c, s);
        return s;
    }
    case ColumnType::Memo: {
        const QString s = v.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case ColumnType::Number: {
        if (v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return {};
            bool ok = false;
            const double d = QString(s).remove(QLatin1Char(',')).toDouble(&ok);
            if (!ok)
                throw EngineError(QStringLiteral("'%1' is not a valid number for \"%2\".")
                                      .arg(s, QString::fromLatin1(c.name)));
            return d;
        }
        return v.toDouble();
    }
    case ColumnType::Logical:
        return v.toBool();
    case ColumnType::Date: {
        const QDate d = v.typeId() == QMetaType::QString
                            ? QDate::fromString(v.toString(), Qt::ISODate)
                            : v.toDate();
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case ColumnType::Time: {
        const QTime t = v.typeId() == QMetaType::QString
                            ? QTime::fromString(v.toString(), QStringLiteral("HH:mm:ss"))
                            : v.toTime();
        return t.isValid() ? QVariant(t) : QVariant();
    }
    }
    return v;
}

void Table::setValue(int column, const QVariant& value) {
    if (!isEditing())
        throw EngineError(QStringLiteral("Table is not in edit or insert mode."), Code::State);
    if (column < 0 || column >= m_buffer.size())
        throw EngineError(QStringLiteral("Field not found."));
    m_buffer[column] = convertIn(column, value);
    Q_EMIT fieldChanged(column);
}

void Table::setValue(const QString& column, const QVariant& value) {
    setValue(columnIndex(column), value);
}

void Table::insert() {
    if (!isOpen())
        throw EngineError(QStringLiteral("Table is not open."), Code::State);
    if (isEditing())
        post();
    m_savedIndex = m_index;
    m_saved = m_buffer;
    const int n = static_cast<int>(def().columns.size());
    m_buffer = QVariantList();
    m_buffer.resize(n);
    if (m_master) {
        for (const QString& link : m_linkColumns)
            m_buffer[columnIndex(link)] = m_master->value(link);
    }
    setState(TableState::Insert);
    Q_EMIT recordChanged();
    refreshDetails();
    Q_EMIT afterInsert();
    Q_EMIT afterScroll();
}

void Table::append() {
    insert();
}

void Table::edit() {
    if (!isOpen())
        throw EngineError(QStringLiteral("Table is not open."), Code::State);
    if (isEditing())
        return;
    if (m_rows.isEmpty()) {
        // Editing an empty table starts a new row, as the old engines did.
        insert();
        return;
    }
    m_saved = m_buffer;
    setState(TableState::Edit);
    Q_EMIT afterEdit();
}

void Table::post() {
    if (!isEditing())
        return;
    const TableDef& d = def();
    const int n = static_cast<int>(d.columns.size());
    for (int i = 0; i < n; ++i) {
        const ColumnDef& c = d.columns[static_cast<std::size_t>(i)];
        if (c.required && isBlank(m_buffer[i]))
            throw EngineError(QStringLiteral("Field value required.\n\"%1\" may not be blank.")
                                  .arg(QString::fromLatin1(c.name)),
                              Code::RequiredField);
    }
    qint64 rowid = 0;
    const bool wasInsert = m_state == TableState::Insert;
    try {
        if (wasInsert) {
            // Where others write too, the insert locks the owners itself: a row saved under a
            // company another user is deleting would outlive it.
            QVariantList binds = m_buffer;
            const QString owners = ownerRowsLocked(m_db, m_id, m_buffer, binds);
            QString sql = insertSql(m_db.qualifiedName(m_id), d);
            if (!owners.isEmpty()) {
                QStringList params;
                for (int i = 0; i < n; ++i)
                    params << QStringLiteral("?");
                sql = sql.left(sql.indexOf(QLatin1String(" VALUES ("))) +
                      QStringLiteral(" SELECT %1 WHERE %2")
                          .arg(params.join(QStringLiteral(", ")), owners);
            }
            const auto st = m_db.prepared(sql + QStringLiteral(" RETURNING rowid"));
            st->bindAll(binds);
            const bool written = st->step();
            if (written)
                rowid = st->int64(0);
            st->run();
            if (!written) {
                // An owner went meanwhile; which one the locks tell.
                lockOwnerRows(m_db, m_id, m_buffer);
                throw EngineError(QStringLiteral("The record above this one was deleted by "
                                                 "another user; nothing was saved."),
                                  Code::Conflict);
            }
        } else {
            QStringList sets;
            for (const QString& c : d.columnNames())
                sets << quoteIdent(c) + QStringLiteral(" = ?");
            rowid = m_rows.value(m_index);
            // Where others may write too, the row is written only while it is still the
            // version the user saw: an update of someone else's is never overwritten.
            const QString version = m_db.rowVersionExpression();
            const bool guarded = !version.isEmpty() && !m_version.isEmpty();
            const auto st = m_db.prepared(
                QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3 RETURNING rowid")
                    .arg(m_db.qualifiedName(m_id), sets.join(QStringLiteral(", ")),
                         guarded ? QStringLiteral(" AND %1 = ?").arg(version) : QString()));
            st->bindAll(m_buffer);
            st->bind(n + 1, QVariant::fromValue<qint64>(rowid));
            if (guarded)
                st->bind(n + 2, m_version);
            const bool written = st->step();
            st->run();
            if (!written)
                throw EngineError(QStringLiteral("This record was changed by another user. Your "
                                                 "changes are kept on screen; Cancel to see "
                                                 "theirs."),
                                  Code::Conflict);
        }
    } catch (const EngineError& e) {
        if (e.code() == Code::KeyViolation)
            throw EngineError(QStringLiteral("Key violation.\nAnother %1 record already has "
                                             "this identifier.")
                                  .arg(QString::fromLatin1(d.label)),
                              Code::KeyViolation);
        throw;
    }
    m_state = TableState::Browse;
    const int oldIndex = wasInsert ? m_savedIndex : m_index;
    readAhead(true, rowid);
    requery();
    m_index = static_cast<int>(m_rows.indexOf(rowid));
    if (m_index < 0) // the row left the visible rows (changed link values or filter)
        m_index = m_rows.isEmpty() ? -1 : std::clamp(oldIndex, 0, int(m_rows.size()) - 1);
    m_bof = m_eof = false;
    loadCurrent();
    Q_EMIT stateChanged(m_state);
    Q_EMIT recordChanged();
    refreshDetails();
    dropAhead();
    Q_EMIT afterPost();
}

void Table::cancel() {
    if (!isEditing())
        return;
    const bool wasInsert = m_state == TableState::Insert;
    m_state = TableState::Browse;
    if (wasInsert)
        m_index = m_rows.isEmpty() ? -1 : std::clamp(m_savedIndex, 0, int(m_rows.size()) - 1);
    loadCurrent();
    const bool gone = m_rowGone; // deleted by another user while we edited it
    if (gone) {
        const int old = m_index;
        requery();
        m_index = m_rows.isEmpty() ? -1 : std::clamp(old, 0, int(m_rows.size()) - 1);
        m_bof = m_index <= 0;
        m_eof = m_rows.isEmpty();
        loadCurrent();
    }
    Q_EMIT stateChanged(m_state);
    Q_EMIT recordChanged();
    if (wasInsert || gone)
        refreshDetails();
    Q_EMIT afterCancel();
    if (wasInsert || gone)
        Q_EMIT afterScroll();
}

void Table::remove() {
    if (m_state == TableState::Insert) {
        cancel();
        return;
    }
    if (m_state == TableState::Edit)
        cancel();
    if (m_index < 0 || m_rows.isEmpty())
        throw EngineError(QStringLiteral("Cannot perform this operation on an empty table."),
                          Code::State);
    const auto st = m_db.prepared(
        QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_db.qualifiedName(m_id)));
    st->bind(1, QVariant::fromValue<qint64>(m_rows[m_index]));
    st->run();
    const int old = m_index;
    readAhead(true, std::nullopt, old);
    requery();
    m_index = m_rows.isEmpty() ? -1 : std::min(old, int(m_rows.size()) - 1);
    m_bof = m_index <= 0;
    m_eof = m_rows.isEmpty();
    loadCurrent();
    Q_EMIT recordChanged();
    refreshDetails();
    dropAhead();
    Q_EMIT afterDelete();
    Q_EMIT afterScroll();
}

} // namespace nerova
