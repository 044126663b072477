#pragma once

#include "controls/FieldEntry.h"

#include <QHash>
#include <QList>
#include <QString>

class QGridLayout;
class QWidget;

namespace nerova {

class FieldLink;
class Table;

// The entry fields of a page by column name.
using FieldMap = QHash<QString, QWidget*>;

// Makes the entry fields of the pages' field tables (PageFields lays them out) and finds
// their links and captions again.
class FieldGrid {
public:
    // Creates the field of one entry, bound to its column of table.
    static QWidget* createField(const FieldEntry& entry, Table& table, QWidget* parent = nullptr);

    // The link of a field made here (nullptr for any other widget).
    static FieldLink* linkOf(QWidget* field);
    // The caption label whose buddy is field, if any.
    static QWidget* captionOf(const QWidget* field);
};

} // namespace nerova
