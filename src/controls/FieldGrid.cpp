#include "controls/FieldGrid.h"

#include "controls/CheckField.h"
#include "controls/DateField.h"
#include "controls/FieldLink.h"
#include "controls/ListField.h"
#include "controls/MaskedField.h"
#include "controls/MemoField.h"
#include "controls/NumberField.h"
#include "controls/TextField.h"

#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <algorithm>

namespace nerova {

namespace {

template <typename Field> Field* withAccess(Field* field, FieldAccess access) {
    if (access != FieldAccess::Normal)
        field->setAccess(access);
    return field;
}

// Characters a short field needs on screen; 0 for a field that may take the column's width.
int shortWidthInChars(const FieldEntry& entry, const QWidget* field) {
    switch (entry.kind) {
    case FieldKind::Phone:
        return 13;
    case FieldKind::Time:
        return 9;
    case FieldKind::Date:
        return 14; // room for the calendar button
    case FieldKind::Number:
        return std::max(4, static_cast<int>(entry.picture.size()) + 2);
    case FieldKind::Text:
    case FieldKind::UpperText:
    case FieldKind::Digits: {
        const auto* edit = static_cast<const QLineEdit*>(field);
        return edit->maxLength() <= 12 ? edit->maxLength() + 2 : 0;
    }
    default:
        return 0;
    }
}

} // namespace

QWidget* FieldGrid::createField(const FieldEntry& entry, Table& table, QWidget* parent) {
    QWidget* field = nullptr;
    switch (entry.kind) {
    case FieldKind::Text:
        field = withAccess(
            new TextField(table, entry.column, TextField::Mode::Text, entry.maxLength, parent),
            entry.access);
        break;
    case FieldKind::UpperText:
        field = withAccess(
            new TextField(table, entry.column, TextField::Mode::UpperCase, entry.maxLength, parent),
            entry.access);
        break;
    case FieldKind::Digits:
        field = withAccess(
            new TextField(table, entry.column, TextField::Mode::Digits, entry.maxLength, parent),
            entry.access);
        break;
    case FieldKind::ReadOnly:
    case FieldKind::DisplayOnly: {
        auto* f =
            new TextField(table, entry.column, TextField::Mode::Text, entry.maxLength, parent);
        f->setAccess(entry.kind == FieldKind::ReadOnly ? FieldAccess::ReadOnly
                                                       : FieldAccess::DisplayOnly);
        field = f;
        break;
    }
    case FieldKind::Phone:
        field = withAccess(new MaskedField(table, entry.column, MaskedField::Mask::Phone, parent),
                           entry.access);
        break;
    case FieldKind::Time:
        field = withAccess(new MaskedField(table, entry.column, MaskedField::Mask::Time, parent),
                           entry.access);
        break;
    case FieldKind::Date:
        field = withAccess(new DateField(table, entry.column, parent), entry.access);
        break;
    case FieldKind::Number: {
        auto* f = new NumberField(table, entry.column, entry.picture, parent);
        f->setNonNegative(entry.nonNegative);
        field = withAccess(f, entry.access);
        break;
    }
    case FieldKind::ListOnly:
    case FieldKind::ListOrText: {
        auto* f = new ListField(table, entry.column, entry.items,
                                entry.kind == FieldKind::ListOnly ? ListField::Mode::ListOnly
                                                                  : ListField::Mode::ListOrText,
                                parent);
        f->setCaption(entry.caption);
        field = withAccess(f, entry.access);
        break;
    }
    case FieldKind::Check:
        field =
            withAccess(new CheckField(table, entry.column, entry.caption, parent), entry.access);
        break;
    case FieldKind::Memo:
        field = withAccess(new MemoField(table, entry.column, parent), entry.access);
        break;
    }
    return field;
}

FieldMap FieldGrid::build(QWidget* page, Table& table, const QList<FieldEntry>& entries) {
    auto* grid = new QGridLayout(page);
    FieldMap fields;
    addToGrid(grid, 0, page, table, entries, fields);
    return fields;
}

int FieldGrid::addToGrid(QGridLayout* grid, int firstRow, QWidget* parent, Table& table,
                         const QList<FieldEntry>& entries, FieldMap& fields) {
    int row = firstRow - 1;
    int column = 0;
    int lastColumn = 0;
    QWidget* previous = nullptr;
    for (const FieldEntry& entry : entries) {
        if (entry.sameRow && row >= firstRow) {
            column += 3;
        } else {
            ++row;
            column = 0;
        }
        QWidget* field = createField(entry, table, parent);
        fields.insert(entry.column, field);

        if (entry.kind != FieldKind::Check && !entry.caption.isEmpty()) {
            auto* caption = new QLabel(entry.caption, parent);
            caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            caption->setBuddy(field);
            grid->addWidget(caption, row, column,
                            entry.kind == FieldKind::Memo ? Qt::AlignRight | Qt::AlignTop
                                                          : Qt::Alignment());
        }
        if (entry.kind == FieldKind::Memo) {
            // A memo takes the rest of the row's width and the grid's spare height.
            grid->addWidget(field, row, column + 1, 1, -1);
            grid->setRowStretch(row, 1);
        } else if (const int chars = shortWidthInChars(entry, field); chars > 0) {
            field->setFixedWidth(field->fontMetrics().averageCharWidth() * chars +
                                 field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2 + 8);
            grid->addWidget(field, row, column + 1, Qt::AlignLeft);
        } else {
            grid->addWidget(field, row, column + 1);
        }
        if (!entry.unit.isEmpty())
            grid->addWidget(new QLabel(entry.unit, parent), row, column + 2);
        lastColumn = std::max(lastColumn, column + 2);

        if (previous)
            QWidget::setTabOrder(previous, field);
        previous = field;
    }
    // Spare width goes to an empty column at the right so the fields keep their sizes.
    grid->setColumnStretch(lastColumn + 1, 1);
    return row + 1;
}

FieldLink* FieldGrid::linkOf(QWidget* field) {
    return field ? field->findChild<FieldLink*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QWidget* FieldGrid::captionOf(const QWidget* field) {
    if (!field || !field->parentWidget())
        return nullptr;
    const auto labels =
        field->parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    for (QLabel* label : labels)
        if (label->buddy() == field)
            return label;
    return nullptr;
}

} // namespace nerova
