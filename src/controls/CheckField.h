#pragma once

#include "controls/FieldKind.h"

#include <QCheckBox>

namespace nerova {

class FieldLink;
class Table;

// A check box bound to a logical column; a blank shows unchecked.
class CheckField : public QCheckBox {
    Q_OBJECT
public:
    CheckField(Table& table, const QString& column, const QString& caption = {},
               QWidget* parent = nullptr);

    QString column() const;
    FieldLink& link() const { return *m_link; }

    void setAccess(FieldAccess access);
    FieldAccess access() const { return m_access; }

    void refresh();

Q_SIGNALS:
    void keyReleased(int key);

protected:
    void nextCheckState() override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    FieldLink* m_link;
    FieldAccess m_access = FieldAccess::Normal;
};

} // namespace nerova
