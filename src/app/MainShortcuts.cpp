// The keyboard conveniences of the main window. Every shortcut goes through the very button
// or menu item it stands for, so it obeys the same guards and does nothing while that
// button or item is disabled.
#include "app/MainForm.h"
#include "prompt/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

namespace nerova {

namespace {

QString keyText(const QKeySequence& keys) {
    return keys.toString(QKeySequence::NativeText);
}

} // namespace

void TMainForm1::buildShortcuts() {
    auto bind = [this](QPushButton* button, const QKeySequence& keys, const QString& what,
                       const QString& mnemonic = {}) {
        auto* shortcut = new QShortcut(keys, this);
        // click() does nothing on a disabled button.
        connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
        const QString also = mnemonic.isEmpty() ? QString() : QStringLiteral(" or ") + mnemonic;
        button->setToolTip(QStringLiteral("%1 (%2%3)").arg(what, keyText(keys), also));
        m_shortcutHelp << QStringLiteral("%1: %2%3").arg(what, keyText(keys), also);
        m_buttonKeys.append({keys, button});
    };
    bind(FirstBtn, QKeySequence(Qt::CTRL | Qt::Key_Home), tr("First record"), tr("Alt+I"));
    bind(PriorBtn, QKeySequence(Qt::CTRL | Qt::Key_PageUp), tr("Prior record"), tr("Alt+R"));
    bind(NextBtn, QKeySequence(Qt::CTRL | Qt::Key_PageDown), tr("Next record"), tr("Alt+N"));
    bind(LastBtn, QKeySequence(Qt::CTRL | Qt::Key_End), tr("Last record"), tr("Alt+A"));
    bind(InsertBtn, QKeySequence(Qt::CTRL | Qt::Key_N), tr("Insert a record on this page"));
    bind(SaveBtn, QKeySequence(Qt::CTRL | Qt::Key_S), tr("Save"));
    bind(CancelBtn, QKeySequence(Qt::Key_Escape), tr("Cancel the changes"));

    auto bindAction = [this](QAction* action, const QKeySequence& keys, const QString& what) {
        action->setShortcut(keys);
        m_shortcutHelp << QStringLiteral("%1: %2").arg(what, keyText(keys));
    };
    bindAction(Print1, QKeySequence(Qt::CTRL | Qt::Key_P), tr("Print"));
    bindAction(LookupName1, QKeySequence(Qt::CTRL | Qt::Key_F), tr("Look up companies by name"));
    bindAction(TestsDue1, QKeySequence(Qt::CTRL | Qt::Key_D), tr("Tests due"));
    bindAction(NewTestFromLast1, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N),
               tr("New test from the pump's last test (Test page)"));

    // A text field would take Ctrl+Home and the like for its cursor; while the record
    // buttons are usable the window's navigation comes first.
    for (QWidget* w : MainPanel->findChildren<QWidget*>())
        w->installEventFilter(this);
}

bool TMainForm1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const auto& [keys, button] : m_buttonKeys)
            if (keys == pressed && button->isEnabled())
                return true; // left unaccepted: the shortcut runs
        // A text field would take Ctrl+D for deleting a character.
        if (pressed == TestsDue1->shortcut())
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
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm1::KeyboardShortcuts1Click() {
    Prompt::instance().message(Prompt::Kind::Information, m_shortcutHelp.join(QLatin1Char('\n')),
                               {Prompt::Button::Ok}, tr("Keyboard Shortcuts"));
}

} // namespace nerova
