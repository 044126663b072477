#pragma once

#include "controls/FieldKind.h"

#include <QComboBox>

namespace nerova {

class FieldLink;
class LineEntryHabits;
class Table;

// A drop-down list bound to a text column. Mode ListOnly lets the user choose only among
// its entries; ListOrText also takes free text in its edit part (up to the column's size).
//
// A screen reader hears the list's caption as its name and the current entry as its value
// (a plain combo box would give the entry for both).
class ListField : public QComboBox {
    Q_OBJECT
public:
    enum class Mode { ListOnly, ListOrText };

    ListField(Table& table, const QString& column, const QStringList& items, Mode mode,
              QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    QString column() const;
    FieldLink& link() const { return *m_link; }

    void setAccess(FieldAccess access);
    FieldAccess access() const { return m_access; }

    void refresh();

    // Names the list after its caption label's text ("Discharge &Device:" names it
    // "Discharge Device").
    void setCaption(const QString& caption);
    // The name a screen reader hears: the accessible name, or else the caption of the label
    // whose buddy the list is.
    QString caption() const;
    // A label's text as a name: without mnemonic marks and the closing colon.
    static QString captionText(const QString& label);

Q_SIGNALS:
    void keyReleased(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void showPopup() override;

private:
    void picked(int index);
    void typed(const QString& text);

    FieldLink* m_link;
    LineEntryHabits* m_habits = nullptr; // the edit part of a list that takes text
    Mode m_mode;
    FieldAccess m_access = FieldAccess::Normal;
};

} // namespace nerova
