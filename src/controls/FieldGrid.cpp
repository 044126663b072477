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
int shortWidthInChars(const FieldSpec& spec, const QWidget* field) {
    switch (spec.kind) {
    case FieldKind::Phone:
        return 13;
    case FieldKind::Time:
        return 9;
    case FieldKind::Date:
        return 14; // room for the calendar button
    case FieldKind::Number:
        return std::max(4, static_cast<int>(spec.picture.size()) + 2);
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

QWidget* FieldGrid::createField(const FieldSpec& spec, Table& table, QWidget* parent) {
    QWidget* field = nullptr;
    switch (spec.kind) {
    case FieldKind::Text:
        field = withAccess(
            new TextField(table, spec.column, TextField::Mode::Text, spec.maxLength, parent),
            spec.access);
        break;
    case FieldKind::UpperText:
        field = withAccess(
            new TextField(table, spec.column, TextField::Mode::UpperCase, spec.maxLength, parent),
            spec.access);
        break;
    case FieldKind::Digits:
        field = withAccess(
            new TextField(table, spec.column, TextField::Mode::Digits, spec.maxLength, parent),
            spec.access);
        break;
    case FieldKind::ReadOnly:
    case FieldKind::DisplayOnly: {
        auto* f = new TextField(table, spec.column, TextField::Mode::Text, spec.maxLength, parent);
        f->setAccess(spec.kind == FieldKind::ReadOnly ? FieldAccess::ReadOnly
                                                      : FieldAccess::DisplayOnly);
        field = f;
        break;
    }
    case FieldKind::Phone:
        field = withAccess(new MaskedField(table, spec.column, MaskedField::Mask::Phone, parent),
                           spec.access);
        break;
    case FieldKind::Time:
        field = withAccess(new MaskedField(table, spec.column, MaskedField::Mask::Time, parent),
                           spec.access);
        break;
    case FieldKind::Date:
        field = withAccess(new DateField(table, spec.column, parent), spec.access);
        break;
    case FieldKind::Number: {
        auto* f = new NumberField(table, spec.column, spec.picture, parent);
        f->setNonNegative(spec.nonNegative);
        field = withAccess(f, spec.access);
        break;
    }
    case FieldKind::ListOnly:
        field = withAccess(
            new ListField(table, spec.column, spec.items, ListField::Mode::ListOnly, parent),
            spec.access);
        break;
    case FieldKind::ListOrText:
        field = withAccess(
            new ListField(table, spec.column, spec.items, ListField::Mode::ListOrText, parent),
            spec.access);
        break;
    case FieldKind::Check:
        field = withAccess(new CheckField(table, spec.column, spec.caption, parent), spec.access);
        break;
    case FieldKind::Memo:
        field = withAccess(new MemoField(table, spec.column, parent), spec.access);
        break;
    }
    return field;
}

FieldMap FieldGrid::build(QWidget* page, Table& table, const QList<FieldSpec>& specs) {
    auto* grid = new QGridLayout(page);
    FieldMap fields;
    addToGrid(grid, 0, page, table, specs, fields);
    return fields;
}

int FieldGrid::addToGrid(QGridLayout* grid, int firstRow, QWidget* parent, Table& table,
                         const QList<FieldSpec>& specs, FieldMap& fields) {
    int row = firstRow - 1;
    int column = 0;
    int lastColumn = 0;
    QWidget* previous = nullptr;
    for (const FieldSpec& spec : specs) {
        if (spec.sameRow && row >= firstRow) {
            column += 3;
        } else {
            ++row;
            column = 0;
        }
        QWidget* field = createField(spec, table, parent);
        fields.insert(spec.column, field);

        if (spec.kind != FieldKind::Check && !spec.caption.isEmpty()) {
            auto* caption = new QLabel(spec.caption, parent);
            caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            caption->setBuddy(field);
            grid->addWidget(caption, row, column,
                            spec.kind == FieldKind::Memo ? Qt::AlignRight | Qt::AlignTop
                                                         : Qt::Alignment());
        }
        if (spec.kind == FieldKind::Memo) {
            // A memo takes the rest of the row's width and the grid's spare height.
            grid->addWidget(field, row, column + 1, 1, -1);
            grid->setRowStretch(row, 1);
        } else if (const int chars = shortWidthInChars(spec, field); chars > 0) {
            field->setFixedWidth(field->fontMetrics().averageCharWidth() * chars +
                                 field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2 + 8);
            grid->addWidget(field, row, column + 1, Qt::AlignLeft);
        } else {
            grid->addWidget(field, row, column + 1);
        }
        if (!spec.unit.isEmpty())
            grid->addWidget(new QLabel(spec.unit, parent), row, column + 2);
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

QWidget* FieldGrid::captionOf(QWidget* field) {
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
