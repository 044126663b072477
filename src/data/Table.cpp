#include "data/Table.h"

#include "data/CaseFold.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Statement.h"

#include <QSignalBlocker>

#include <sqlite3.h>

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

QString numberText(double d) {
    // Whole numbers without a decimal point, others with as many digits as they need.
    return QString::number(d, 'g', 15);
}

} // namespace

Table::Table(Database& db, TableId id, QObject* parent) : QObject(parent), m_db(db), m_id(id) {
    m_buffer.resize(static_cast<int>(def().columns.size()));
}

Table::~Table() {
    const QSignalBlocker quiet(this);
    if (isOpen()) {
        try {
            close();
        } catch (...) {
        }
    }
    for (Table* d : std::as_const(m_details))
        d->m_master = nullptr;
    if (m_master)
        m_master->m_details.removeAll(this);
}

const TableDef& Table::def() const {
    return tableDef(m_id);
}

int Table::columnIndex(const QString& column) const {
    const int i = def().indexOf(column);
    if (i < 0)
        throw EngineError(QStringLiteral("Field '%1' not found.").arg(column));
    return i;
}

void Table::setMaster(Table* master, const QStringList& linkColumns) {
    if (m_master)
        m_master->m_details.removeAll(this);
    m_master = master;
    m_linkColumns = linkColumns;
    if (m_master)
        m_master->m_details.append(this);
}

void Table::setIndexFieldNames(const QStringList& columns) {
    m_order = columns;
    if (isOpen())
        refresh();
}

void Table::setState(TableState s) {
    if (m_state == s)
        return;
    m_state = s;
    Q_EMIT stateChanged(s);
}

// ---- open / close -----------------------------------------------------------------------

void Table::open() {
    if (isOpen())
        return;
    m_db.acquire(m_id);
    m_state = TableState::Browse;
    try {
        requery();
    } catch (...) {
        m_state = TableState::Inactive;
        m_db.release(m_id);
        throw;
    }
    m_index = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    loadCurrent();
    Q_EMIT stateChanged(m_state);
    Q_EMIT afterOpen();
    Q_EMIT recordChanged();
    if (!m_rows.isEmpty()) {
        refreshDetails();
        Q_EMIT afterScroll();
    }
}

void Table::close() {
    if (!isOpen())
        return;
    m_state = TableState::Browse; // an edit in progress is abandoned, as on any close
    m_rows.clear();
    m_index = -1;
    m_bof = m_eof = true;
    m_state = TableState::Inactive;
    m_db.release(m_id);
    loadCurrent();
    Q_EMIT stateChanged(m_state);
    Q_EMIT afterClose();
    Q_EMIT recordChanged();
    for (Table* d : std::as_const(m_details)) {
        if (d->isOpen())
            d->masterMoved();
    }
}

// ---- reading ----------------------------------------------------------------------------

QString Table::whereClause(QVariantList& binds) const {
    QStringList conds;
    if (m_master) {
        for (const QString& link : m_linkColumns) {
            conds << quoteIdent(QString::fromLatin1(def().columns[columnIndex(link)].name)) +
                         QStringLiteral(" = ?");
            binds << (m_master->isOpen() ? m_master->value(link) : QVariant());
        }
    }
    if (!m_filterText.isEmpty() && !m_filterColumn.isEmpty()) {
        const QString col =
            quoteIdent(QString::fromLatin1(def().columns[columnIndex(m_filterColumn)].name));
        // A plain prefix comparison: the typed text is data, never pattern syntax. SQLite
        // counts characters, not UTF-16 units, and folding keeps the count of characters.
        conds << QStringLiteral("substr(%1, 1, ?) = ? COLLATE %2")
                     .arg(col, QLatin1String(kCaseFoldCollation));
        binds << QVariant::fromValue<qint64>(m_filterText.toUcs4().size()) << m_filterText;
    }
    return conds.isEmpty() ? QString()
                           : QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
}

void Table::requery() {
    m_rows.clear();
    if (m_state == TableState::Inactive)
        return;
    if (m_master &&
        (!m_master->isOpen() || (m_master->state() != TableState::Insert && m_master->isEmpty())))
        return;
    QVariantList binds;
    const QString where = whereClause(binds);
    QStringList order;
    const QStringList orderCols = m_order.isEmpty() ? def().keyNames() : m_order;
    for (const QString& c : orderCols)
        order << quoteIdent(QString::fromLatin1(def().columns[columnIndex(c)].name));
    order << QStringLiteral("rowid");
    const auto st =
        m_db.prepared(QStringLiteral("SELECT rowid FROM %1%2 ORDER BY %3")
                          .arg(m_db.qualifiedName(m_id), where, order.join(QStringLiteral(", "))));
    st->bindAll(binds);
    while (st->step())
        m_rows.append(st->int64(0));
}

void Table::loadCurrent() {
    const int n = static_cast<int>(def().columns.size());
    m_buffer = QVariantList();
    m_buffer.resize(n);
    if (m_index < 0 || m_index >= m_rows.size() || m_state == TableState::Inactive)
        return;
    const auto st = m_db.prepared(
        QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(m_db.qualifiedName(m_id)));
    st->bind(1, QVariant::fromValue<qint64>(m_rows[m_index]));
    if (!st->step())
        return; // removed behind our back: shown as blank until the next refresh
    for (int i = 0; i < n; ++i) {
        if (st->isNull(i))
            continue;
        switch (def().columns[static_cast<std::size_t>(i)].type) {
        case ColumnType::Alpha:
        case ColumnType::Memo:
            m_buffer[i] = st->text(i);
            break;
        case ColumnType::Number:
            m_buffer[i] = st->real(i);
            break;
        case ColumnType::Logical:
            m_buffer[i] = st->int64(i) != 0;
            break;
        case ColumnType::Date:
            m_buffer[i] = QDate::fromString(st->text(i), Qt::ISODate);
            break;
        case ColumnType::Time:
            m_buffer[i] = QTime::fromString(st->text(i), QStringLiteral("HH:mm:ss"));
            break;
        }
    }
}

bool Table::isEmpty() const {
    return m_rows.isEmpty();
}

int Table::recNo() const {
    if (m_index < 0 || m_index >= m_rows.size())
        return 0;
    return m_index + 1;
}

int Table::recordCount() const {
    return static_cast<int>(m_rows.size());
}

QVariant Table::value(int column) const {
    if (column < 0 || column >= m_buffer.size())
        return {};
    return m_buffer[column];
}

QVariant Table::value(const QString& column) const {
    return value(columnIndex(column));
}

QString Table::asString(const QString& column) const {
    const int i = columnIndex(column);
    const QVariant v = m_buffer[i];
    if (v.isNull() || !v.isValid())
        return {};
    switch (def().columns[static_cast<std::size_t>(i)].type) {
    case ColumnType::Number:
        return numberText(v.toDouble());
    case ColumnType::Logical:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ColumnType::Date:
        return v.toDate().toString(QStringLiteral("MM/dd/yy"));
    case ColumnType::Time:
        return v.toTime().toString(QStringLiteral("hh:mm AP"));
    default:
        return v.toString();
    }
}

double Table::asFloat(const QString& column) const {
    const QVariant v = value(column);
    return v.isNull() ? 0.0 : v.toDouble();
}

bool Table::asBool(const QString& column) const {
    const QVariant v = value(column);
    return v.isNull() ? false : v.toBool();
}

QDate Table::asDate(const QString& column) const {
    return value(column).toDate();
}

QTime Table::asTime(const QString& column) const {
    return value(column).toTime();
}

bool Table::isNull(const QString& column) const {
    const QVariant v = value(column);
    return !v.isValid() || v.isNull();
}

// ---- writing ----------------------------------------------------------------------------

QVariant Table::convertIn(int column, const QVariant& v) const {
    const ColumnDef& c = def().columns[static_cast<std::size_t>(column)];
    if (!v.isValid() || v.isNull())
        return {};
    switch (c.type) {
    case ColumnType::Alpha: {
        const QString s = v.toString();
        if (s.isEmpty())
            return {};
        if (s.size() > c.size)
            throw EngineError(QStringLiteral("Field value too long.\n\"%1\" holds at most %2 "
                                             "characters.")
                                  .arg(QString::fromLatin1(c.name))
                                  .arg(c.size));
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
    QStringList cols;
    QStringList marks;
    for (const ColumnDef& c : d.columns) {
        cols << quoteIdent(QString::fromLatin1(c.name));
        marks << QStringLiteral("?");
    }
    qint64 rowid = 0;
    const bool wasInsert = m_state == TableState::Insert;
    try {
        if (wasInsert) {
            const auto st =
                m_db.prepared(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(m_db.qualifiedName(m_id), cols.join(QStringLiteral(", ")),
                                       marks.join(QStringLiteral(", "))));
            st->bindAll(m_buffer);
            st->run();
            rowid = sqlite3_last_insert_rowid(m_db.handle());
        } else {
            QStringList sets;
            for (const QString& c : cols)
                sets << c + QStringLiteral(" = ?");
            rowid = m_rows.value(m_index);
            const auto st =
                m_db.prepared(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                  .arg(m_db.qualifiedName(m_id), sets.join(QStringLiteral(", "))));
            st->bindAll(m_buffer);
            st->bind(n + 1, QVariant::fromValue<qint64>(rowid));
            st->run();
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
    requery();
    m_index = static_cast<int>(m_rows.indexOf(rowid));
    if (m_index < 0) // the row left the visible rows (changed link values or filter)
        m_index = m_rows.isEmpty() ? -1 : std::clamp(oldIndex, 0, int(m_rows.size()) - 1);
    m_bof = m_eof = false;
    loadCurrent();
    Q_EMIT stateChanged(m_state);
    Q_EMIT recordChanged();
    refreshDetails();
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
    Q_EMIT stateChanged(m_state);
    Q_EMIT recordChanged();
    if (wasInsert)
        refreshDetails();
    Q_EMIT afterCancel();
    if (wasInsert)
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
    requery();
    m_index = m_rows.isEmpty() ? -1 : std::min(old, int(m_rows.size()) - 1);
    m_bof = m_index <= 0;
    m_eof = m_rows.isEmpty();
    loadCurrent();
    Q_EMIT recordChanged();
    refreshDetails();
    Q_EMIT afterDelete();
    Q_EMIT afterScroll();
}

// ---- movement ---------------------------------------------------------------------------

void Table::moveTo(int index, bool notify) {
    if (isEditing())
        post();
    m_index = m_rows.isEmpty() ? -1 : std::clamp(index, 0, int(m_rows.size()) - 1);
    loadCurrent();
    if (!notify)
        return;
    Q_EMIT recordChanged();
    refreshDetails();
    Q_EMIT afterScroll();
}

void Table::first() {
    if (!isOpen())
        throw EngineError(QStringLiteral("Table is not open."), Code::State);
    if (isEditing())
        post();
    m_bof = true;
    m_eof = m_rows.isEmpty();
    if (m_rows.isEmpty())
        return;
    moveTo(0, true);
}

void Table::last() {
    if (!isOpen())
        throw EngineError(QStringLiteral("Table is not open."), Code::State);
    if (isEditing())
        post();
    m_eof = true;
    m_bof = m_rows.isEmpty();
    if (m_rows.isEmpty())
        return;
    moveTo(int(m_rows.size()) - 1, true);
}

void Table::next() {
    if (!isOpen())
        throw EngineError(QStringLiteral("Table is not open."), Code::State);
    if (isEditing())
        post();
    m_bof = false;
    if (m_index + 1 >= m_rows.size()) {
        m_eof = true;
        return;
    }
    m_eof = false;
    moveTo(m_index + 1, true);
}

void Table::prior() {
    if (!isOpen())
        throw EngineError(QStringLiteral("Table is not open."), Code::State);
    if (isEditing())
        post();
    m_eof = false;
    if (m_index <= 0) {
        m_bof = true;
        return;
    }
    m_bof = false;
    moveTo(m_index - 1, true);
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
        conds << col + (text && cs == Qt::CaseInsensitive
                            ? QStringLiteral(" = ? COLLATE ") + QLatin1String(kCaseFoldCollation)
                            : QStringLiteral(" = ?"));
        binds << v;
    }
    where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
             conds.join(QStringLiteral(" AND "));
    QStringList order;
    const QStringList orderCols = m_order.isEmpty() ? def().keyNames() : m_order;
    for (const QString& c : orderCols)
        order << quoteIdent(QString::fromLatin1(def().columns[columnIndex(c)].name));
    order << QStringLiteral("rowid");
    const auto st =
        m_db.prepared(QStringLiteral("SELECT rowid FROM %1%2 ORDER BY %3 LIMIT 1")
                          .arg(m_db.qualifiedName(m_id), where, order.join(QStringLiteral(", "))));
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

Table::Bookmark Table::bookmark() const {
    if (m_index < 0 || m_index >= m_rows.size())
        return 0;
    return m_rows[m_index];
}

bool Table::gotoBookmark(Bookmark b) {
    const int index = static_cast<int>(m_rows.indexOf(b));
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
    requery();
    m_bof = true;
    m_eof = m_rows.isEmpty();
    m_index = m_rows.isEmpty() ? -1 : 0;
    loadCurrent();
    Q_EMIT recordChanged();
    refreshDetails();
    Q_EMIT afterScroll();
}

void Table::refresh() {
    if (!isOpen())
        return;
    if (isEditing())
        post();
    const qint64 current = bookmark();
    const int old = m_index;
    requery();
    m_index = static_cast<int>(m_rows.indexOf(current));
    if (m_index < 0)
        m_index = m_rows.isEmpty() ? -1 : std::clamp(old, 0, int(m_rows.size()) - 1);
    m_eof = m_rows.isEmpty();
    m_bof = m_index <= 0;
    loadCurrent();
    Q_EMIT recordChanged();
    refreshDetails();
    Q_EMIT afterScroll();
}

void Table::masterMoved() {
    if (!isOpen())
        return;
    if (isEditing()) {
        // The master moved under an unfinished detail row: keep what was typed, as the
        // old engines did, by storing it before following the master.
        post();
    }
    requery();
    m_index = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    loadCurrent();
    Q_EMIT recordChanged();
    refreshDetails();
    Q_EMIT afterScroll();
}

void Table::refreshDetails() {
    for (Table* d : std::as_const(m_details)) {
        if (d->isOpen())
            d->masterMoved();
    }
}

} // namespace nerova
