#pragma once

#include "print/CurveSelection.h"

#include <QString>
#include <array>

namespace nerova {

// What the print dialog hands to the curve window: up to four tests to plot and how, plus
// the first test's rated points or factory curve. Arrays are indexed from 0 for curve 1;
// the fifth legend and colour belong to the rating points or the factory curve.
struct CurveRequest {
    static constexpr int kLegendLength = 40;
    static constexpr int kTitleLength = 80;

    std::array<CurveSelection, 4> selection;
    std::array<bool, 4> corrected{};
    // Curve 1 is always plotted; included[0] is true and never looked at.
    std::array<bool, 4> included{true, false, false, false};
    std::array<QString, 5> legend;
    std::array<quint32, 5> color{};
    bool plotRatingPoints = false;
    bool connectRatingPoints = false;
    bool plotFactoryCurve = false;
    QString title1;
    QString title2;
};

} // namespace nerova
