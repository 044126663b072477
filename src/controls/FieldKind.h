#pragma once

class QWidget;

namespace nerova {

// What a data-bound entry field accepts.
enum class FieldKind {
    Text,        // free text up to a maximum length
    UpperText,   // text whose letters are turned into capitals as they are typed
    Digits,      // digits only, up to a maximum length
    Phone,       // 999-999-9999, stored with its dashes
    Time,        // HH:MM tt
    Date,        // MM/DD/yy with a pop-up calendar; "/" enters today
    Number,      // a number bounded by a picture (9 # . ,)
    ListOnly,    // a drop-down list; only its entries can be chosen
    ListOrText,  // a drop-down list whose edit part takes free text as well
    Check,       // a check box storing true or false
    Memo,        // multi-line text with word wrap
    ReadOnly,    // text shown, never typed into; it can take the focus
    DisplayOnly, // text shown on the window colour and skipped by Tab
};

// How a field of any kind may be used.
enum class FieldAccess {
    Normal,
    ReadOnly,    // takes the focus but refuses typing
    DisplayOnly, // refuses typing, skipped by Tab, drawn on the window's background colour
};

// The focus policy and colours of an access mode; the field itself refuses the typing.
void applyFieldAccessLook(QWidget* field, FieldAccess access);

} // namespace nerova
