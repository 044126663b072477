#pragma once

#include <array>
#include <cstddef>

namespace nerova {

// The limits a flow test is judged by. They follow a published acceptance practice that is
// revised from time to time, so they are data: a new edition changes a value here, and the
// evaluation, the Test page and the reports all follow (limitLines() words them for the
// reader). Percentages are percent, not fractions.
enum class Limit {
    BaselineMinimumPercent,     // corrected net pressure against the baseline at the same flow
    PeakFlowPercent,            // the overload point, as a share of rated flow
    PeakFlowLowPercent,         // below this highest flow the overload point was not reached
    BaselineExtensionPercent,   // the baseline's last segment is extended up to this flow
    PeakPressureMinimumPercent, // pressure at the overload point, of rated pressure
    ChurnMaximumPercent,        // pressure at no flow, of rated pressure
    RatedFlowPercent,
    RatedFlowLowPercent, // below this highest flow the rated point was not reached
    VoltsBelowPercent,   // a driver's voltage may sag this far below its nameplate
    VoltsAbovePercent,   // and rise this far above it
    DefaultServiceFactor,
    CalibrationMonths, // an instrument's calibration is good for this long before a test
    Count
};

struct Threshold {
    Limit limit;
    double value;
};

inline constexpr std::array<Threshold, static_cast<std::size_t>(Limit::Count)> kThresholds = {{
    {Limit::BaselineMinimumPercent, 95.0},
    {Limit::PeakFlowPercent, 150.0},
    {Limit::PeakFlowLowPercent, 140.0},
    {Limit::BaselineExtensionPercent, 160.0},
    {Limit::PeakPressureMinimumPercent, 65.0},
    {Limit::ChurnMaximumPercent, 140.0},
    {Limit::RatedFlowPercent, 100.0},
    {Limit::RatedFlowLowPercent, 95.0},
    {Limit::VoltsBelowPercent, 5.0},
    {Limit::VoltsAbovePercent, 10.0},
    {Limit::DefaultServiceFactor, 1.0},
    {Limit::CalibrationMonths, 12.0},
}};

// The table lists every limit once, in the order of the enumeration.
constexpr bool thresholdsInOrder() {
    for (std::size_t i = 0; i < kThresholds.size(); ++i)
        if (static_cast<std::size_t>(kThresholds[i].limit) != i)
            return false;
    return true;
}
static_assert(thresholdsInOrder());

constexpr double threshold(Limit limit) {
    return kThresholds[static_cast<std::size_t>(limit)].value;
}

} // namespace nerova
