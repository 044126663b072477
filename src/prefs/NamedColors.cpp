#include "prefs/NamedColors.h"

namespace nerova {

const QList<NamedColors::Entry>& NamedColors::all() {
    static const QList<Entry> entries = {
        {QStringLiteral("Black"), rgb(0, 0, 0)},
        {QStringLiteral("Maroon"), rgb(128, 0, 0)},
        {QStringLiteral("Green"), rgb(0, 128, 0)},
        {QStringLiteral("Olive"), rgb(128, 128, 0)},
        {QStringLiteral("Navy"), rgb(0, 0, 128)},
        {QStringLiteral("Purple"), rgb(128, 0, 128)},
        {QStringLiteral("Teal"), rgb(0, 128, 128)},
        {QStringLiteral("Gray"), rgb(128, 128, 128)},
        {QStringLiteral("Silver"), rgb(192, 192, 192)},
        {QStringLiteral("Red"), rgb(255, 0, 0)},
        {QStringLiteral("Lime"), rgb(0, 255, 0)},
        {QStringLiteral("Yellow"), rgb(255, 255, 0)},
        {QStringLiteral("Blue"), rgb(0, 0, 255)},
        {QStringLiteral("Fuchsia"), rgb(255, 0, 255)},
        {QStringLiteral("Aqua"), rgb(0, 255, 255)},
        {QStringLiteral("Light Gray"), rgb(192, 192, 192)},
        {QStringLiteral("Medium Gray"), rgb(160, 160, 164)},
        {QStringLiteral("Dark Gray"), rgb(128, 128, 128)},
        {QStringLiteral("White"), rgb(255, 255, 255)},
        {QStringLiteral("Money Green"), rgb(192, 220, 192)},
        {QStringLiteral("Sky Blue"), rgb(166, 202, 240)},
        {QStringLiteral("Cream"), rgb(255, 251, 240)},
    };
    return entries;
}

int NamedColors::indexOf(quint32 value) {
    const auto& entries = all();
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).value == value)
            return i;
    }
    return -1;
}

} // namespace nerova
