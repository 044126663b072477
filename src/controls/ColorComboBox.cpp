#include "controls/ColorComboBox.h"

#include "prefs/NamedColors.h"

#include <QColor>
#include <QPixmap>

namespace nerova {

ColorComboBox::ColorComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    for (const auto& entry : NamedColors::all()) {
        QPixmap swatch(12, 12);
        swatch.fill(QColor(int(entry.value & 0xFF), int((entry.value >> 8) & 0xFF),
                           int((entry.value >> 16) & 0xFF)));
        addItem(QIcon(swatch), entry.name);
    }
    setCurrentIndex(0);
}

quint32 ColorComboBox::colorValue() const {
    const int index = currentIndex();
    if (index < 0 || index >= NamedColors::all().size())
        return 0;
    return NamedColors::all().at(index).value;
}

void ColorComboBox::setColorValue(quint32 value) {
    const int index = NamedColors::indexOf(value);
    if (index >= 0)
        setCurrentIndex(index);
}

} // namespace nerova
