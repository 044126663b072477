#pragma once

#include "controls/NumberPicture.h"

#include <QLineEdit>
#include <optional>

namespace nerova {

class LineEntryHabits;

// A numeric entry of the flow-point dialogs. These dialogs fill themselves from the flow row
// and write it back only on OK, so the entry holds its own value instead of being bound to
// a cursor. A blank entry counts as 0; negatives are refused.
//
// The value set by the dialog is kept exactly (a stored 18.25 psi survives an OK that
// changed nothing) even where the picture shows fewer decimals; typing replaces it with
// what was typed. A text that is no number of the picture ("1,5" under "#,###") keeps the
// value from before the typing, and leaving the entry with it says so and shows that value.
class FlowEntry : public QLineEdit {
    Q_OBJECT
public:
    // column: the flow column the entry stands for, given as its accessible description.
    FlowEntry(const QString& picture, const QString& column, QWidget* parent = nullptr);

    double value() const { return m_value; }
    // Shows value and reports the change, as typing would.
    void setValue(double value);

    const NumberPicture& picture() const { return m_picture; }

Q_SIGNALS:
    // After every change of the value: each keystroke and each setValue.
    void valueChanged();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void edited(const QString& text);
    void showValue();

    LineEntryHabits* m_habits;
    NumberPicture m_picture;
    double m_value = 0;
    std::optional<double> m_before; // the value when the typing began, while it goes on
};

} // namespace nerova
