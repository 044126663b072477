#include "data/Table.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Statement.h"

#include <QSignalBlocker>

// The cursor: open and close, reading the current row and moving over the visible rows.
// Editing is in TableEditing.cpp, the choice and order of the visible rows in TableFilter.cpp.

namespace nerova {

namespace {

using Code = EngineError::Code;

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
        // The details about to be opened under it are read along, unless a master read
        // this one ahead already.
        if (!m_ahead.haveRows)
            readAhead(true, std::nullopt, 0, true);
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

void Table::loadCurrent() {
    const int n = static_cast<int>(def().columns.size());
    m_buffer = QVariantList();
    m_buffer.resize(n);
    m_version.clear();
    m_rowGone = false;
    if (m_index < 0 || m_index >= m_rows.size() || m_state == TableState::Inactive)
        return;
    if (takeAheadRow())
        return;
    // With the columns comes the row's version where other programs may write meanwhile,
    // so that a save can tell whether the row is still the one the user saw.
    const QString version = m_db.rowVersionExpression();
    const auto st =
        m_db.prepared(QStringLiteral("SELECT *%1 FROM %2 WHERE rowid = ?")
                          .arg(version.isEmpty() ? QString() : QStringLiteral(", ") + version,
                               m_db.qualifiedName(m_id)));
    st->bind(1, QVariant::fromValue<qint64>(m_rows[m_index]));
    if (!st->step()) {
        m_rowGone = true; // removed behind our back: shown as blank until the next refresh
        return;
    }
    if (!version.isEmpty())
        m_version = st->text(st->columnCount() - 1);
    for (int i = 0; i < n; ++i)
        m_buffer[i] = typedValue(*st, i, def().columns[static_cast<std::size_t>(i)].type);
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

// ---- movement ---------------------------------------------------------------------------

void Table::moveTo(int index, bool notify) {
    if (isEditing())
        post();
    m_index = m_rows.isEmpty() ? -1 : std::clamp(index, 0, int(m_rows.size()) - 1);
    if (notify && m_index >= 0)
        readAhead(false, m_rows[m_index]);
    loadCurrent();
    if (!notify)
        return;
    Q_EMIT recordChanged();
    refreshDetails();
    dropAhead();
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

void Table::refresh() {
    if (!isOpen())
        return;
    if (isEditing())
        post();
    const qint64 current = bookmark();
    const int old = m_index;
    readAhead(true, std::nullopt, old);
    requery();
    m_index = static_cast<int>(m_rows.indexOf(current));
    if (m_index < 0)
        m_index = m_rows.isEmpty() ? -1 : std::clamp(old, 0, int(m_rows.size()) - 1);
    m_eof = m_rows.isEmpty();
    m_bof = m_index <= 0;
    loadCurrent();
    Q_EMIT recordChanged();
    refreshDetails();
    dropAhead();
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
    // Followed a master that read nothing ahead: this level and those below it in one go.
    const bool readHere = !m_ahead.haveRows;
    if (readHere)
        readAhead(true, std::nullopt);
    requery();
    m_index = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    loadCurrent();
    Q_EMIT recordChanged();
    refreshDetails();
    if (readHere)
        dropAhead();
    Q_EMIT afterScroll();
}

void Table::refreshDetails() {
    for (Table* d : std::as_const(m_details)) {
        if (d->isOpen())
            d->masterMoved();
    }
}

} // namespace nerova
