#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
class QPushButton;
class QWidget;

namespace nerova {

// The keyboard conveniences of the main window: its shortcut table and the help text that
// lists it. Every shortcut goes through the very button or menu item it stands for, found by
// its object name, so it obeys the same guards and does nothing while that button or item
// is disabled.
class ShortcutsHolder : public QObject {
    Q_OBJECT
public:
    // Binds the keys of window's buttons and menu items, and watches the fields already
    // under panel so that the window's keys come before theirs.
    ShortcutsHolder(QWidget& window, QWidget& panel);

    QString helpText() const; // one line per shortcut

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bindButton(QPushButton* button, const QKeySequence& keys, const QString& what,
                    const QString& mnemonic);
    void bindAction(QAction* action, const QKeySequence& keys, const QString& what,
                    bool beforeFields);

    QStringList m_help;
    QList<std::pair<QKeySequence, QPushButton*>> m_buttonKeys;
    QList<QAction*> m_beforeFields;        // menu items whose keys a text field would take
    QHash<int, const QObject*> m_keysDown; // key → the field it went down in, until released
};

} // namespace nerova
