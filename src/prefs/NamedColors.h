#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace nerova {

// The named colours offered wherever the user picks a curve colour, in the order the lists
// show them. Values are stored as red + 256 * green + 65536 * blue. Some names share one
// colour ("Gray" and "Dark Gray", "Silver" and "Light Gray"); a stored colour shows as the
// first entry that stands for it.
class NamedColors {
public:
    struct Entry {
        QString name;
        quint32 value;
    };

    static const QList<Entry>& all();
    // Index of the first entry standing for value, or -1 when none does.
    static int indexOf(quint32 value);
    static constexpr quint32 rgb(int red, int green, int blue) {
        return quint32(red) | (quint32(green) << 8) | (quint32(blue) << 16);
    }
};

} // namespace nerova
