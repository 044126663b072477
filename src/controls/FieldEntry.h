#pragma once

#include "controls/FieldKind.h"

#include <QString>
#include <QStringList>

namespace nerova {

// One entry field of a page, as a page's field table lists it:
//   {"State:", "State", FieldKind::UpperText, {}, 2}
//   {"RPM:", "Pump RPM", FieldKind::Number, "9999"}
//   {"@", "100% Pressure", FieldKind::Number, "###.#", 0, {}, "psi", FieldAccess::Normal, false,
//    true}
// or with designated initializers where that reads better.
struct FieldEntry {
    QString caption; // the label before the field ("&" marks a mnemonic); the check box's
                     // own text for Check; empty for none
    QString column;
    FieldKind kind = FieldKind::Text;
    QString picture{};   // Number: the picture ("###.#", "#,###")
    int maxLength = 0;   // Text, UpperText, Digits, ReadOnly: 0 for the column's size
    QStringList items{}; // ListOnly, ListOrText
    QString unit{};      // shown after the field ("psi", "gpm")
    FieldAccess access = FieldAccess::Normal; // read-only or display-only for any kind
    bool nonNegative = false;                 // Number: a lower bound of 0
    bool sameRow = false; // continue the previous field's row instead of starting one
};

} // namespace nerova
