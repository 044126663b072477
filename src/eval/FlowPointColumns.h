#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace nerova {

// Names of the per-point columns of the test table. Each stem holds %1 where the point
// number goes ("Amp%1-2" → "Amp3-2" for point 3).
inline constexpr int kFlowPointCount = 8;

inline constexpr const char* kDischargePressureStem = "Discharge Pressure%1";
inline constexpr const char* kSuctionPressureStem = "Suction Pressure%1";
inline constexpr const char* kFlowStem = "Flow%1";
inline constexpr const char* kRpmStem = "RPM%1";
inline constexpr const char* kNetPressureStem = "Net Pressure%1";
inline constexpr const char* kCorrectedFlowStem = "Corrected Flow%1";
inline constexpr const char* kCorrectedNetPressureStem = "Corrected Net Pressure%1";
inline constexpr const char* kPercentRatedFlowStem = "Percent Rated Flow%1";

// The numeric columns of a point: readings, currents, voltages and derived values.
inline constexpr std::array<const char*, 14> kFlowPointNumberStems = {kDischargePressureStem,
                                                                      kSuctionPressureStem,
                                                                      kFlowStem,
                                                                      kRpmStem,
                                                                      "Amp%1-1",
                                                                      "Amp%1-2",
                                                                      "Amp%1-3",
                                                                      "Volt%1-1",
                                                                      "Volt%1-2",
                                                                      "Volt%1-3",
                                                                      kNetPressureStem,
                                                                      kCorrectedNetPressureStem,
                                                                      kCorrectedFlowStem,
                                                                      kPercentRatedFlowStem};

// The column of point (1 to 8) named by stem.
QString flowPointColumn(const char* stem, int point);

// Every numeric per-point column of points 1 to 8.
QStringList flowPointNumberColumns();

} // namespace nerova
