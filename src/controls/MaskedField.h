#pragma once

#include "controls/FieldKind.h"

#include <QLineEdit>
#include <QTime>
#include <optional>

namespace nerova {

class FieldLink;
class LineEntryHabits;
class Table;
class ValidatedEdit;

// A one-line entry with a fixed mask: a phone number "999-999-9999" stored with its
// dashes, or a time "HH:MM tt" (hours 1 to 12, minutes, AM or PM) stored as that text
// on a text column or as a time on a time column.
//
// A phone number goes into the row as it is typed. A time goes in once it is complete
// and valid (or blank); leaving the field with an incomplete or impossible time says so and
// shows the time from before the edit.
class MaskedField : public QLineEdit {
    Q_OBJECT
public:
    enum class Mask { Phone, Time };

    MaskedField(Table& table, const QString& column, Mask mask, QWidget* parent = nullptr);

    Mask mask() const { return m_mask; }
    QString column() const;
    FieldLink& link() const { return *m_link; }

    void setAccess(FieldAccess access);
    FieldAccess access() const { return m_access; }

    void refresh();

    // "10:30 PM" → 22:30; nullopt for anything that is not a complete time.
    static std::optional<QTime> parseTime(const QString& text);
    static QString formatTime(const QTime& time);

Q_SIGNALS:
    void keyReleased(int key);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void userEdited();
    // What has been typed: the shown text with unfilled positions as blanks, trimmed;
    // empty when no position has been filled.
    QString typedText() const;

    FieldLink* m_link;
    LineEntryHabits* m_habits;
    ValidatedEdit* m_validated = nullptr; // a time only
    Mask m_mask;
    FieldAccess m_access = FieldAccess::Normal;
};

} // namespace nerova
