#include "controls/CheckField.h"

#include "controls/FieldLink.h"
#include "data/Table.h"

#include <QKeyEvent>

namespace nerova {

CheckField::CheckField(Table& table, const QString& column, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent),
      m_link(new FieldLink(table, column, this, [this] { refresh(); })) {
    setAccessibleDescription(column);
    refresh();
}

QString CheckField::column() const {
    return m_link->column();
}

void CheckField::setAccess(FieldAccess access) {
    m_access = access;
    applyFieldAccessLook(this, access);
}

void CheckField::refresh() {
    const bool on = m_link->value().toBool();
    if (isChecked() != on)
        setChecked(on);
}

void CheckField::nextCheckState() {
    // The click (mouse or space bar) is the user's change: the row goes into edit and takes
    // the new state before anyone listening to clicked() or the key release reads it.
    if (m_access != FieldAccess::Normal)
        return;
    if (m_link->write(!isChecked()))
        setChecked(!isChecked());
}

void CheckField::keyReleaseEvent(QKeyEvent* event) {
    QCheckBox::keyReleaseEvent(event);
    Q_EMIT keyReleased(event->key());
}

} // namespace nerova
