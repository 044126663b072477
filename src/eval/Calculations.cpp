#include "eval/Calculations.h"

#include "eval/DomainValues.h"

#include <cmath>

namespace nerova {

namespace {

constexpr long double kFeetOfWaterPerPsi = 2.31L;
constexpr long double kVelocityHeadDivisor = 891.0L;
constexpr long double kPercent = 100.0L;

long double velocityTerm(long double flow, long double diameter) {
    const long double d2 = diameter * diameter;
    return flow * flow / (kVelocityHeadDivisor * d2 * d2);
}

} // namespace

// Rounded in long double, so a product of long doubles is rounded once, not first to the
// nearest double.
double roundHalfEven(long double x) {
    if (!std::isfinite(x))
        return 0.0;
    const long double lower = std::floor(x);
    const long double fraction = x - lower; // exact: the fraction bits of x
    long double r = lower;
    if (fraction > 0.5L)
        r = lower + 1;
    else if (fraction == 0.5L && std::fmod(lower, 2.0L) != 0)
        r = lower + 1;
    // A negative fraction rounding to zero must not be stored as -0.
    return r == 0 ? 0.0 : static_cast<double>(r);
}

double NetPressure(bool notVerticalTurbine, bool velocityPressure, double flow,
                   double dischargeElevation, double suctionElevation, double pumpElevation,
                   double dischargePressure, double suctionPressure, double dischargeDiameter,
                   double suctionDiameter, double waterLevel) {
    if (!(dischargePressure > 0))
        return 0.0;
    // With velocity pressure both diameters must be known, even for a vertical turbine whose
    // formula does not use the suction side: an incomplete pump record gives no figure.
    if (velocityPressure && (!(dischargeDiameter > 0) || !(suctionDiameter > 0)))
        return 0.0;

    const long double q = flow;
    const long double pd = dischargePressure;
    const long double ps = suctionPressure;
    const long double dischargeLift =
        (static_cast<long double>(dischargeElevation) - pumpElevation) / kFeetOfWaterPerPsi;
    const long double suctionLift =
        (static_cast<long double>(suctionElevation) - pumpElevation) / kFeetOfWaterPerPsi;
    const long double wellLift = static_cast<long double>(waterLevel) / kFeetOfWaterPerPsi;

    // Sums are written in one fixed order so that a result on an exact half rounds the same
    // way on every build.
    long double result = 0;
    if (notVerticalTurbine) {
        if (velocityPressure)
            result = (velocityTerm(q, dischargeDiameter) + dischargeLift + pd) -
                     (velocityTerm(q, suctionDiameter) + suctionLift + ps);
        else
            result = (dischargeLift + pd) - (suctionLift + ps);
    } else {
        if (velocityPressure)
            result = velocityTerm(q, dischargeDiameter) + dischargeLift + pd + wellLift;
        else
            result = dischargeLift + pd + wellLift;
    }
    // The net pressure is held as a double before it is rounded.
    return roundHalfEven(static_cast<double>(result));
}

double PercentRatedFlow(double correctedFlow, double ratedFlow) {
    if (!(ratedFlow > 0))
        return 0.0;
    return roundHalfEven(static_cast<long double>(correctedFlow) /
                         static_cast<long double>(ratedFlow) * kPercent);
}

double CorrectedFlow(double flow, double measuredSpeed, double ratedSpeed) {
    if (!(measuredSpeed > 0))
        return 0.0;
    const long double ratio =
        static_cast<long double>(ratedSpeed) / static_cast<long double>(measuredSpeed);
    return roundHalfEven(ratio * static_cast<long double>(flow));
}

double CorrectedNetPressure(double netPressure, double measuredSpeed, double ratedSpeed) {
    if (!(measuredSpeed > 0))
        return 0.0;
    const long double ratio =
        static_cast<long double>(ratedSpeed) / static_cast<long double>(measuredSpeed);
    return roundHalfEven(ratio * ratio * static_cast<long double>(netPressure));
}

bool isNotVerticalTurbine(QStringView pumpType) {
    return pumpType != QLatin1String(kVerticalTurbinePump);
}

FlowPointResults evaluateFlowPoint(const FlowPointInputs& in) {
    FlowPointResults r;
    r.netPressure =
        NetPressure(in.notVerticalTurbine, in.velocityPressure, in.flow, in.dischargeElevation,
                    in.suctionElevation, in.pumpElevation, in.dischargePressure, in.suctionPressure,
                    in.dischargeDiameter, in.suctionDiameter, in.suctionPressure);
    r.correctedFlow = CorrectedFlow(in.flow, in.measuredSpeed, in.ratedSpeed);
    r.correctedNetPressure = CorrectedNetPressure(r.netPressure, in.measuredSpeed, in.ratedSpeed);
    r.percentRatedFlow = PercentRatedFlow(r.correctedFlow, in.ratedFlow);
    return r;
}

} // namespace nerova
