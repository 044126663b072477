#include "print/DetailReportEquipment.h"

#include "data/Table.h"
#include "eval/DomainValues.h"
#include "print/DetailReportRows.h"
#include "print/TestReportRules.h"
#include "print/TestReportRulesFrame.h"
#include "print/TestReportRulesRow.h"

#include <functional>

namespace nerova {

namespace {

using Keep = ReportSection::Keep;
using R = TestReportRulesRow;
using Rule = std::function<bool(const QStringList&)>;
constexpr double v = DetailReportRows::kPumpValueX;
constexpr double kSecondX = DetailReportRows::kSecondX;
constexpr double kSecondValueX = DetailReportRows::kSecondValueX;
constexpr double kThirdX = DetailReportRows::kThirdX;
constexpr double kThirdValueX = DetailReportRows::kThirdValueX;
const FieldFormat kHundredths{"#,0.00;-#,0.00", false};
const FieldFormat kHundredthsBlankZero{"#,0.00;-#,0.00", true};
const FieldFormat kWholeBlankZero{"#,0", true};

// Manufacturer with label, model number and serial number of one piece of equipment.
void makerRows(ReportSection& s, const Table& pump, const Rule& rule, const QString& prefix) {
    const QString mfr = prefix + " Mfr";
    const QString label = prefix + " Label";
    const QString model = prefix + " MN";
    const QString serial = prefix + " SN";
    s.rows << R(pump)
                  .pair(0, v, "Manufacturer:  ", mfr)
                  .pair(kSecondX, kSecondValueX, "Label:  ", label)
                  .when(rule({mfr}));
    s.rows << R(pump).pair(0, v, "Model Number:  ", model).when(rule({model}));
    s.rows << R(pump).pair(0, v, "Serial Number:  ", serial).when(rule({serial}));
}

Rule anyOf(const Table& pump) {
    return [&pump](const QStringList& columns) { return TestReportRules::any(pump, columns); };
}

} // namespace

QVector<ReportSection> DetailReportEquipment::sections(const Table& pump) {
    return {electricDriver(pump),   dieselDriver(pump), pumpController(pump), jockeyPump(pump),
            jockeyController(pump), reliefValves(pump), transferSwitch(pump), factoryCurve(pump),
            rightAngleGear(pump),   pumpNotes(pump)};
}

ReportSection DetailReportEquipment::electricDriver(const Table& pump) {
    const Rule rule = [&pump](const QStringList& columns) {
        return TestReportRules::electric(pump, columns);
    };
    ReportSection s = TestReportRulesFrame::section(
        "Electric Driver",
        rule({"Electric Driver SN", "Electric Driver MN", "Electric Driver Mfr",
              "Electric Driver Hp", "Electric Driver RPM", "Electric AMP", "Electric Volt",
              "Electric SF", "Electric Frame"}),
        Keep::Whole);
    makerRows(s, pump, rule, "Electric Driver");
    s.rows << R(pump)
                  .pair(0, v, "Horsepower:  ", "Electric Driver Hp", kBlankZero)
                  .pair(kSecondX, kSecondValueX, "RPM:  ", "Electric Driver RPM", kBlankZero)
                  .pair(kThirdX, kThirdValueX, "AMP:  ", "Electric AMP", kBlankZero)
                  .when(rule({"Electric Driver Hp", "Electric Driver RPM", "Electric AMP"}));
    s.rows << R(pump)
                  .pair(0, v, "Volts:  ", "Electric Volt")
                  .pair(kSecondX, kSecondValueX, "Service Factor:  ", "Electric SF", kHundredths)
                  .pair(kThirdX, kThirdValueX, "Frame:  ", "Electric Frame")
                  .when(rule({"Electric Volt", "Electric SF", "Electric Frame"}));
    return s;
}

ReportSection DetailReportEquipment::dieselDriver(const Table& pump) {
    const Rule rule = [&pump](const QStringList& columns) {
        return TestReportRules::diesel(pump, columns);
    };
    const bool gas = driverTypeOf(pump.value("Driver Type").toString()) == DriverType::Gas;
    ReportSection s = TestReportRulesFrame::section(
        gas ? "Gas Driver" : "Diesel Driver",
        rule({"Diesel Driver SN", "Diesel Driver MN", "Diesel Driver Mfr", "Diesel Driver Hp",
              "Diesel Driver RPM", "Diesel # Cylinders", "Diesel Fuel Tank Gals",
              "Diesel Fuel Tank Loc"}),
        Keep::Whole);
    makerRows(s, pump, rule, "Diesel Driver");
    s.rows << R(pump)
                  .pair(0, v, "Horsepower:  ", "Diesel Driver Hp", kBlankZero)
                  .pair(kSecondX, kSecondValueX, "RPM:  ", "Diesel Driver RPM", kBlankZero)
                  .pair(kThirdX, kThirdValueX, "# cylinders:  ", "Diesel # Cylinders", kBlankZero)
                  .when(rule({"Diesel Driver Hp", "Diesel Driver RPM", "Diesel # Cylinders"}));
    s.rows << R(pump)
                  .pair(0, 45.0, "Fuel Tank Location:  ", "Diesel Fuel Tank Loc")
                  .pair(135.0, 160.0, "Gallons:  ", "Diesel Fuel Tank Gals", kWholeBlankZero)
                  .when(rule({"Diesel Fuel Tank Gals", "Diesel Fuel Tank Loc"}));
    return s;
}

ReportSection DetailReportEquipment::pumpController(const Table& pump) {
    const Rule rule = anyOf(pump);
    ReportSection s = TestReportRulesFrame::section(
        "Pump Controller",
        rule({"Cont/Pump SN", "Cont/Pump MN", "Cont/Pump Mfr", "Pump On Pressure",
              "Pump Off Pressure", "Pump Run Timer Minutes", "Pump Auto Test Frequency",
              "Pump Auto Test On", "Pump Auto Test Off"}),
        Keep::Whole);
    makerRows(s, pump, rule, "Cont/Pump");
    s.rows << R(pump)
                  .pair(0, v, "On Pressure:  ", "Pump On Pressure", kBlankZero)
                  .unit("  psi")
                  .pair(kSecondX, kSecondValueX, "Off Pressure:  ", "Pump Off Pressure", kBlankZero)
                  .unit("  psi")
                  .pair(kThirdX, kThirdValueX, "Run Timer:  ", "Pump Run Timer Minutes",
                        kWholeBlankZero)
                  .unit("  mins")
                  .when(rule({"Pump On Pressure", "Pump Off Pressure", "Pump Run Timer Minutes"}));
    s.rows << R(pump)
                  .pair(0, v, "AutoTest Freq:  ", "Pump Auto Test Frequency")
                  .pair(kSecondX, kSecondValueX, "Auto Test On:  ", "Pump Auto Test On")
                  .pair(kThirdX, kThirdValueX, "Auto Test Off:  ", "Pump Auto Test Off")
                  .when(rule(
                      {"Pump Auto Test Frequency", "Pump Auto Test On", "Pump Auto Test Off"}));
    return s;
}

ReportSection DetailReportEquipment::jockeyPump(const Table& pump) {
    const Rule rule = anyOf(pump);
    ReportSection s = TestReportRulesFrame::section(
        "Jockey Pump",
        rule({"Jockey SN", "Jockey MN", "Jockey Mfr", "Jockey Hp", "Jockey RPM", "Jockey Flow",
              "Jockey Pressure", "Jockey Size 1", "Jockey Size 2"}),
        Keep::Whole);
    makerRows(s, pump, rule, "Jockey");
    s.rows << R(pump)
                  .pair(0, v, "Horsepower:  ", "Jockey Hp", kHundredthsBlankZero)
                  .pair(kSecondX, kSecondValueX, "RPM:  ", "Jockey RPM", kBlankZero)
                  .pair(kThirdX, kThirdValueX, "Flow:  ", "Jockey Flow", kBlankZero)
                  .unit("  gpm")
                  .when(rule({"Jockey Hp", "Jockey RPM", "Jockey Flow"}));
    s.rows << R(pump)
                  .pair(0, v, "Pressure:  ", "Jockey Pressure")
                  .unit("  psi")
                  .pair(kSecondX, kSecondValueX, "Suction Diam:  ", "Jockey Size 1", kHundredths)
                  .unit("  in")
                  .pair(kThirdX, kThirdValueX, "Discharge Diam:  ", "Jockey Size 2", kHundredths)
                  .unit("  in")
                  .when(rule({"Jockey Pressure", "Jockey Size 1", "Jockey Size 2"}));
    return s;
}

ReportSection DetailReportEquipment::jockeyController(const Table& pump) {
    const Rule rule = anyOf(pump);
    ReportSection s =
        TestReportRulesFrame::section("Jockey Pump Controller",
                                      rule({"Cont/Jockey SN", "Cont/Jockey MN", "Cont/Jockey Mfr",
                                            "Jockey On Pressure", "Jockey Off Pressure"}),
                                      Keep::Whole);
    makerRows(s, pump, rule, "Cont/Jockey");
    s.rows << R(pump)
                  .pair(0, v, "On Pressure:  ", "Jockey On Pressure", kBlankZero)
                  .unit("  psi")
                  .pair(kSecondX, kSecondValueX, "Off Pressure:  ", "Jockey Off Pressure",
                        kBlankZero)
                  .unit("  psi")
                  .when(rule({"Jockey On Pressure", "Jockey Off Pressure"}));
    return s;
}

ReportSection DetailReportEquipment::reliefValves(const Table& pump) {
    constexpr double mfrX = 39.4;
    constexpr double sizeX = 120.9;
    constexpr double pressureX = 152.4;
    struct Valve {
        const char* caption;
        const char* prefix;
        bool blankZero;
    };
    // The pump's pressure relief valve prints its zeros; the casing valves do not.
    const Valve valves[] = {{"Pump Pressure - ", "Pump PRV", false},
                            {"Pump Casing - ", "Pump CRV", true},
                            {"Jockey Casing - ", "Jockey CRV", true}};
    QStringList all;
    for (const Valve& valve : valves) {
        for (const char* part : {" Mfr", " Size", " Pressure"})
            all << QString::fromLatin1(valve.prefix) + QString::fromLatin1(part);
    }
    ReportSection s;
    s.keep = Keep::Whole;
    s.spaceBefore = TestReportRulesFrame::kSectionGap;
    ReportRow heading =
        TestReportRulesFrame::heading("Relief Valve(s)", TestReportRules::any(pump, all));
    const ReportFont font = ReportFont::arial(12);
    heading.add(ReportItem::caption(mfrX, 0, "Manufacturer", Qt::AlignLeft, font));
    heading.add(ReportItem::caption(sizeX, 0, "Size", Qt::AlignLeft, font));
    heading.add(ReportItem::caption(pressureX, 0, "Pressure", Qt::AlignLeft, font));
    s.heading << heading;
    for (const Valve& valve : valves) {
        const QString p = QString::fromLatin1(valve.prefix);
        s.rows << R(pump)
                      .label(0, mfrX, valve.caption)
                      .field(mfrX, p + " Mfr")
                      .field(sizeX, p + " Size", {"#,0.00;-#,0.00", valve.blankZero})
                      .unit("  in")
                      .field(pressureX, p + " Pressure", {nullptr, valve.blankZero})
                      .unit("  psi")
                      .when(TestReportRules::any(pump, {p + " Mfr", p + " Size", p + " Pressure"}));
    }
    return s;
}

ReportSection DetailReportEquipment::transferSwitch(const Table& pump) {
    const Rule rule = anyOf(pump);
    ReportSection s = TestReportRulesFrame::section(
        "Transfer Switch",
        rule({"Trans Sw SN", "Trans Sw MN", "Trans Sw Mfr", "Emergency Power Source",
              "Transfer Time", "Trans Sw Loc"}),
        Keep::Whole);
    // Serial number first here, and the switch's label never prints.
    s.rows << R(pump).pair(0, v, "Serial Number:  ", "Trans Sw SN").when(rule({"Trans Sw SN"}));
    s.rows << R(pump).pair(0, v, "Model Number:  ", "Trans Sw MN").when(rule({"Trans Sw MN"}));
    s.rows << R(pump).pair(0, v, "Manufacturer:  ", "Trans Sw Mfr").when(rule({"Trans Sw Mfr"}));
    s.rows << R(pump)
                  .pair(0, v, "Emergency power Source:  ", "Emergency Power Source")
                  .when(rule({"Emergency Power Source"}));
    s.rows << R(pump)
                  .pair(0, v, "Transfer Time:  ", "Transfer Time", kBlankZero)
                  .unit("  secs")
                  .when(rule({"Transfer Time"}));
    s.rows << R(pump).pair(0, v, "Location:  ", "Trans Sw Loc").when(rule({"Trans Sw Loc"}));
    return s;
}

ReportSection DetailReportEquipment::factoryCurve(const Table& pump) {
    constexpr double firstX = 26.7;
    constexpr double columnWidth = 13.0;
    // The block stands or falls with the curve's first pressure alone.
    const bool printed = TestReportRules::present(pump, "FC Pressure1");
    ReportSection s = TestReportRulesFrame::section("Factory Curve", printed, Keep::Whole);
    R flow(pump);
    R pressure(pump);
    flow.label(0, firstX, "Flow:  ");
    pressure.label(0, firstX, "Pressure:  ");
    for (int k = 1; k <= 10; ++k) {
        const double x = firstX + (k - 1) * columnWidth;
        flow.field(x, QStringLiteral("FC Flow%1").arg(k), {"#,0;-#,0", false}, columnWidth,
                   Qt::AlignRight);
        pressure.field(x, QStringLiteral("FC Pressure%1").arg(k), {"#,0.0;-#,0.0", false},
                       columnWidth, Qt::AlignRight);
    }
    s.rows << flow.unit("  gpm").when(printed) << pressure.unit("  psi").when(printed);
    return s;
}

ReportSection DetailReportEquipment::rightAngleGear(const Table& pump) {
    const Rule rule = anyOf(pump);
    ReportSection s = TestReportRulesFrame::section(
        "Right Angle Gear",
        rule({"Gear Mfr", "Gear MN", "Gear SN", "Gear Ratio", "Gear Input RPM", "Gear Output RPM"}),
        Keep::Whole);
    s.rows << R(pump).pair(0, v, "Manufacturer:  ", "Gear Mfr").when(rule({"Gear Mfr"}));
    s.rows << R(pump).pair(0, v, "Model Number:  ", "Gear MN").when(rule({"Gear MN"}));
    s.rows << R(pump).pair(0, v, "Serial Number:  ", "Gear SN").when(rule({"Gear SN"}));
    s.rows << R(pump)
                  .pair(0, v, "Ratio:  ", "Gear Ratio")
                  .pair(kSecondX, kSecondValueX, "Input RPM:  ", "Gear Input RPM")
                  .pair(kThirdX, kThirdValueX, "Output RPM:  ", "Gear Output RPM")
                  .when(rule({"Gear Ratio", "Gear Input RPM", "Gear Output RPM"}));
    return s;
}

ReportSection DetailReportEquipment::pumpNotes(const Table& pump) {
    const bool printed = TestReportRules::present(pump, "Notes");
    ReportSection s = TestReportRulesFrame::section("Pump Notes", printed, Keep::Whole);
    s.rows << R(pump).memo(6.3, 159.8, "Notes").when(printed);
    return s;
}

} // namespace nerova
