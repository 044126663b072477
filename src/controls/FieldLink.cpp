#include "controls/FieldLink.h"

#include "data/EngineError.h"
#include "data/Table.h"
#include "prompt/Prompt.h"

#include <QEvent>
#include <QWidget>

namespace nerova {

FieldLink::FieldLink(Table& table, const QString& column, QWidget* field,
                     std::function<void()> showValue)
    : QObject(field), m_table(&table), m_column(column), m_index(table.def().indexOf(column)),
      m_field(field), m_showValue(std::move(showValue)) {
    Q_ASSERT_X(m_index >= 0, "FieldLink", qPrintable(column));
    connect(&table, &Table::recordChanged, this, &FieldLink::refresh);
    connect(&table, &Table::afterScroll, this, &FieldLink::refresh);
    connect(&table, &Table::afterOpen, this, &FieldLink::refresh);
    connect(&table, &Table::afterClose, this, &FieldLink::refresh);
    connect(&table, &Table::stateChanged, this, &FieldLink::refresh);
    connect(&table, &Table::fieldChanged, this, &FieldLink::columnChanged);
    field->installEventFilter(this);
}

ColumnType FieldLink::columnType() const {
    if (!m_table || m_index < 0)
        return ColumnType::Alpha;
    return m_table->def().columns[static_cast<std::size_t>(m_index)].type;
}

int FieldLink::columnSize() const {
    if (!m_table || m_index < 0)
        return 0;
    const ColumnDef& c = m_table->def().columns[static_cast<std::size_t>(m_index)];
    return c.type == ColumnType::Alpha ? c.size : 0;
}

bool FieldLink::hasRow() const {
    if (!m_table || m_index < 0 || !m_table->isOpen())
        return false;
    return m_table->isEditing() || !m_table->isEmpty();
}

bool FieldLink::showsBlank() const {
    return !hasRow() || (m_blankWhenDisabled && !m_field->isEnabled());
}

QVariant FieldLink::value() const {
    if (showsBlank())
        return {};
    return m_table->value(m_index);
}

void FieldLink::setBlankWhenDisabled(bool on) {
    m_blankWhenDisabled = on;
    refresh();
}

bool FieldLink::beginEdit() {
    if (m_writing)
        return true;
    if (!hasRow()) {
        refresh();
        return false;
    }
    if (m_table->state() != TableState::Browse)
        return true;
    m_writing = true;
    try {
        m_table->edit();
    } catch (const EngineError& e) {
        m_writing = false;
        refresh();
        Prompt::error(e.text());
        return false;
    }
    m_writing = false;
    return true;
}

bool FieldLink::write(const QVariant& value) {
    if (m_writing)
        return true;
    if (!beginEdit())
        return false;
    m_writing = true;
    try {
        m_table->setValue(m_index, value);
    } catch (const EngineError& e) {
        m_writing = false;
        refresh();
        Prompt::error(e.text());
        return false;
    }
    m_writing = false;
    Q_EMIT valueWritten();
    return true;
}

void FieldLink::refresh() {
    if (m_writing || !m_showValue)
        return;
    // A field on a page the user cannot see is brought up to date when it is shown, so a
    // move redraws the fields of the page in view instead of those of all four pages.
    if (m_field->window()->isVisible() && !m_field->isVisible()) {
        m_stale = true;
        return;
    }
    m_stale = false;
    m_showValue();
}

void FieldLink::columnChanged(int column) {
    if (column == m_index)
        refresh();
}

bool FieldLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_field) {
        if (event->type() == QEvent::Show && m_stale)
            refresh();
        else if (event->type() == QEvent::EnabledChange && m_blankWhenDisabled)
            refresh();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace nerova
