#include "controls/ListField.h"

#include "controls/FieldLink.h"
#include "data/Table.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace nerova {

ListField::ListField(Table& table, const QString& column, const QStringList& items, Mode mode,
                     QWidget* parent)
    : QComboBox(parent), m_link(new FieldLink(table, column, this, [this] { refresh(); })),
      m_mode(mode) {
    addItems(items);
    setAccessibleDescription(column);
    if (mode == Mode::ListOrText) {
        setEditable(true);
        // Inline completion would show more than was typed and stored; the list is short.
        setCompleter(nullptr);
        setInsertPolicy(QComboBox::NoInsert);
        if (m_link->columnSize() > 0)
            lineEdit()->setMaxLength(m_link->columnSize());
        connect(lineEdit(), &QLineEdit::textEdited, this, &ListField::typed);
    }
    connect(this, &QComboBox::activated, this, &ListField::picked);
    refresh();
}

QString ListField::column() const {
    return m_link->column();
}

void ListField::setAccess(FieldAccess access) {
    m_access = access;
    if (lineEdit())
        lineEdit()->setReadOnly(access != FieldAccess::Normal);
    applyFieldAccessLook(this, access);
}

void ListField::refresh() {
    const QVariant v = m_link->value();
    const QString text = v.isNull() ? QString() : v.toString();
    int index = findText(text, Qt::MatchExactly);
    if (index < 0 && !text.isEmpty())
        index = findText(text, Qt::MatchFixedString);
    if (m_mode == Mode::ListOrText) {
        if (currentText() != text) {
            setCurrentIndex(index);
            setEditText(text);
        }
    } else if (currentIndex() != index) {
        setCurrentIndex(index);
    }
}

void ListField::picked(int index) {
    if (m_access != FieldAccess::Normal) {
        refresh();
        return;
    }
    const QString text = itemText(index);
    if (!m_link->write(text.isEmpty() ? QVariant() : QVariant(text)))
        refresh();
}

void ListField::typed(const QString& text) {
    m_link->write(text.isEmpty() ? QVariant() : QVariant(text));
}

void ListField::keyPressEvent(QKeyEvent* event) {
    // Keys that would change the choice of a read-only list are swallowed; Tab and the like
    // still move the focus on.
    if (m_access != FieldAccess::Normal || !m_link->hasRow()) {
        switch (event->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            break;
        default:
            event->accept();
            return;
        }
    }
    QComboBox::keyPressEvent(event);
}

void ListField::keyReleaseEvent(QKeyEvent* event) {
    QComboBox::keyReleaseEvent(event);
    Q_EMIT keyReleased(event->key());
}

void ListField::wheelEvent(QWheelEvent* event) {
    if (m_access != FieldAccess::Normal || !m_link->hasRow())
        return;
    QComboBox::wheelEvent(event);
}

void ListField::showPopup() {
    if (m_access != FieldAccess::Normal || !m_link->hasRow())
        return;
    QComboBox::showPopup();
}

} // namespace nerova
