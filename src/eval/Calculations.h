#pragma once

#include <QStringView>

namespace nerova {

// The hydraulic formulas by which a pump test is evaluated at each flow point. Pressures in
// psi, elevations and water levels in feet, diameters in inches, flows in gpm, speeds in rpm.
//
// Every result is a whole number (an exact half goes to the even neighbour) returned as a
// double; a result a guard forces to 0 is 0.

// Nearest whole number, an exact half to the even neighbour, independent of the
// floating-point rounding mode. A value that is not finite (only absurd readings, such as a
// diameter so small its fourth power vanishes, produce one) gives 0 rather than writing
// infinity or NaN into a record, and a negative fraction rounding to zero gives 0, not -0.
double roundHalfEven(long double x);

// Net pressure the pump develops. A vertical turbine draws from a well: its suction reading
// is the water level in feet below the pump, which adds to the head instead of being
// subtracted, and suctionPressure is not used.
double NetPressure(bool notVerticalTurbine, bool velocityPressure, double flow,
                   double dischargeElevation, double suctionElevation, double pumpElevation,
                   double dischargePressure, double suctionPressure, double dischargeDiameter,
                   double suctionDiameter, double waterLevel);

// Corrected flow as a percentage of the rated flow.
double PercentRatedFlow(double correctedFlow, double ratedFlow);

// Flow corrected from the measured speed to the rated speed.
double CorrectedFlow(double flow, double measuredSpeed, double ratedSpeed);

// Net pressure corrected from the measured speed to the rated speed.
double CorrectedNetPressure(double netPressure, double measuredSpeed, double ratedSpeed);

// True for every pump type but "Vertical Turbine".
bool isNotVerticalTurbine(QStringView pumpType);

// What one flow point is evaluated from: the point's readings and the pump's ratings.
struct FlowPointInputs {
    bool notVerticalTurbine = true;
    bool velocityPressure = false;
    double flow = 0;
    double dischargeElevation = 0;
    double suctionElevation = 0;
    double pumpElevation = 0;
    double dischargePressure = 0;
    double suctionPressure = 0; // the water level, for a vertical turbine
    double dischargeDiameter = 0;
    double suctionDiameter = 0;
    double measuredSpeed = 0;
    double ratedSpeed = 0;
    double ratedFlow = 0;
};

// The four derived values of a flow point, in the order they are computed and stored.
struct FlowPointResults {
    double netPressure = 0;
    double correctedFlow = 0;
    double correctedNetPressure = 0;
    double percentRatedFlow = 0;
};

// Evaluates one flow point. The speed correction of the net pressure and the percentage
// work from the rounded net pressure and corrected flow, the values the user sees in the
// record, so a printed test can be checked by hand from its own figures.
FlowPointResults evaluateFlowPoint(const FlowPointInputs& in);

} // namespace nerova
