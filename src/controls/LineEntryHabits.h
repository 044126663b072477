#pragma once

#include <QObject>

class QFocusEvent;
class QLineEdit;
class QWidget;

namespace nerova {

// What every one-line entry of ours does alike. It selects its whole text whenever it takes
// the focus, by mouse or by key, so that typing replaces the value shown instead of
// joining it (a "0" clicked into would otherwise turn 142 into 1420). A keystroke the
// entry refuses beeps, so a digit never goes missing without a sound.
//
// A click moves the caret after the focus has arrived, so a focusing click selects on its
// release, and a drag during that click keeps the range dragged over. When the focus came
// without the user placing it (the window opening on this field, the program moving it
// here) the user's first click counts as the focusing one. Any other click into an entry
// that has the focus places the caret as usual, and coming back from another window or a
// pop-up leaves the caret where it was.
class LineEntryHabits : public QObject {
public:
    // Watches edit (and parents itself to it); a list's edit part is watched together with
    // the list that takes the focus for it.
    explicit LineEntryHabits(QLineEdit* edit);

    // Called from the field's focusInEvent after the base class has placed the caret.
    void focusIn(const QFocusEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_edit;
    QWidget* m_focusTaker;          // edit, or the widget edit hands its focus to
    bool m_placed = false;          // the user has been in the entry since it last lost the focus
    bool m_clickSelects = false;    // the next press into the entry is the focusing one
    bool m_selectOnRelease = false; // that press is going on
};

} // namespace nerova
