#include "controls/TextField.h"

#include "controls/FieldLink.h"
#include "controls/LineEntryHabits.h"
#include "data/Table.h"

#include <QKeyEvent>
#include <QValidator>

namespace nerova {

namespace {

// Turns letters into capitals as they are typed, or refuses anything but digits.
class TextModeValidator : public QValidator {
public:
    TextModeValidator(TextField::Mode mode, QObject* parent) : QValidator(parent), m_mode(mode) {}

    State validate(QString& input, int&) const override {
        if (m_mode == TextField::Mode::UpperCase) {
            input = input.toUpper();
            return Acceptable;
        }
        for (const QChar c : input)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return Invalid;
        return Acceptable;
    }

private:
    TextField::Mode m_mode;
};

} // namespace

TextField::TextField(Table& table, const QString& column, Mode mode, int maxLength, QWidget* parent)
    : QLineEdit(parent), m_link(new FieldLink(table, column, this, [this] { refresh(); })),
      m_habits(new LineEntryHabits(this)), m_mode(mode) {
    const int size = m_link->columnSize();
    int limit = maxLength > 0 ? maxLength : size;
    if (size > 0 && limit > size)
        limit = size;
    if (limit > 0)
        setMaxLength(limit);
    if (mode != Mode::Text)
        setValidator(new TextModeValidator(mode, this));
    setAccessibleDescription(column);
    connect(this, &QLineEdit::textEdited, this, &TextField::userEdited);
    refresh();
}

QString TextField::column() const {
    return m_link->column();
}

void TextField::setAccess(FieldAccess access) {
    m_access = access;
    setReadOnly(access != FieldAccess::Normal);
    applyFieldAccessLook(this, access);
}

void TextField::refresh() {
    const QVariant v = m_link->value();
    QString text;
    if (!v.isNull())
        text = m_link->table()->asString(m_link->column());
    if (text != QLineEdit::text())
        setText(text);
}

void TextField::userEdited(const QString& text) {
    QVariant v;
    if (!text.isEmpty()) {
        if (m_link->columnType() == ColumnType::Number)
            v = text.toDouble();
        else
            v = text;
    }
    m_link->write(v);
}

void TextField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    m_habits->focusIn(event);
}

void TextField::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    Q_EMIT keyReleased(event->key());
}

} // namespace nerova
