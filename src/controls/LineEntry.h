#pragma once

#include <QLineEdit>

namespace nerova {

class LineEntryHabits;

// A one-line entry bound to no column, for the dialogs that fill their entries and read
// them back themselves, with the same habits as the bound fields: the whole text selected
// when it takes the focus, a beep for a refused keystroke.
class LineEntry : public QLineEdit {
    Q_OBJECT
public:
    explicit LineEntry(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    LineEntryHabits* m_habits;
};

} // namespace nerova
