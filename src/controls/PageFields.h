#pragma once

#include "controls/FieldEntry.h"
#include "controls/FieldGrid.h"

#include <QList>
#include <QString>

class QGridLayout;
class QLabel;
class QWidget;

namespace nerova {

class Table;

// Collects the entry fields of one page while its groups are laid out, in the order of the
// page's field tables, so that the page can hand them out by column and chain the tab order
// across all its groups (each grid alone only orders its own fields).
class PageFields {
public:
    explicit PageFields(Table& table) : m_table(table) {}

    Table& table() const { return m_table; }

    // The grids lay a field out in two columns: its caption (right aligned, the field as
    // its buddy) and the field followed by its unit; an entry marked sameRow goes on in the
    // next two columns of the previous row. A long text or list field takes its column's
    // width, a short field keeps the width of its mask or picture, so one column can mix
    // them and units still stand right after their fields.

    // Lays specs out in a new grid on parent (which must not have a layout yet).
    QGridLayout* addGrid(QWidget* parent, const QList<FieldEntry>& specs);
    // Lays specs out on a new layout of page in side-by-side grids of at most rowsPerColumn
    // rows each, kept at the top left.
    void addColumns(QWidget* page, const QList<FieldEntry>& specs, int rowsPerColumn);
    // Adds specs to grid from row on, answering the row after the last one used.
    int addToGrid(QGridLayout* grid, int row, QWidget* parent, const QList<FieldEntry>& specs);
    // Rows of fields, each row after a heading of its own in the first column (the relief
    // valves of a pump, the temperatures of a test), on a new page kept at the top left.
    struct HeadedRow {
        const char* heading;
        QList<FieldEntry> specs;
    };
    QWidget* addHeadedRows(const QList<HeadedRow>& rows);
    // A new page holding specs in one grid, kept at the top left.
    QWidget* addGridPage(const QList<FieldEntry>& specs);
    // One field at a chosen cell: its caption at column, the field and its unit at column + 1.
    QWidget* place(QGridLayout* grid, int row, int column, QWidget* parent,
                   const FieldEntry& entry);
    // A field in a table-like grid whose row and column headers stand for its caption;
    // accessibleName tells a screen reader which cell it is.
    QWidget* cell(QGridLayout* grid, int row, int column, QWidget* parent, const FieldEntry& entry,
                  const QString& accessibleName, int columnSpan = 1);

    // The width a short field is given (its mask or picture); 0 for one that takes the
    // width of its column.
    static int shortWidth(const FieldEntry& entry, const QWidget* field);

    // Sets the tab order of all fields collected so far, in the order they were added.
    void chainTabOrder() const;

    // The field of a column (letter case ignored); nullptr when the page has none.
    QWidget* field(const QString& column) const;
    const FieldMap& map() const { return m_map; }
    const QList<QWidget*>& ordered() const { return m_ordered; }

    // A plain label for headings and headers.
    static QLabel* label(const QString& text, QWidget* parent,
                         Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

private:
    void collect(const FieldEntry& entry, QWidget* field);

    Table& m_table;
    FieldMap m_map;
    QList<QWidget*> m_ordered;
};

} // namespace nerova
