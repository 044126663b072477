#pragma once

#include "report/ReportFont.h"

#include <QString>
#include <QStringList>

namespace nerova {

// Text measurement in millimetres on a fixed 1200 dpi device, so that a layout comes out
// the same on every machine and without a screen.
class ReportMetrics {
public:
    static constexpr double dotsPerInch = 1200.0;

    static double textWidth(const QString& text, const ReportFont& font);
    // Height of one line of text (ascent plus descent).
    static double lineHeight(const ReportFont& font);
    // Distance from one line of a memo to the next.
    static double lineSpacing(const ReportFont& font);
    // The lines of text wrapped at word boundaries within width; a word longer than the
    // width is broken. Line breaks in the text ("\n", "\r\n" or "\r") are kept; trailing
    // empty lines are dropped, as are blanks at the end of a line.
    static QStringList wrap(const QString& text, const ReportFont& font, double width);
};

} // namespace nerova
