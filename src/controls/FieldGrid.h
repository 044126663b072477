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

// Builds pages from their field tables: each row of a grid holds a caption label (right
// aligned, the field as its buddy), the field, and its unit; an entry marked sameRow goes on
// in the next three columns of the previous row. Tab order follows the list.
class FieldGrid {
public:
    // Creates the field of one entry, bound to its column of table.
    static QWidget* createField(const FieldEntry& entry, Table& table, QWidget* parent = nullptr);

    // Lays the fields out on page in a new grid layout (page must not have a layout yet).
    static FieldMap build(QWidget* page, Table& table, const QList<FieldEntry>& entries);

    // Adds the fields to an existing grid starting at firstRow; widgets are parented to
    // parent (the grid's widget). Answers the row after the last one used.
    static int addToGrid(QGridLayout* grid, int firstRow, QWidget* parent, Table& table,
                         const QList<FieldEntry>& entries, FieldMap& fields);

    // The link of a field made here (nullptr for any other widget).
    static FieldLink* linkOf(QWidget* field);
    // The caption label whose buddy is field, if any.
    static QWidget* captionOf(const QWidget* field);
};

} // namespace nerova
