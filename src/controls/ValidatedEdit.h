#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class QFocusEvent;
class QLineEdit;

namespace nerova {

class FieldLink;

// The typing of a value that means something only once it is complete: a date or a time.
// While the text is being typed the row holds either the value the text stands for, when
// it is complete and valid, or the value the field had before the edit; never a value that
// happened to be valid half-way through ("11/02/05" on the way to "13/32/05"). Leaving the
// field with a text that is no valid value says so in an error box and shows the value from
// before the edit again. A cleared field stands for a blank.
class ValidatedEdit : public QObject {
public:
    // parse answers the value of a complete text, nullopt for anything else; invalidText is
    // the error text with %1 for what the field showed ("%1 is not a valid date.").
    ValidatedEdit(QLineEdit* edit, FieldLink* link,
                  std::function<std::optional<QVariant>(const QString&)> parse,
                  QString invalidText);

    // After the user changed the text; typed is the text without mask blanks, empty when
    // nothing is left in the field.
    void edited(const QString& typed);
    // A complete value given by other means than typing (today's date, the calendar).
    bool enter(const QVariant& value);
    // The field shows the row again: whatever edit was going on is over.
    void ended() { m_editing = false; }
    // From the field's focusOutEvent (after the base class); typed as for edited.
    void left(const QFocusEvent* event, const QString& typed);

private:
    void begin();

    QLineEdit* m_edit;
    FieldLink* m_link;
    std::function<std::optional<QVariant>(const QString&)> m_parse;
    QString m_invalidText;
    bool m_editing = false;
    QVariant m_before;
};

} // namespace nerova
