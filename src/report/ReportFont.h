#pragma once

#include <QFont>

namespace nerova {

// A report font as the layouts name it: a family, a size in points, bold and underline.
// Arial and Times New Roman are what the printed forms were designed with; on this
// platform they resolve to the metric-compatible Liberation Sans and Liberation Serif, so
// captions and values keep the widths the layouts were measured for.
struct ReportFont {
    enum class Family { Arial, TimesNewRoman };

    Family family = Family::Arial;
    double pointSize = 12.0;
    bool bold = false;
    bool underline = false;

    static ReportFont arial(double pointSize, bool bold = false, bool underline = false) {
        return {Family::Arial, pointSize, bold, underline};
    }
    static ReportFont times(double pointSize, bool bold = false, bool underline = false) {
        return {Family::TimesNewRoman, pointSize, bold, underline};
    }

    // The QFont used both to measure and to paint, so that layout and output agree.
    QFont toQFont() const;

    bool operator==(const ReportFont&) const = default;
};

} // namespace nerova
