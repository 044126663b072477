#include "controls/MaskedField.h"

#include "controls/FieldLink.h"
#include "controls/LineEntryHabits.h"
#include "controls/ValidatedEdit.h"
#include "data/Table.h"

#include <QKeyEvent>
#include <QRegularExpression>

namespace nerova {

MaskedField::MaskedField(Table& table, const QString& column, Mask mask, QWidget* parent)
    : QLineEdit(parent), m_link(new FieldLink(table, column, this, [this] { refresh(); })),
      m_habits(new LineEntryHabits(this)), m_mask(mask) {
    setInputMask(mask == Mask::Phone ? QStringLiteral("999-999-9999;_")
                                     : QStringLiteral("99:99 >AA;_"));
    if (mask == Mask::Time) {
        // A time column takes the time itself, a text column its text in the mask's form.
        const bool asTime = m_link->columnType() == ColumnType::Time;
        m_validated = new ValidatedEdit(
            this, m_link,
            [asTime](const QString& text) -> std::optional<QVariant> {
                const auto time = parseTime(text);
                if (!time)
                    return std::nullopt;
                return asTime ? QVariant(*time) : QVariant(formatTime(*time));
            },
            QStringLiteral("%1 is not a valid time."));
    }
    setAccessibleDescription(column);
    connect(this, &QLineEdit::textEdited, this, &MaskedField::userEdited);
    refresh();
}

QString MaskedField::column() const {
    return m_link->column();
}

void MaskedField::setAccess(FieldAccess access) {
    m_access = access;
    setReadOnly(access != FieldAccess::Normal);
    applyFieldAccessLook(this, access);
}

std::optional<QTime> MaskedField::parseTime(const QString& text) {
    static const QRegularExpression shape(
        QStringLiteral("^\\s*(\\d{1,2}):(\\d{2})\\s*([AaPp])[Mm]\\s*$"));
    const auto m = shape.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    int hour = m.captured(1).toInt();
    const int minute = m.captured(2).toInt();
    if (hour > 12 || minute > 59)
        return std::nullopt;
    const bool pm = m.captured(3).compare(QLatin1String("P"), Qt::CaseInsensitive) == 0;
    if (hour == 12)
        hour = 0;
    if (pm)
        hour += 12;
    return QTime(hour, minute);
}

QString MaskedField::formatTime(const QTime& time) {
    int hour = time.hour() % 12;
    if (hour == 0)
        hour = 12;
    return QStringLiteral("%1:%2 %3")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QLatin1String("AM") : QLatin1String("PM"));
}

void MaskedField::refresh() {
    const QVariant v = m_link->value();
    QString text;
    if (!v.isNull()) {
        if (m_mask == Mask::Time && v.typeId() == QMetaType::QTime)
            text = formatTime(v.toTime());
        else
            text = v.toString();
    }
    if (text != typedText())
        setText(text);
    if (m_validated)
        m_validated->ended();
}

QString MaskedField::typedText() const {
    QString shown = displayText();
    bool typed = false;
    for (QChar& c : shown) {
        if (c == QLatin1Char('_'))
            c = QLatin1Char(' ');
        else if (c.isLetterOrNumber())
            typed = true;
    }
    return typed ? shown.trimmed() : QString();
}

void MaskedField::userEdited() {
    const QString text = typedText();
    if (m_validated)
        m_validated->edited(text);
    else
        m_link->write(text.isEmpty() ? QVariant() : QVariant(text));
}

void MaskedField::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    Q_EMIT keyReleased(event->key());
}

void MaskedField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    m_habits->focusIn(event);
}

void MaskedField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (m_validated)
        m_validated->left(event, typedText());
}

} // namespace nerova
