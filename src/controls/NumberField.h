#pragma once

#include "controls/FieldKind.h"
#include "controls/NumberPicture.h"

#include <QLineEdit>

namespace nerova {

class FieldLink;
class LineEntryHabits;
class Table;
class ValidatedEdit;

// A numeric entry bound to a number column and bounded by a picture (see NumberPicture).
// A blank field stores a blank (null), not 0. Thousands separators of the picture are
// shown while the field does not have the focus; the value being typed goes into the row
// on every keystroke, so code reading the table sees it at once. A text that is no number
// of the picture yet (separators out of place, "67,5" under "#,###") leaves the value from
// before the edit in the row, and leaving the field with it says so and shows that value.
class NumberField : public QLineEdit {
    Q_OBJECT
public:
    NumberField(Table& table, const QString& column, const QString& picture,
                QWidget* parent = nullptr);

    QString column() const;
    FieldLink& link() const { return *m_link; }
    const NumberPicture& picture() const { return m_picture; }

    // A lower bound of 0: the minus sign is refused.
    void setNonNegative(bool on);

    void setAccess(FieldAccess access);
    FieldAccess access() const { return m_access; }

    void refresh();

Q_SIGNALS:
    // After the key's effect has reached the table (a flow point is re-evaluated here).
    void keyReleased(int key);
    void doubleClicked();

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void userEdited(const QString& text);

    FieldLink* m_link;
    LineEntryHabits* m_habits;
    NumberPicture m_picture;
    ValidatedEdit* m_validated;
    FieldAccess m_access = FieldAccess::Normal;
};

} // namespace nerova
