#pragma once

#include <QString>

namespace nerova {

// Columns of the flow table that the flow-point dialogs read and write. Each stem holds %1
// where the nozzle number (1 to 8) goes.
inline constexpr int kNozzleCount = 8;

inline constexpr const char* kFlowMeterColumn = "Flow Meter";
inline constexpr const char* kFlowPointNumberColumn = "Flow Point Number";
inline constexpr const char* kNozzleSizeStem = "Nozzle Size%1";
inline constexpr const char* kCoefficientStem = "Co-efficient%1";
inline constexpr const char* kPitotPressureStem = "Pitot Pressure%1";
inline constexpr const char* kCalculatedFlowStem = "Calculated Flow%1";

// The test column that chooses the dialog, and its values that are not nozzles. The hose
// monster values end with the inch mark.
inline constexpr const char* kDischargeDeviceColumn = "Discharge Device";
inline constexpr const char* kFlowMeterDevice = "Flow Meter";
inline constexpr const char* kHoseMonster2_5Device = "Hose Monster 2-1/2\"";
inline constexpr const char* kHoseMonster1_75Device = "Hose Monster 1-3/4\"";
inline constexpr const char* kHoseMonster1_125Device = "Hose Monster 1-1/8\"";

// The column of nozzle k (1 to 8) named by stem.
inline QString nozzleColumn(const char* stem, int k) {
    return QString::fromLatin1(stem).arg(k);
}

} // namespace nerova
