#include "controls/FieldKind.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace nerova {

void applyFieldAccessLook(QWidget* field, FieldAccess access) {
    // A display-only field can still be clicked into (to copy its text), but Tab passes it by.
    field->setFocusPolicy(access == FieldAccess::DisplayOnly ? Qt::ClickFocus : Qt::StrongFocus);
    QPalette pal = field->palette();
    const QPalette standard = QApplication::palette(field);
    pal.setColor(QPalette::Base, access == FieldAccess::DisplayOnly
                                     ? standard.color(QPalette::Window)
                                     : standard.color(QPalette::Base));
    field->setPalette(pal);
}

} // namespace nerova
