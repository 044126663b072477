#include "eval/EvaluationRows.h"

#include "data/Table.h"
#include "eval/FlowPointColumns.h"

#include <cmath>

namespace nerova {

namespace {

// Instrument names, as their columns spell them: "<name> Type", "<name> Cal Date".
constexpr const char* kInstrumentNames[kInstrumentCount] = {"Pressure Gauge", "Volt Meter",
                                                            "Amp Probe", "Tachometer"};

constexpr int kPumpNameplateColumns = 10; // the columns before the factory curve
// Per flow point: discharge and suction pressure, flow, speed, net pressure, corrected flow,
// corrected net pressure, 3 amps, 3 volts.
constexpr int kPointColumns = 13;
constexpr int kTestHeadColumns = 2 + 2 * kInstrumentCount;

QStringList makePumpColumns() {
    QStringList c{"Churn Pressure", "100% Flow",   "100% Pressure", "150% Flow",
                  "150% Pressure",  "Driver Type", "Electric Volt", "Electric AMP",
                  "Electric SF",    "Pump RPM"};
    Q_ASSERT(c.size() == kPumpNameplateColumns);
    for (int k = 1; k <= kFactoryCurvePoints; ++k)
        c << QStringLiteral("FC Flow%1").arg(k) << QStringLiteral("FC Pressure%1").arg(k);
    return c;
}

QStringList makeTestColumns() {
    QStringList c{"TestID", "Test Date"};
    for (const char* name : kInstrumentNames)
        c << QStringLiteral("%1 Type").arg(QLatin1String(name))
          << QStringLiteral("%1 Cal Date").arg(QLatin1String(name));
    Q_ASSERT(c.size() == kTestHeadColumns);
    for (int point = 1; point <= kFlowPointCount; ++point) {
        c << flowPointColumn(kDischargePressureStem, point)
          << flowPointColumn(kSuctionPressureStem, point) << flowPointColumn(kFlowStem, point)
          << flowPointColumn(kRpmStem, point) << flowPointColumn(kNetPressureStem, point)
          << flowPointColumn(kCorrectedFlowStem, point)
          << flowPointColumn(kCorrectedNetPressureStem, point);
        for (int phase = 1; phase <= 3; ++phase)
            c << QStringLiteral("Amp%1-%2").arg(point).arg(phase);
        for (int phase = 1; phase <= 3; ++phase)
            c << QStringLiteral("Volt%1-%2").arg(point).arg(phase);
    }
    return c;
}

double number(const QVariant& v) {
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok && std::isfinite(d) ? d : 0.0;
}

QDate date(const QVariant& v) {
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    return QDate::fromString(v.toString(), Qt::ISODate);
}

QVariantList currentValues(const Table& table, const QStringList& columns) {
    QVariantList values;
    values.reserve(columns.size());
    for (const QString& column : columns)
        values << table.value(column);
    return values;
}

} // namespace

const QStringList& pumpRatingColumns() {
    static const QStringList columns = makePumpColumns();
    return columns;
}

const QStringList& testReadingColumns() {
    static const QStringList columns = makeTestColumns();
    return columns;
}

PumpRatings pumpRatingsFrom(const QVariantList& values) {
    PumpRatings r;
    if (values.size() != pumpRatingColumns().size())
        return r;
    r.churnPressure = number(values[0]);
    r.ratedFlow = number(values[1]);
    r.ratedPressure = number(values[2]);
    r.peakFlow = number(values[3]);
    r.peakPressure = number(values[4]);
    r.electricDriver = hasElectricDriver(values[5].toString());
    r.ratedVolts = number(values[6]);
    r.ratedAmps = number(values[7]);
    r.serviceFactor = number(values[8]);
    r.ratedSpeed = number(values[9]);
    for (int k = 0; k < kFactoryCurvePoints; ++k) {
        r.factory[k].flow = number(values[kPumpNameplateColumns + 2 * k]);
        r.factory[k].pressure = number(values[kPumpNameplateColumns + 2 * k + 1]);
    }
    return r;
}

TestReadings testReadingsFrom(const QVariantList& values) {
    TestReadings t;
    for (int i = 0; i < kInstrumentCount; ++i)
        t.instruments[static_cast<std::size_t>(i)].name = QLatin1String(kInstrumentNames[i]);
    if (values.size() != testReadingColumns().size())
        return t;
    t.testId = values[0].toString();
    t.testDate = date(values[1]);
    for (int i = 0; i < kInstrumentCount; ++i) {
        Instrument& instrument = t.instruments[static_cast<std::size_t>(i)];
        instrument.type = values[2 + 2 * i].toString();
        instrument.calibrated = date(values[3 + 2 * i]);
    }
    for (int point = 0; point < kFlowPointCount; ++point) {
        const int base = kTestHeadColumns + point * kPointColumns;
        TestPoint& p = t.points[static_cast<std::size_t>(point)];
        p.dischargePressure = number(values[base]);
        p.suctionPressure = number(values[base + 1]);
        p.flow = number(values[base + 2]);
        p.speed = number(values[base + 3]);
        p.netPressure = number(values[base + 4]);
        p.correctedFlow = number(values[base + 5]);
        p.correctedNetPressure = number(values[base + 6]);
        for (int phase = 0; phase < 3; ++phase) {
            p.amps[static_cast<std::size_t>(phase)] = number(values[base + 7 + phase]);
            p.volts[static_cast<std::size_t>(phase)] = number(values[base + 10 + phase]);
        }
    }
    return t;
}

PumpRatings pumpRatingsFrom(const Table& pump) {
    return pumpRatingsFrom(currentValues(pump, pumpRatingColumns()));
}

TestReadings testReadingsFrom(const Table& test) {
    return testReadingsFrom(currentValues(test, testReadingColumns()));
}

Evaluation evaluateCurrentTest(const Table& pump, const Table& test) {
    return evaluateTest(pumpRatingsFrom(pump), testReadingsFrom(test));
}

} // namespace nerova
