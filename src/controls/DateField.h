#pragma once

#include "controls/FieldKind.h"

#include <QDate>
#include <QLineEdit>
#include <optional>

class QAction;
class QCalendarWidget;
class QFrame;

namespace nerova {

class FieldLink;
class LineEntryHabits;
class Table;
class ValidatedEdit;

// A date entry "MM/DD/yy" bound to a date column. Two-digit years are read as 2000 to
// 2099. Typing "/" enters today's date; Alt+Down, F4 or the button at the right edge
// opens a calendar whose weeks begin on Sunday.
//
// A date goes into the row once it is complete and valid (or cleared); leaving the field
// with an incomplete or impossible date says so and shows the date from before the edit.
class DateField : public QLineEdit {
    Q_OBJECT
public:
    DateField(Table& table, const QString& column, QWidget* parent = nullptr);

    QString column() const;
    FieldLink& link() const { return *m_link; }

    void setAccess(FieldAccess access);
    FieldAccess access() const { return m_access; }

    void refresh();

    // Opens the pop-up calendar on the shown date (today when blank).
    void showCalendar();
    // The calendar of the pop-up; created on first use.
    QCalendarWidget* calendar();
    bool isCalendarVisible() const;

    // "02/03/05" → 3 February 2005; nullopt for anything else.
    static std::optional<QDate> parseDate(const QString& text);
    static QString formatDate(const QDate& date);

Q_SIGNALS:
    void keyReleased(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void userEdited();
    void enterDate(const QDate& date);
    QString typedText() const; // empty when no digit has been typed
    bool refusesInput() const;

    FieldLink* m_link;
    LineEntryHabits* m_habits;
    ValidatedEdit* m_validated;
    FieldAccess m_access = FieldAccess::Normal;
    QAction* m_drop = nullptr;
    QFrame* m_popup = nullptr;
    QCalendarWidget* m_calendar = nullptr;
};

} // namespace nerova
