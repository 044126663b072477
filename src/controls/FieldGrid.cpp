#include "controls/FieldGrid.h"

#include "controls/CheckField.h"
#include "controls/DateField.h"
#include "controls/FieldLink.h"
#include "controls/ListField.h"
#include "controls/MaskedField.h"
#include "controls/MemoField.h"
#include "controls/NumberField.h"
#include "controls/TextField.h"

#include <QLabel>

namespace nerova {

namespace {

template <typename Field> Field* withAccess(Field* field, FieldAccess access) {
    if (access != FieldAccess::Normal)
        field->setAccess(access);
    return field;
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
