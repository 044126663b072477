#include "eval/FlowPointRows.h"

#include "data/Table.h"
#include "eval/FlowPointColumns.h"

namespace nerova {

FlowPointInputs flowPointInputsFrom(const Table& pump, const Table& test, int n) {
    FlowPointInputs in;
    in.notVerticalTurbine = isNotVerticalTurbine(pump.asString(QStringLiteral("Pump Type")));
    in.velocityPressure = test.asBool(QStringLiteral("Velocity Pressure"));
    in.flow = test.asFloat(flowPointColumn(kFlowStem, n));
    in.dischargeElevation = pump.asFloat(QStringLiteral("Discharge Elevation"));
    in.suctionElevation = pump.asFloat(QStringLiteral("Suction Elevation"));
    in.pumpElevation = pump.asFloat(QStringLiteral("Pump Elevation"));
    in.dischargePressure = test.asFloat(flowPointColumn(kDischargePressureStem, n));
    in.suctionPressure = test.asFloat(flowPointColumn(kSuctionPressureStem, n));
    in.dischargeDiameter = pump.asFloat(QStringLiteral("Discharge Diameter"));
    in.suctionDiameter = pump.asFloat(QStringLiteral("Suction Diameter"));
    in.measuredSpeed = test.asFloat(flowPointColumn(kRpmStem, n));
    in.ratedSpeed = pump.asFloat(QStringLiteral("Pump RPM"));
    in.ratedFlow = pump.asFloat(QStringLiteral("100% Flow"));
    return in;
}

} // namespace nerova
