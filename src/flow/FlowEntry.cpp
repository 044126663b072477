#include "flow/FlowEntry.h"

#include "controls/LineEntryHabits.h"
#include "controls/PictureValidator.h"

namespace nerova {

FlowEntry::FlowEntry(const QString& picture, const QString& column, QWidget* parent)
    : QLineEdit(parent), m_habits(new LineEntryHabits(this)), m_picture(picture) {
    m_picture.setNonNegative(true);
    setValidator(new PictureValidator(m_picture, this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAccessibleDescription(column);
    connect(this, &QLineEdit::textEdited, this, &FlowEntry::edited);
    showValue();
}

void FlowEntry::setValue(double value) {
    m_value = value;
    showValue();
    Q_EMIT valueChanged();
}

void FlowEntry::edited(const QString& text) {
    // A blank, or a lone point, is no value yet: it counts as 0.
    m_value = m_picture.parse(text).value_or(0.0);
    Q_EMIT valueChanged();
}

void FlowEntry::showValue() {
    // Thousands separators only while the user is not typing into the entry.
    const QString text = m_picture.format(m_value, !hasFocus());
    if (text != QLineEdit::text())
        setText(text);
}

void FlowEntry::focusInEvent(QFocusEvent* event) {
    if (m_picture.grouped())
        showValue(); // before the text is selected
    QLineEdit::focusInEvent(event);
    m_habits->focusIn(event);
}

void FlowEntry::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    showValue();
}

} // namespace nerova
