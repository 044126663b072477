#include "controls/NumberField.h"

#include "controls/FieldLink.h"
#include "controls/LineEntryHabits.h"
#include "controls/PictureValidator.h"
#include "controls/ValidatedEdit.h"
#include "data/Table.h"

#include <QKeyEvent>

namespace nerova {

NumberField::NumberField(Table& table, const QString& column, const QString& picture,
                         QWidget* parent)
    : QLineEdit(parent), m_link(new FieldLink(table, column, this, [this] { refresh(); })),
      m_habits(new LineEntryHabits(this)), m_picture(picture),
      m_validated(new ValidatedEdit(
          this, m_link,
          [this](const QString& text) -> std::optional<QVariant> {
              if (const auto v = m_picture.parse(text))
                  return QVariant(*v);
              return std::nullopt;
          },
          QStringLiteral("%1 is not a number of the form ") + m_picture.picture() +
              QLatin1Char('.'))) {
    setValidator(new PictureValidator(m_picture, this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAccessibleDescription(column);
    connect(this, &QLineEdit::textEdited, this, &NumberField::userEdited);
    refresh();
}

QString NumberField::column() const {
    return m_link->column();
}

void NumberField::setNonNegative(bool on) {
    m_picture.setNonNegative(on);
}

void NumberField::setAccess(FieldAccess access) {
    m_access = access;
    setReadOnly(access != FieldAccess::Normal);
    applyFieldAccessLook(this, access);
}

void NumberField::refresh() {
    const QVariant v = m_link->value();
    QString text;
    if (!v.isNull())
        text = m_picture.format(v.toDouble(), !hasFocus());
    if (text != QLineEdit::text())
        setText(text);
    m_validated->ended();
}

void NumberField::userEdited(const QString& text) {
    // A blank, or a lone sign or point, stands for no value yet.
    m_validated->edited(m_picture.holdsNoDigit(text) ? QString() : text);
}

void NumberField::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    Q_EMIT keyReleased(event->key());
}

void NumberField::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    Q_EMIT doubleClicked();
}

void NumberField::focusInEvent(QFocusEvent* event) {
    refresh(); // drop the thousands separators while typing (before the text is selected)
    QLineEdit::focusInEvent(event);
    m_habits->focusIn(event);
}

void NumberField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    const QString text = QLineEdit::text();
    m_validated->left(event, m_picture.holdsNoDigit(text) ? QString() : text);
    refresh();
}

} // namespace nerova
