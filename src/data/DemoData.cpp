#include "data/DemoData.h"

#include "data/Table.h"

#include <QDate>
#include <QTime>
#include <initializer_list>
#include <utility>

namespace nerova {

namespace {

using Pair = std::pair<const char*, QVariant>;

void put(Table& t, std::initializer_list<Pair> values) {
    for (const Pair& p : values)
        t.setValue(QString::fromLatin1(p.first), p.second);
}

const char* kCompany = "ABC Paint Company";

void company(Table& t) {
    put(t, {{"CompanyID", kCompany},
            {"Name", kCompany},
            {"Address1", "40 Washington Street"},
            {"City", "Maplewood"},
            {"State", "MD"},
            {"Zip", "20678"},
            {"Contact Name", "Walt Ferrand"},
            {"Contact Title", "Facilities Manager"},
            {"Contact Department", "Facilities Management"},
            {"Contact Phone", "410-555-1234"}});
}

void location(Table& t) {
    put(t, {{"CompanyID", kCompany}, {"LocationID", "*"}, {"SameAsCompany", true}});
}

void pump(Table& t) {
    put(t, {{"CompanyID", kCompany},
            {"LocationID", "*"},
            {"PumpID", "01"},
            {"Pump Mfr", "Reddy Bufaloe"},
            {"Pump MN", "6x6 DF"},
            {"Pump SN", "845-136-DF6"},
            {"Pump Type", "Horizontal"},
            {"Label", "UL"},
            {"Driver Type", "Electric"},
            {"Impeller Diameter", 9.125},
            {"Discharge Diameter", 6.0},
            {"Suction Diameter", 6.0},
            {"Churn Pressure", 60.0},
            {"100% Flow", 750.0},
            {"100% Pressure", 50.0},
            {"150% Flow", 1125.0},
            {"150% Pressure", 32.5},
            {"Pump Elevation", 0.0},
            {"Discharge Elevation", 1.0},
            {"Suction Elevation", 1.0},
            {"Pump RPM", 1750.0},
            {"Max Discharge Pressure", 230.0},
            {"Inner Bearing", "3251"},
            {"Outer Bearing", "3450"},
            {"Rotation", "Clockwise"},
            {"Electric Driver Mfr", "Ajax TEFC"},
            {"Electric Driver MN", "RB-30-2-8577"},
            {"Electric Driver SN", "123456789"},
            {"Electric Driver Hp", 30.0},
            {"Electric Driver RPM", 1750.0},
            {"Electric Driver Label", "UL"},
            {"Electric AMP", 69.8},
            {"Electric Volt", 230.0},
            {"Electric SF", 1.15},
            {"Electric Frame", "286T"},
            {"Diesel Driver Mfr", "Ajax"},
            {"Diesel Driver MN", "RB-30-2-8577"},
            {"Diesel Driver SN", "9876543210"},
            {"Diesel Driver Hp", 30.0},
            {"Diesel Driver RPM", 1750.0},
            {"Diesel Driver Label", "UL"},
            {"Diesel # Cylinders", 8.0},
            {"Diesel Fuel Tank Gals", 300.0},
            {"Diesel Fuel Tank Loc", "Outside north wall of pump house"},
            {"Jockey Mfr", "Burkes"},
            {"Jockey MN", "RB-30-2-8577"},
            {"Jockey SN", "368313"},
            {"Jockey Hp", 0.75},
            {"Jockey RPM", 3450.0},
            {"Jockey Label", "FM"},
            {"Jockey Flow", 5.0},
            {"Jockey Pressure", 120.0},
            {"Jockey Size 1", 1.0},
            {"Jockey Size 2", 0.75},
            {"Cont/Pump Mfr", "Firetrol"},
            {"Cont/Pump MN", "FTA 750-AA30H"},
            {"Cont/Pump SN", "11740"},
            {"Cont/Pump Label", "UL/FM"},
            {"Pump On Pressure", 90.0},
            {"Pump Off Pressure", 100.0},
            {"Pump Run Timer Minutes", 10.0},
            {"Pump Auto Test Frequency", "Weekly"},
            {"Pump Auto Test On", "7:00 am"},
            {"Pump Auto Test Off", "7:30 am"},
            {"Cont/Jockey Mfr", "Firetrol"},
            {"Cont/Jockey MN", "FTA 500-AA34H-X"},
            {"Cont/Jockey SN", "117404"},
            {"Cont/Jockey Label", "UL"},
            {"Jockey On Pressure", 110.0},
            {"Jockey Off Pressure", 135.0},
            {"Brake Horsepower", 30.0},
            {"Maximum BHP", 26.0},
            {"Positive Suction Pressure", 180.0},
            {"Pump PRV Mfr", "Acme"},
            {"Pump PRV Size", 4.0},
            {"Pump PRV Pressure", 175.0},
            {"Pump CRV Mfr", "Acme"},
            {"Pump CRV Size", 0.75},
            {"Pump CRV Pressure", 120.0},
            {"Jockey CRV Mfr", "Acme"},
            {"Jockey CRV Size", 0.75},
            {"Jockey CRV Pressure", 175.0},
            {"Trans Sw Mfr", "Boone Electric"},
            {"Trans Sw MN", "789456-456"},
            {"Trans Sw SN", "123456789"},
            {"Trans Sw Label", "UL"},
            {"Emergency Power Source", "Diesel generator"},
            {"Transfer Time", 1.0},
            {"Trans Sw Loc", "Around corner"},
            {"Gear Mfr", "Amarillo Gear"},
            {"Gear MN", "AMR-1234"},
            {"Gear SN", "12345-678"},
            {"Gear Ratio", "1x1"},
            {"Gear Input RPM", 1750.0},
            {"Gear Output RPM", 1750.0},
            {"Notes", "Jockey sensing line takeoff in wrong location.  Water from packing "
                      "glands not draining properly.  Drain pipe may be obstructed."}});
    const double curve[10][2] = {{60, 0},   {58, 200},    {56, 400},    {53, 600}, {50, 750},
                                 {49, 800}, {39.5, 1000}, {32.5, 1125}, {0, 0},    {0, 0}};
    for (int k = 1; k <= 10; ++k) {
        t.setValue(QStringLiteral("FC Pressure%1").arg(k), curve[k - 1][0]);
        t.setValue(QStringLiteral("FC Flow%1").arg(k), curve[k - 1][1]);
    }
}

void test(Table& t) {
    put(t, {{"CompanyID", kCompany},
            {"LocationID", "*"},
            {"PumpID", "01"},
            {"TestID", "20010731"},
            {"Test Date", QDate(2001, 7, 31)},
            {"Test Start Time", QTime(12, 0)},
            {"Test End Time", QTime(12, 30)},
            {"Test Method", "Devices with hose"},
            {"Discharge Device", "Playpipes"},
            {"Suction Pressure Loc", "Pump suction flange"},
            {"Discharge Pressure Loc", "Pump discharge flange"},
            {"Velocity Pressure", false},
            {"Tester1", "Dale Orvik, PE"},
            {"Tester1 License", "12345"},
            {"Tester1 State", "MD"},
            {"Tester2", "Ross Maddern"},
            {"Tester2 License", "23456"},
            {"Tester2 State", "MD"},
            {"Tester3", "Lena Quist"},
            {"Tester4", "Paul Renner"},
            {"AHJ Name", "Victor Halden"},
            {"AHJ Title", "Fire Marshall"},
            {"AHJ Company", "Torington Fire Department"},
            {"AHJ Phone", "410-555-1212"},
            {"AHJ Fax", "410-555-7456"},
            {"AHJ Email", "vhalden@torington-fd.example"},
            {"Witness1 Name", "Sam Ottley"},
            {"Witness1 Company", "Two Guys Insurance"},
            {"Witness1 Phone", "816-555-1456"},
            {"Witness1 Fax", "816-555-1232"},
            {"Witness1 Email", "sottley@twoguys.example"},
            {"Witness2 Name", "Neil Brackett"},
            {"Witness2 Company", "Two Guys Insurance"},
            {"Witness2 Phone", "816-555-1457"},
            {"Witness2 Fax", "816-555-1232"},
            {"Witness2 Email", "nbrackett@twoguys.example"},
            {"Fuel Tank Start", "Full"},
            {"Fuel Tank End", "7/8"},
            {"Oil Level", "Full"},
            {"Pump Inner Bearing Temp", 120.0},
            {"Pump Outer Bearing Temp", 125.0},
            {"Driver Inner Bearing Temp", 170.0},
            {"Driver Outer Bearing Temp", 180.0},
            {"Peak Flow Time", 90.0},
            {"ReTransfer Time", 60.0},
            {"Pressure Gauge Type", "Nemco ACS-102 Digital"},
            {"Pressure Gauge Cal Date", QDate(2002, 1, 15)},
            {"Volt Meter Type", "Enrico Model 156"},
            {"Volt Meter Cal Date", QDate(2001, 12, 15)},
            {"Amp Probe Type", "Enrico Model 158"},
            {"Amp Probe Cal Date", QDate(2001, 12, 15)},
            {"Tachometer Type", "Accurate Model 23"},
            {"Tachometer Cal Date", QDate(2001, 8, 6)},
            {"Notes", "Test went well - no problems noted."}});

    struct Point {
        const char* time;
        double discharge, suction, flow, rpm;
        double amp[3], volt[3];
        double net, correctedNet, correctedFlow, percent;
    };
    const Point points[8] = {
        {"12:15", 118, 62, 0, 1783, {38, 37, 36}, {205, 204, 205}, 56, 54, 0, 0},
        {"12:20", 111, 60, 378, 1776, {47, 47, 46}, {204, 204, 203}, 51, 50, 372, 50},
        {"12:22", 100, 54, 756, 1767, {58, 58, 57}, {204, 204, 204}, 46, 45, 749, 100},
        {"12:24", 84, 47, 1126, 1764, {64, 65, 63}, {204, 205, 203}, 37, 36, 1117, 149},
        {"", 0, 0, 0, 0, {0, 0, 0}, {0, 0, 0}, 0, 0, 0, 0},
        {"", 0, 0, 0, 0, {0, 0, 0}, {0, 0, 0}, 0, 0, 0, 0},
        {"", 0, 0, 0, 0, {0, 0, 0}, {0, 0, 0}, 0, 0, 0, 0},
        {"", 0, 0, 0, 0, {0, 0, 0}, {0, 0, 0}, 0, 0, 0, 0},
    };
    for (int n = 1; n <= 8; ++n) {
        const Point& p = points[n - 1];
        const QString s = QString::number(n);
        t.setValue(QStringLiteral("Time") + s, QString::fromLatin1(p.time));
        t.setValue(QStringLiteral("Discharge Pressure") + s, p.discharge);
        t.setValue(QStringLiteral("Suction Pressure") + s, p.suction);
        t.setValue(QStringLiteral("Flow") + s, p.flow);
        t.setValue(QStringLiteral("RPM") + s, p.rpm);
        for (int phase = 1; phase <= 3; ++phase) {
            t.setValue(QStringLiteral("Amp%1-%2").arg(n).arg(phase), p.amp[phase - 1]);
            t.setValue(QStringLiteral("Volt%1-%2").arg(n).arg(phase), p.volt[phase - 1]);
        }
        t.setValue(QStringLiteral("Net Pressure") + s, p.net);
        t.setValue(QStringLiteral("Corrected Net Pressure") + s, p.correctedNet);
        t.setValue(QStringLiteral("Corrected Flow") + s, p.correctedFlow);
        t.setValue(QStringLiteral("Percent Rated Flow") + s, p.percent);
    }
}

void flow(Table& t, int row) {
    struct Nozzle {
        double size, coefficient, pitot, flow;
    };
    struct Row {
        const char* point;
        Nozzle nozzles[2];
    };
    const Row rows[3] = {
        {"2", {{1.75, 0.975, 18, 378}, {0, 0, 0, 0}}},
        {"3", {{1.75, 0.975, 18, 378}, {1.75, 0.975, 18, 378}}},
        {"4", {{1.75, 0.975, 40, 563}, {1.75, 0.975, 40, 563}}},
    };
    const Row& r = rows[row];
    put(t, {{"CompanyID", kCompany},
            {"LocationID", "*"},
            {"PumpID", "01"},
            {"TestID", "20010731"},
            {"Flow Point Number", r.point},
            {"Flow Meter", 0.0}});
    for (int k = 1; k <= 8; ++k) {
        const Nozzle n = k <= 2 ? r.nozzles[k - 1] : Nozzle{0, 0, 0, 0};
        t.setValue(QStringLiteral("Nozzle Size%1").arg(k), n.size);
        t.setValue(QStringLiteral("Co-efficient%1").arg(k), n.coefficient);
        t.setValue(QStringLiteral("Pitot Pressure%1").arg(k), n.pitot);
        t.setValue(QStringLiteral("Calculated Flow%1").arg(k), n.flow);
    }
}

} // namespace

int demoRowCount(TableId id) {
    return id == TableId::Flow ? 3 : 1;
}

void fillDemoRow(Table& table, TableId id, int row) {
    switch (id) {
    case TableId::Company:
        company(table);
        break;
    case TableId::Location:
        location(table);
        break;
    case TableId::Pump:
        pump(table);
        break;
    case TableId::Test:
        test(table);
        break;
    case TableId::Flow:
        flow(table, row);
        break;
    }
}

} // namespace nerova
