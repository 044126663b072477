#pragma once

#include "controls/FieldKind.h"

#include <QComboBox>

namespace nerova {

class FieldLink;
class Table;

// A drop-down list bound to a text column. Mode ListOnly lets the user choose only among
// its entries; ListOrText also takes free text in its edit part (up to the column's size).
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

Q_SIGNALS:
    void keyReleased(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void showPopup() override;

private:
    void picked(int index);
    void typed(const QString& text);

    FieldLink* m_link;
    Mode m_mode;
    FieldAccess m_access = FieldAccess::Normal;
};

} // namespace nerova
