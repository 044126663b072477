#include "controls/ListField.h"

#include "controls/FieldGrid.h"
#include "controls/FieldLink.h"
#include "controls/LineEntryHabits.h"
#include "data/Table.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace nerova {

namespace {

// What a screen reader sees of a list: a combo box named by its caption whose value is the
// entry shown, with the pop-up list and the edit part as its children.
class ListFieldAccessible : public QAccessibleWidget {
public:
    explicit ListFieldAccessible(ListField* list)
        : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return list()->caption();
        if (t == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return list()->lineEdit() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override {
        QWidget* w = index == 0   ? static_cast<QWidget*>(list()->view())
                     : index == 1 ? list()->lineEdit()
                                  : nullptr;
        return w ? QAccessible::queryAccessibleInterface(w) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* c) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i) == c)
                return i;
        return -1;
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override {
        if (name == showMenuAction())
            static_cast<QComboBox*>(list())->showPopup(); // through the guarded override
        else
            QAccessibleWidget::doAction(name);
    }

private:
    ListField* list() const { return static_cast<ListField*>(widget()); }
};

QAccessibleInterface* listFieldAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(ListField::staticMetaObject.className()) && object)
        return new ListFieldAccessible(static_cast<ListField*>(object));
    return nullptr;
}

} // namespace

ListField::ListField(Table& table, const QString& column, const QStringList& items, Mode mode,
                     QWidget* parent)
    : QComboBox(parent), m_link(new FieldLink(table, column, this, [this] { refresh(); })),
      m_mode(mode) {
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(listFieldAccessible);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);
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
        m_habits = new LineEntryHabits(lineEdit());
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

void ListField::setCaption(const QString& caption) {
    setAccessibleName(captionText(caption));
}

QString ListField::caption() const {
    if (!accessibleName().isEmpty())
        return accessibleName();
    const auto* label = qobject_cast<const QLabel*>(FieldGrid::captionOf(this));
    return label ? captionText(label->text()) : QString();
}

QString ListField::captionText(const QString& label) {
    QString text;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == QLatin1Char('&')) {
            if (i + 1 < label.size() && label[i + 1] == QLatin1Char('&'))
                text += label[++i];
            continue;
        }
        text += label[i];
    }
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
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

void ListField::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event); // hands the focus on to the edit part
    if (m_habits)
        m_habits->focusIn(event);
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
