#include "flow/FlowEntry.h"

#include "controls/LineEntryHabits.h"
#include "controls/PictureValidator.h"
#include "prompt/Prompt.h"

#include <QFocusEvent>

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
    m_before.reset();
    m_value = value;
    showValue();
    Q_EMIT valueChanged();
}

void FlowEntry::edited(const QString& text) {
    if (!m_before)
        m_before = m_value;
    // A blank, or a lone point, is no value yet: it counts as 0.
    if (m_picture.holdsNoDigit(text))
        m_value = 0;
    else
        m_value = m_picture.parse(text).value_or(*m_before);
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
    const QString text = QLineEdit::text();
    const bool invalid = m_before && !m_picture.holdsNoDigit(text) && !m_picture.parse(text);
    // Another window or a pop-up taking over is no leaving: the text waits for the user.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason ||
        reason == Qt::MenuBarFocusReason) {
        if (!invalid)
            showValue();
        return;
    }
    m_before.reset();
    showValue();
    if (!invalid)
        return;
    // After the focus has settled: a modal box inside the change of focus would leave the
    // focus in between.
    const QString message =
        QStringLiteral("%1 is not a number of the form %2.").arg(text, m_picture.picture());
    QMetaObject::invokeMethod(
        this, [message] { Prompt::error(message); }, Qt::QueuedConnection);
}

} // namespace nerova
