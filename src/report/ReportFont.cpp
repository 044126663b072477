#include "report/ReportFont.h"

#include <QStringList>

namespace nerova {

QFont ReportFont::toQFont() const {
    QFont font;
    if (family == Family::TimesNewRoman)
        font.setFamilies({QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman")});
    else
        font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    // A size of 0 or below is a slip in a layout; Qt would warn and fall back on its own.
    font.setPointSizeF(pointSize > 0 ? pointSize : 1.0);
    font.setBold(bold);
    font.setUnderline(underline);
    // Hinting snaps glyphs to the device's pixel grid, which would make widths measured
    // on the layout device differ from those on a printer or a PDF.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

} // namespace nerova
