#pragma once

#include <array>
#include <cstddef>

namespace nerova {

// The limits a flow test is judged by. They follow a published acceptance practice that is
// revised from time to time, so they are data: a new edition changes a value here, and the
// evaluation, the Test page and the reports all follow. Percentages are percent, not
// fractions.
enum class Limit {
    BaselineMinimumPercent, // corrected net pressure against the baseline at the same flow
    PeakFlowPercent,        // the overload point, as a share of rated flow
    PeakFlowLowPercent,
    PeakFlowHighPercent,
    PeakPressureMinimumPercent, // pressure at the overload point, of rated pressure
    ChurnMaximumPercent,        // pressure at no flow, of rated pressure
    RatedFlowPercent,
    RatedFlowLowPercent,
    RatedFlowHighPercent,
    VoltsBelowPercent, // a driver's voltage may sag this far below its nameplate
    VoltsAbovePercent, // and rise this far above it
    DefaultServiceFactor,
    CalibrationMonths, // an instrument's calibration is good for this long before a test
    Count
};

struct Threshold {
    Limit limit;
    const char* name;
    double value;
    const char* meaning;
};

inline constexpr std::array<Threshold, static_cast<std::size_t>(Limit::Count)> kThresholds = {{
    {Limit::BaselineMinimumPercent, "baselineMinimumPercent", 95.0,
     "Corrected net pressure at a flow point, as a share of the baseline curve at its "
     "corrected flow, at least"},
    {Limit::PeakFlowPercent, "peakFlowPercent", 150.0, "The overload point, of rated flow"},
    {Limit::PeakFlowLowPercent, "peakFlowLowPercent", 140.0,
     "A point counts as the overload point from this share of rated flow"},
    {Limit::PeakFlowHighPercent, "peakFlowHighPercent", 160.0,
     "A point counts as the overload point up to this share of rated flow"},
    {Limit::PeakPressureMinimumPercent, "peakPressureMinimumPercent", 65.0,
     "Corrected net pressure at the overload point, of rated pressure, at least"},
    {Limit::ChurnMaximumPercent, "churnMaximumPercent", 140.0,
     "Net pressure at no flow, of rated pressure, at most"},
    {Limit::RatedFlowPercent, "ratedFlowPercent", 100.0, "The rated point, of rated flow"},
    {Limit::RatedFlowLowPercent, "ratedFlowLowPercent", 95.0,
     "A point counts as the rated point from this share of rated flow"},
    {Limit::RatedFlowHighPercent, "ratedFlowHighPercent", 105.0,
     "A point counts as the rated point up to this share of rated flow"},
    {Limit::VoltsBelowPercent, "voltsBelowPercent", 5.0,
     "A voltage reading may lie this far below the driver's rated voltage"},
    {Limit::VoltsAbovePercent, "voltsAbovePercent", 10.0,
     "A voltage reading may lie this far above the driver's rated voltage"},
    {Limit::DefaultServiceFactor, "defaultServiceFactor", 1.0,
     "Service factor of a driver whose nameplate gives none"},
    {Limit::CalibrationMonths, "calibrationMonths", 12.0,
     "An instrument's calibration date may lie this many months before the test, at most"},
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
