#include "controls/MemoField.h"

#include "controls/FieldLink.h"
#include "data/Table.h"

namespace nerova {

MemoField::MemoField(Table& table, const QString& column, QWidget* parent)
    : QPlainTextEdit(parent), m_link(new FieldLink(table, column, this, [this] { refresh(); })) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
    setAccessibleDescription(column);
    connect(this, &QPlainTextEdit::textChanged, this, &MemoField::userChanged);
    refresh();
}

QString MemoField::column() const {
    return m_link->column();
}

void MemoField::setAccess(FieldAccess access) {
    m_access = access;
    setReadOnly(access != FieldAccess::Normal);
    applyFieldAccessLook(this, access);
}

void MemoField::refresh() {
    const QVariant v = m_link->value();
    const QString text = v.isNull() ? QString() : v.toString();
    if (text == toPlainText())
        return;
    m_showing = true;
    setPlainText(text);
    m_showing = false;
}

void MemoField::userChanged() {
    if (m_showing)
        return;
    const QString text = toPlainText();
    m_link->write(text.isEmpty() ? QVariant() : QVariant(text));
}

} // namespace nerova
