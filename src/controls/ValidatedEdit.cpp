#include "controls/ValidatedEdit.h"

#include "controls/FieldLink.h"
#include "data/Table.h"
#include "prompt/Prompt.h"

#include <QFocusEvent>
#include <QLineEdit>

namespace nerova {

ValidatedEdit::ValidatedEdit(QLineEdit* edit, FieldLink* link,
                             std::function<std::optional<QVariant>(const QString&)> parse,
                             QString invalidText)
    : QObject(edit), m_edit(edit), m_link(link), m_parse(std::move(parse)),
      m_invalidText(std::move(invalidText)) {}

void ValidatedEdit::begin() {
    if (m_editing)
        return;
    m_before = m_link->value();
    m_editing = true;
}

void ValidatedEdit::edited(const QString& typed) {
    begin();
    if (typed.isEmpty()) {
        m_link->write(QVariant());
        return;
    }
    if (const auto v = m_parse(typed)) {
        m_link->write(*v);
        return;
    }
    // The first keystroke edits the row even before the value stands; a value written by an
    // earlier keystroke gives way to the one from before the edit.
    if (!m_link->beginEdit())
        return;
    if (m_link->value() != m_before)
        m_link->write(m_before);
}

bool ValidatedEdit::enter(const QVariant& value) {
    begin();
    return m_link->write(value);
}

void ValidatedEdit::left(const QFocusEvent* event, const QString& typed) {
    // A popup (the calendar, a context menu) or another window taking over is no leaving:
    // the text is still there when the user comes back.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason ||
        reason == Qt::MenuBarFocusReason)
        return;
    // A field merely passed through says nothing, whatever the row held before.
    if (!m_editing)
        return;
    const bool invalid = !typed.isEmpty() && !m_parse(typed) && m_link->hasRow();
    const QString shown = m_edit->displayText();
    m_editing = false;
    m_link->refresh();
    if (!invalid)
        return;
    // The box comes after the focus has settled on its new field: a modal loop inside the
    // change of focus would leave the focus in between.
    const QString text = m_invalidText.arg(shown);
    QMetaObject::invokeMethod(
        this, [text] { Prompt::error(text); }, Qt::QueuedConnection);
}

} // namespace nerova
