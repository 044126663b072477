#include "app/ShortcutsHolder.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

namespace nerova {

namespace {

struct ButtonKey {
    const char* button; // object name
    QKeyCombination keys;
    const char* what;
    const char* mnemonic; // the button's own Alt key, or empty
};

const ButtonKey kButtonKeys[] = {
    {"FirstBtn", Qt::CTRL | Qt::Key_Home, QT_TR_NOOP("First record"), QT_TR_NOOP("Alt+I")},
    {"PriorBtn", Qt::CTRL | Qt::Key_PageUp, QT_TR_NOOP("Prior record"), QT_TR_NOOP("Alt+R")},
    {"NextBtn", Qt::CTRL | Qt::Key_PageDown, QT_TR_NOOP("Next record"), QT_TR_NOOP("Alt+N")},
    {"LastBtn", Qt::CTRL | Qt::Key_End, QT_TR_NOOP("Last record"), QT_TR_NOOP("Alt+A")},
    {"InsertBtn", Qt::CTRL | Qt::Key_N, QT_TR_NOOP("Insert a record on this page"), ""},
    {"SaveBtn", Qt::CTRL | Qt::Key_S, QT_TR_NOOP("Save"), ""},
    {"CancelBtn", QKeyCombination(Qt::Key_Escape), QT_TR_NOOP("Cancel the changes"), ""},
};

struct ActionKey {
    const char* action; // object name
    QKeyCombination keys;
    const char* what;
    bool beforeFields; // a text field would take the keys for itself
};

const ActionKey kActionKeys[] = {
    {"Print1", Qt::CTRL | Qt::Key_P, QT_TR_NOOP("Print"), false},
    {"LookupName1", Qt::CTRL | Qt::Key_F, QT_TR_NOOP("Look up companies by name"), false},
    // A text field would take Ctrl+D for deleting a character.
    {"TestsDue1", Qt::CTRL | Qt::Key_D, QT_TR_NOOP("Tests due"), true},
    {"NewTestFromLast1", Qt::CTRL | Qt::SHIFT | Qt::Key_N,
     QT_TR_NOOP("New test from the pump's last test (Test page)"), false},
};

QString keyText(const QKeySequence& keys) {
    return keys.toString(QKeySequence::NativeText);
}

} // namespace

ShortcutsHolder::ShortcutsHolder(QWidget& window, QWidget& panel) : QObject(&window) {
    for (const ButtonKey& k : kButtonKeys)
        bindButton(window.findChild<QPushButton*>(QString::fromLatin1(k.button)),
                   QKeySequence(k.keys), tr(k.what), tr(k.mnemonic));
    for (const ActionKey& k : kActionKeys)
        bindAction(window.findChild<QAction*>(QString::fromLatin1(k.action)), QKeySequence(k.keys),
                   tr(k.what), k.beforeFields);
    // A text field would take Ctrl+Home and the like for its cursor; while the record
    // buttons are usable the window's navigation comes first.
    for (QWidget* w : panel.findChildren<QWidget*>())
        w->installEventFilter(this);
}

void ShortcutsHolder::bindButton(QPushButton* button, const QKeySequence& keys, const QString& what,
                                 const QString& mnemonic) {
    Q_ASSERT(button);
    auto* shortcut = new QShortcut(keys, static_cast<QWidget*>(parent()));
    // click() does nothing on a disabled button.
    connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
    const QString also = mnemonic.isEmpty() ? QString() : QStringLiteral(" or ") + mnemonic;
    button->setToolTip(QStringLiteral("%1 (%2%3)").arg(what, keyText(keys), also));
    m_help << QStringLiteral("%1: %2%3").arg(what, keyText(keys), also);
    m_buttonKeys.append({keys, button});
}

void ShortcutsHolder::bindAction(QAction* action, const QKeySequence& keys, const QString& what,
                                 bool beforeFields) {
    Q_ASSERT(action);
    action->setShortcut(keys);
    m_help << QStringLiteral("%1: %2").arg(what, keyText(keys));
    if (beforeFields)
        m_beforeFields.append(action);
}

QString ShortcutsHolder::helpText() const {
    return m_help.join(QLatin1Char('\n'));
}

bool ShortcutsHolder::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const auto& [keys, button] : m_buttonKeys)
            if (keys == pressed && button->isEnabled())
                return true; // left unaccepted: the shortcut runs
        for (const QAction* action : m_beforeFields)
            if (pressed == action->shortcut())
                return true;
        break;
    }
    case QEvent::KeyPress:
        // Only the first delivery counts, not the one to a parent the field passed it on to.
        if (watched == QApplication::focusWidget())
            m_keysDown.insert(static_cast<QKeyEvent*>(event)->key(), watched);
        break;
    case QEvent::KeyRelease: {
        if (watched != QApplication::focusWidget())
            break;
        // A release belongs to the field its key went down in. The release of a key pressed
        // in a box (Enter on "Lose changed data?"), for a shortcut or in another field is
        // no keystroke of this one.
        const int key = static_cast<QKeyEvent*>(event)->key();
        const QObject* downIn = m_keysDown.take(key);
        if (downIn != watched)
            return true;
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace nerova
