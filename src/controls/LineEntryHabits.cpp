#include "controls/LineEntryHabits.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

namespace nerova {

LineEntryHabits::LineEntryHabits(QLineEdit* edit)
    : QObject(edit), m_edit(edit), m_focusTaker(edit->focusProxy() ? edit->focusProxy() : edit) {
    edit->installEventFilter(this);
    if (m_focusTaker != edit)
        m_focusTaker->installEventFilter(this);
    connect(edit, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
}

void LineEntryHabits::focusIn(const QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason ||
        (reason == Qt::ActiveWindowFocusReason && m_placed))
        return;
    m_placed = true;
    if (reason == Qt::MouseFocusReason) {
        // The press that gave the focus is delivered right after it, before any posted
        // event. A press that went to a button inside the entry (the calendar button) must
        // not turn the next click into a select-all, hence the disarming.
        m_clickSelects = true;
        QTimer::singleShot(0, this, [this] { m_clickSelects = false; });
        return;
    }
    m_edit->selectAll();
    m_clickSelects = reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason &&
                     reason != Qt::ShortcutFocusReason;
}

bool LineEntryHabits::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_edit && watched != m_focusTaker)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (watched == m_edit) {
            m_selectOnRelease =
                m_clickSelects && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            m_clickSelects = false;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_edit && m_selectOnRelease && !m_edit->hasSelectedText())
            m_edit->selectAll();
        m_selectOnRelease = false;
        break;
    case QEvent::KeyPress:
        m_clickSelects = false;
        break;
    case QEvent::FocusOut:
        if (watched == m_focusTaker) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                reason != Qt::MenuBarFocusReason) {
                m_placed = false;
                m_clickSelects = false;
            }
            m_selectOnRelease = false;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace nerova
