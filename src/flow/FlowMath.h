#pragma once

#include "eval/Calculations.h"
#include "eval/FlowPointColumns.h"

#include <QString>
#include <array>

namespace nerova {

// Discharge constants of the two calculators: open nozzles and hose monsters were rated
// with slightly different figures, and the printed tables our users compare against use
// them as they stand.
inline constexpr long double kNozzleConstant = 29.83L;
inline constexpr long double kHoseMonsterConstant = 29.82L;

// Flow in gpm through one outlet: size² × constant × coefficient × √pitot, carried in
// extended precision. A pitot reading at or below 0 gives no flow.
double dischargeFlow(double size, double coefficient, double pitot, long double constant);

// A point's total: the sum of the individually rounded device flows, so the total always
// equals the sum of the figures the user sees.
double totalOfRoundedFlows(const std::array<double, kNozzleCount>& flows);

// The coefficient of a hose monster of the given size: 0.905 for 2.5", 0.975 for 1.75",
// 0.99 for 1.125", and 0 for any other size (which then flows nothing).
double hoseMonsterCoefficient(double size);
bool isHoseMonsterSize(double size); // one of the three sizes, or 0 for a row not in use

// The size of the hose monster a discharge-device value names; 0 for any other value.
double hoseMonsterDeviceSize(const QString& device);
bool isHoseMonsterDevice(const QString& device);

// A flow as the dialogs show it: whole gpm with thousands separators ("1,250"), in full
// however large.
QString flowDisplayText(double flow);

// A single-precision preference (the default nozzle size and coefficient) as the decimal
// number the user typed, not its nearest binary neighbour (0.975f is 0.97500002384…).
double preferenceValue(float value);

} // namespace nerova
