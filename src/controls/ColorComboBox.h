#pragma once

#include <QComboBox>

namespace nerova {

// A drop-down list of the named colours, each with a swatch. Starts on the first entry,
// "Black". Showing a colour that no entry stands for leaves the selection where it was.
class ColorComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit ColorComboBox(QWidget* parent = nullptr);

    // The selected entry's colour, 0 when nothing is selected.
    quint32 colorValue() const;
    void setColorValue(quint32 value);
};

} // namespace nerova
