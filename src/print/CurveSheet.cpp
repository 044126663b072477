#include "print/CurveSheet.h"

#include "data/Table.h"
#include "eval/EvaluationRows.h"
#include "eval/EvaluationText.h"
#include "eval/Thresholds.h"
#include "print/CurvePoints.h"
#include "print/GraphProperties.h"

#include <QStringList>

namespace nerova {

namespace {

constexpr int kTestSeries = 1;
constexpr int kBaselineSeries = 5;
constexpr int kLimitSeries = 6;
constexpr int kFirstBaselineRow = 33;
constexpr int kFirstLimitRow = 50;
constexpr quint32 kTestColor = 0x0000C0;     // red, in the graph's BGR order
constexpr quint32 kBaselineColor = 0x800000; // dark blue
constexpr quint32 kLimitColor = 0x808080;

QString pressureAt(double flow, double pressure) {
    return QStringLiteral("%1 gpm at %2 psi").arg(figureText(flow), figureText(pressure));
}

void series(GraphProperties& g, int column, int type, int pattern, int marker, quint32 color,
            const QString& legend, int firstRow) {
    g.setColumn(column);
    g.setColumnAxis(1);
    g.setColumnType(type);
    g.setColumnPattern(pattern);
    g.setColumnStyle(marker);
    g.setColumnLabels(0);
    g.setColumnColor(color);
    g.setColumnLegend(legend);
    g.setColumnRowStart(firstRow);
    g.setColumnRowEnd(firstRow - 1);
}

} // namespace

QString CurveSheet::ratingLine(const Table& pump) {
    const double flow = pump.asFloat(QStringLiteral("100% Flow"));
    const double pressure = pump.asFloat(QStringLiteral("100% Pressure"));
    const double speed = pump.asFloat(QStringLiteral("Pump RPM"));
    const double churn = pump.asFloat(QStringLiteral("Churn Pressure"));
    const double peakFlow = pump.asFloat(QStringLiteral("150% Flow"));
    const double peakPressure = pump.asFloat(QStringLiteral("150% Pressure"));
    QStringList parts;
    QString rated;
    if (flow > 0 || pressure > 0)
        rated = pressureAt(flow, pressure);
    if (speed > 0)
        rated += (rated.isEmpty() ? QString() : QStringLiteral(", ")) + figureText(speed) +
                 QStringLiteral(" rpm");
    if (!rated.isEmpty())
        parts << rated;
    if (churn > 0)
        parts << QStringLiteral("churn %1 psi").arg(figureText(churn));
    if (peakFlow > 0 || peakPressure > 0)
        parts << QStringLiteral("overload ") + pressureAt(peakFlow, peakPressure);
    return parts.isEmpty() ? QString()
                           : QStringLiteral("Rating: ") + parts.join(QStringLiteral("; "));
}

QString CurveSheet::pressureAxisTitle(Values values, double ratedSpeed) {
    const QString corrected =
        ratedSpeed > 0
            ? QStringLiteral("corrected to rated speed (%1 rpm)").arg(figureText(ratedSpeed))
            : QStringLiteral("corrected to rated speed");
    switch (values) {
    case Values::Corrected:
        return QStringLiteral("Net pressure, psi, ") + corrected;
    case Values::Measured:
        return QStringLiteral("Net pressure, psi, as measured");
    case Values::Both:
        break;
    }
    return QStringLiteral("Net pressure, psi, as measured or ") + corrected +
           QStringLiteral(" (see legend)");
}

QString CurveSheet::mixedLegend(const QString& legend, int curve, bool corrected) {
    const QString name = legend.isEmpty() ? QStringLiteral("Curve %1").arg(curve) : legend;
    return name + (corrected ? QStringLiteral(" (corrected)") : QStringLiteral(" (as measured)"));
}

void CurveSheet::testSheet(GraphProperties& g, const Table& pump, const Table& test,
                           const QString& title, bool exponentialFlow) {
    g.setDataInit(kLimitSeries + 1);
    g.setGraphType(5);
    g.setGraphAreaRight(98.0);
    g.setGraphTitle(title);
    g.setGraphSubtitle(ratingLine(pump));
    g.setLegendColumns(2);
    g.setColumn(0);
    g.setColumnAxis(0);

    series(g, kTestSeries, GraphProperties::kStraight, 0, 12, kTestColor,
           QStringLiteral("Test ") + test.asString(QStringLiteral("TestID")), 1);
    CurvePoints::Pairs pairs;
    for (int i = 1; i <= 8; ++i) {
        auto& pair = pairs[std::size_t(i - 1)];
        pair.flow = float(test.asFloat(QStringLiteral("Corrected Flow%1").arg(i)));
        pair.pressure = float(test.asFloat(QStringLiteral("Corrected Net Pressure%1").arg(i)));
    }
    const int n = CurvePoints::arrange(pairs);
    g.setColumnRowEnd(n);
    for (int i = 1; i <= n; ++i) {
        g.setDataValue(i, 0, double(pairs[std::size_t(i - 1)].flow));
        g.setDataValue(i, 1, double(pairs[std::size_t(i - 1)].pressure));
    }

    const PumpRatings r = pumpRatingsFrom(pump);
    const Baseline baseline = pumpBaseline(r.factory, r.churnPressure, r.ratedFlow, r.ratedPressure,
                                           r.peakFlow, r.peakPressure);
    const double share = threshold(Limit::BaselineMinimumPercent);
    const bool shown = baseline.isValid();
    series(g, kBaselineSeries, shown ? GraphProperties::kStraight : GraphProperties::kNotDrawn, 0,
           shown ? 6 : 0, kBaselineColor,
           !shown ? QString()
           : baseline.source() == Baseline::Source::FactoryCurve
               ? QStringLiteral("Baseline (factory curve)")
               : QStringLiteral("Baseline (rated points)"),
           kFirstBaselineRow);
    int row = kFirstBaselineRow;
    for (const CurvePoint& p : baseline.points()) {
        g.setDataValue(row, 0, p.flow);
        g.setDataValue(row, 1, p.pressure);
        g.setColumnRowEnd(row++);
    }
    series(g, kLimitSeries, shown ? GraphProperties::kStraight : GraphProperties::kNotDrawn, 1, 0,
           kLimitColor,
           shown ? QStringLiteral("%1 % of baseline").arg(figureText(share)) : QString(),
           kFirstLimitRow);
    row = kFirstLimitRow;
    for (const CurvePoint& p : baseline.points()) {
        g.setDataValue(row, 0, p.flow);
        g.setDataValue(row, 1, p.pressure * share / 100.0);
        g.setColumnRowEnd(row++);
    }

    g.setAxis(1);
    g.setAxisTitle(pressureAxisTitle(Values::Corrected, r.ratedSpeed));
    g.setAxisGrid(true);
    g.setAxisGridPattern(1);
    g.setAxisScaleManual(true);
    g.setAxisScaleMin(0.0);
    g.setAxis(0);
    g.setAxisTitle(QStringLiteral("Flow (gpm)"));
    g.setAxisGrid(true);
    g.setAxisGridPattern(1);
    g.setAxisScaleManual(false);
    g.setAxisFunction(exponentialFlow ? GraphProperties::kPower : GraphProperties::kLinear);
    g.setAxisFunctionVar(1.85);
}

} // namespace nerova
