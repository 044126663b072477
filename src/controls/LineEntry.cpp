#include "controls/LineEntry.h"

#include "controls/LineEntryHabits.h"

namespace nerova {

LineEntry::LineEntry(QWidget* parent) : QLineEdit(parent), m_habits(new LineEntryHabits(this)) {}

void LineEntry::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    m_habits->focusIn(event);
}

} // namespace nerova
