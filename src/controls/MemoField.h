#pragma once

#include "controls/FieldKind.h"

#include <QPlainTextEdit>

namespace nerova {

class FieldLink;
class Table;

// Multi-line text with word wrap bound to a memo (or text) column. Tab moves on to the
// next field rather than typing a tab.
class MemoField : public QPlainTextEdit {
    Q_OBJECT
public:
    MemoField(Table& table, const QString& column, QWidget* parent = nullptr);

    QString column() const;
    FieldLink& link() const { return *m_link; }

    void setAccess(FieldAccess access);
    FieldAccess access() const { return m_access; }

    void refresh();

private:
    void userChanged();

    FieldLink* m_link;
    FieldAccess m_access = FieldAccess::Normal;
    bool m_showing = false;
};

} // namespace nerova
