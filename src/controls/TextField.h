#pragma once

#include "controls/FieldKind.h"

#include <QLineEdit>

namespace nerova {

class FieldLink;
class LineEntryHabits;
class Table;

// A one-line text entry bound to a column: free text, upper-case text or digits, at most
// maxLength characters (the column's size when 0 or larger). On a number column the
// digits are stored as a number.
class TextField : public QLineEdit {
    Q_OBJECT
public:
    enum class Mode { Text, UpperCase, Digits };

    TextField(Table& table, const QString& column, Mode mode = Mode::Text, int maxLength = 0,
              QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    QString column() const;
    FieldLink& link() const { return *m_link; }

    void setAccess(FieldAccess access);
    FieldAccess access() const { return m_access; }

    // Shows the column of the current row.
    void refresh();

Q_SIGNALS:
    void keyReleased(int key);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void userEdited(const QString& text);

    FieldLink* m_link;
    LineEntryHabits* m_habits;
    Mode m_mode;
    FieldAccess m_access = FieldAccess::Normal;
};

} // namespace nerova
