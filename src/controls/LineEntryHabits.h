#pragma once

#include <QObject>

class QFocusEvent;
class QLineEdit;

namespace nerova {

// What every one-line entry of ours does alike. It selects its whole text whenever it takes
// the focus, by mouse or by key, so that typing replaces the value shown instead of
// joining it (a "0" clicked into would otherwise turn 142 into 1420). A keystroke the
// entry refuses beeps, so a digit never goes missing without a sound.
//
// A click moves the caret after the focus has arrived, so a focusing click selects on its
// release; a click into an entry that already has the focus places the caret as usual, and
// a drag during the focusing click keeps the range dragged over.
class LineEntryHabits : public QObject {
public:
    // Watches edit (and parents itself to it).
    explicit LineEntryHabits(QLineEdit* edit);

    // Called from the field's focusInEvent after the base class has placed the caret.
    void focusIn(const QFocusEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_edit;
    bool m_focusingClick = false; // the focus came by mouse; its press is still to come
    bool m_selectOnRelease = false;
};

} // namespace nerova
