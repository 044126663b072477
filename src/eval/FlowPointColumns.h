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

// Columns of the flow table, one row a point, that the flow-point dialogs read and write.
// Each stem holds %1 where the nozzle number (1 to 8) goes.
inline constexpr int kNozzleCount = 8;

inline constexpr const char* kFlowMeterColumn = "Flow Meter";
inline constexpr const char* kFlowPointNumberColumn = "Flow Point Number";
inline constexpr const char* kNozzleSizeStem = "Nozzle Size%1";
inline constexpr const char* kCoefficientStem = "Co-efficient%1";
inline constexpr const char* kPitotPressureStem = "Pitot Pressure%1";
inline constexpr const char* kCalculatedFlowStem = "Calculated Flow%1";

// The test column that chooses the flow-point dialog, and its values that are not nozzles.
// The hose monster values end with the inch mark.
inline constexpr const char* kDischargeDeviceColumn = "Discharge Device";
inline constexpr const char* kFlowMeterDevice = "Flow Meter";
inline constexpr const char* kHoseMonster2_5Device = "Hose Monster 2-1/2\"";
inline constexpr const char* kHoseMonster1_75Device = "Hose Monster 1-3/4\"";
inline constexpr const char* kHoseMonster1_125Device = "Hose Monster 1-1/8\"";

// The column named by stem for number n: point n (1 to 8) of the test table, or nozzle n
// (1 to 8) of a flow row.
QString flowPointColumn(const char* stem, int n);

// Every numeric per-point column of points 1 to 8.
QStringList flowPointNumberColumns();

} // namespace nerova
