#include "controls/LineEntryHabits.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

namespace nerova {

LineEntryHabits::LineEntryHabits(QLineEdit* edit) : QObject(edit), m_edit(edit) {
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
}

void LineEntryHabits::focusIn(const QFocusEvent* event) {
    switch (event->reason()) {
    case Qt::MouseFocusReason:
        // The press that gave the focus is delivered right after it, before any posted
        // event; a press that went to a button inside the entry (the calendar button)
        // must not turn the next click into a select-all, hence the disarming.
        m_focusingClick = true;
        QTimer::singleShot(0, this, [this] { m_focusingClick = false; });
        break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        break; // coming back to where the user left off: the caret stays
    default:
        m_edit->selectAll();
        break;
    }
}

bool LineEntryHabits::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            m_selectOnRelease =
                m_focusingClick && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            m_focusingClick = false;
            break;
        case QEvent::MouseButtonRelease:
            if (m_selectOnRelease && !m_edit->hasSelectedText())
                m_edit->selectAll();
            m_selectOnRelease = false;
            break;
        case QEvent::FocusOut:
            m_focusingClick = false;
            m_selectOnRelease = false;
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace nerova
