#include "print/DetailReportTest.h"

#include "data/Table.h"
#include "prefs/PreferencesRecord.h"
#include "print/FlowPointTable.h"
#include "print/TestReportFeed.h"
#include "print/TestReportRules.h"
#include "print/TestReportRulesFrame.h"
#include "print/TestReportRulesRow.h"

namespace nerova {

namespace {

using Keep = ReportSection::Keep;
using R = TestReportRulesRow;
constexpr double kTestValueX = 24.1;
constexpr double kPersonValueX = 28.0;
constexpr double kSecondX = 64.0;
constexpr double kSecondValueX = 100.0;
constexpr double kThirdX = 117.0;
constexpr double kThirdValueX = 153.0;

constexpr double kBoxWidth = 61.0;
constexpr double kBoxRowHeight = 5.0 * FlowPointTable::kPointSize / 12.0;
const double kBoxColumns[] = {6.3, 67.2, 128.1};

} // namespace

QVector<ReportSection> DetailReportTest::sections(TestReportFeed& feed,
                                                  const PreferencesRecord& preferences) {
    const Table& t = feed.test();
    const bool withTime = preferences.useTestTime();
    return {test(t, preferences.printDetailTestID()),
            FlowPointTable::section(t, false, !withTime, Keep::Whole),
            FlowPointTable::section(t, true, withTime, Keep::Whole),
            testers(t),
            authority(t),
            witnesses(t),
            fluidsAndTemperatures(t, false),
            fluidsAndTemperatures(t, true),
            transferTimes(t),
            gauges(t),
            notes(t),
            flowPoints(feed)};
}

ReportSection DetailReportTest::test(const Table& test, bool printId) {
    const double v = kTestValueX;
    auto when = [&](const QStringList& columns) { return TestReportRules::any(test, columns); };
    ReportSection s = TestReportRulesFrame::section("Test", true, Keep::Whole);
    s.rows << R(test).pair(0, v, "ID:  ", "TestID").when(printId);
    s.rows << R(test)
                  .pair(0, v, "Date:  ", "Test Date")
                  .pair(kSecondX, 85.0, "Start:  ", "Test Start Time")
                  .pair(kThirdX, 138.0, "End:  ", "Test End Time")
                  .when(when({"Test Date", "Test Start Time", "Test End Time"}));
    s.rows << R(test)
                  .pair(0, v, "Method:  ", "Test Method")
                  .pair(85.0, 125.0, "Discharge Device:  ", "Discharge Device")
                  .when(when({"Test Method", "Discharge Device"}));
    s.rows << R(test)
                  .pair(0, v, "Suction Pressure Location:  ", "Suction Pressure Loc")
                  .when(when({"Suction Pressure Loc"}));
    s.rows << R(test)
                  .pair(0, v, "Discharge Pressure Location:  ", "Discharge Pressure Loc")
                  .when(when({"Discharge Pressure Loc"}));
    return s;
}

ReportSection DetailReportTest::testers(const Table& test) {
    constexpr double nameX = 6.9;
    constexpr double nameWidth = 74.3;
    constexpr double licenseX = 86.0;
    constexpr double stateX = 165.1;
    QStringList all;
    for (int k = 1; k <= 4; ++k)
        all << QStringLiteral("Tester%1").arg(k) << QStringLiteral("Tester%1 License").arg(k)
            << QStringLiteral("Tester%1 State").arg(k);
    ReportSection s =
        TestReportRulesFrame::section("Tester(s)", TestReportRules::any(test, all), Keep::Whole);
    // The column captions stand on a line of their own under the heading word.
    s.heading << R(test)
                     .caption(nameX, "Name")
                     .caption(licenseX, "License")
                     .caption(stateX, "State")
                     .when(s.heading.first().printed);
    for (int k = 1; k <= 4; ++k) {
        const QStringList columns = all.mid((k - 1) * 3, 3);
        s.rows << R(test)
                      .field(nameX, columns.at(0), kPlain, nameWidth)
                      .field(licenseX, columns.at(1))
                      .field(stateX, columns.at(2))
                      .when(TestReportRules::any(test, columns));
    }
    return s;
}

ReportSection DetailReportTest::authority(const Table& test) {
    const double v = kPersonValueX;
    auto when = [&](const QStringList& columns) { return TestReportRules::any(test, columns); };
    ReportSection s =
        TestReportRulesFrame::section("Authority Having Jurisdiction",
                                      when({"AHJ Name", "AHJ Title", "AHJ Company", "AHJ Phone",
                                            "AHJ Phone Ext", "AHJ Fax", "AHJ Cell", "AHJ Email"}),
                                      Keep::Whole);
    s.rows << R(test).pair(0, v, "Name:  ", "AHJ Name").when(when({"AHJ Name"}));
    s.rows << R(test).pair(0, v, "Title:  ", "AHJ Title").when(when({"AHJ Title"}));
    s.rows << R(test).pair(0, v, "Company:  ", "AHJ Company").when(when({"AHJ Company"}));
    s.rows << R(test)
                  .pair(0, v, "Phone:  ", "AHJ Phone")
                  .pair(kSecondX, kSecondValueX, "Ext:  ", "AHJ Phone Ext")
                  .when(when({"AHJ Phone", "AHJ Phone Ext"}));
    s.rows << R(test)
                  .pair(0, v, "Fax:  ", "AHJ Fax")
                  .pair(kSecondX, kSecondValueX, "Cell:  ", "AHJ Cell")
                  .when(when({"AHJ Fax", "AHJ Cell"}));
    s.rows << R(test).pair(0, v, "E-mail:  ", "AHJ Email").when(when({"AHJ Email"}));
    return s;
}

ReportSection DetailReportTest::witnesses(const Table& test) {
    const double v = kPersonValueX;
    auto when = [&](const QStringList& columns) { return TestReportRules::any(test, columns); };
    QStringList all;
    for (int k = 1; k <= 3; ++k) {
        for (const char* part : {" Name", " Company", " Phone", " Fax", " Email"})
            all << QStringLiteral("Witness%1").arg(k) + QString::fromLatin1(part);
    }
    ReportSection s = TestReportRulesFrame::section("Witness(es)", when(all), Keep::Whole);
    for (int k = 1; k <= 3; ++k) {
        const QString w = QStringLiteral("Witness%1").arg(k);
        s.rows << R(test).pair(0, v, "Name:  ", w + " Name").when(when({w + " Name"}));
        s.rows << R(test).pair(0, v, "Company:  ", w + " Company").when(when({w + " Company"}));
        s.rows << R(test)
                      .pair(0, v, "Phone:  ", w + " Phone")
                      .pair(kSecondX, kSecondValueX, "Fax:  ", w + " Fax")
                      .when(when({w + " Phone", w + " Fax"}));
        s.rows << R(test).pair(0, v, "E-mail:  ", w + " Email").when(when({w + " Email"}));
    }
    return s;
}

ReportSection DetailReportTest::fluidsAndTemperatures(const Table& test, bool temperatures) {
    auto when = [&](const QStringList& columns) { return TestReportRules::any(test, columns); };
    if (!temperatures) {
        // The diesel fluids follow the test's own readings, whatever the pump's driver.
        const QStringList levels = {"Fuel Tank Start", "Fuel Tank End", "Oil Level"};
        ReportSection s = TestReportRulesFrame::section("Diesel Fluids", when(levels), Keep::Whole);
        s.rows << R(test)
                      .pair(0, 45.0, "Fuel Tank - Start:  ", levels.at(0))
                      .pair(kSecondX, 80.0, "End:  ", levels.at(1))
                      .pair(kSecondValueX, 130.0, "Oil Level:  ", levels.at(2))
                      .when(when(levels));
        return s;
    }
    const QString degrees = QStringLiteral(" °F");
    ReportSection s = TestReportRulesFrame::section(
        "Temperatures",
        when({"Pump Inner Bearing Temp", "Pump Outer Bearing Temp", "Driver Inner Bearing Temp",
              "Driver Outer Bearing Temp"}),
        Keep::Whole);
    s.rows << R(test)
                  .label(0, 37.6, "Pump Bearing - ")
                  .pair(37.6, 55.0, "Inner:  ", "Pump Inner Bearing Temp", kBlankZero)
                  .unit(degrees)
                  .pair(kThirdX - 40.0, kSecondValueX, "Outer:  ", "Pump Outer Bearing Temp",
                        kBlankZero)
                  .unit(degrees)
                  .when(when({"Pump Inner Bearing Temp", "Pump Outer Bearing Temp"}));
    // A driver temperature of zero beside a real one still reads "0".
    s.rows << R(test)
                  .label(0, 37.6, "Driver Bearing - ")
                  .pair(37.6, 55.0, "Inner:  ", "Driver Inner Bearing Temp")
                  .unit(degrees)
                  .pair(kThirdX - 40.0, kSecondValueX, "Outer:  ", "Driver Outer Bearing Temp")
                  .unit(degrees)
                  .when(when({"Driver Inner Bearing Temp", "Driver Outer Bearing Temp"}));
    return s;
}

ReportSection DetailReportTest::transferTimes(const Table& test) {
    auto when = [&](const QStringList& columns) { return TestReportRules::any(test, columns); };
    // Only the heading is held to what follows it; the two rows may go to the next page.
    ReportSection s = TestReportRulesFrame::section(
        "Transfer Switch", when({"Peak Flow Time", "ReTransfer Time"}), Keep::HeadingWithFirstRow);
    s.rows << R(test)
                  .pair(0, 100.0,
                        "Transfer Time to Full Speed under Peak Load:  ", "Peak Flow Time")
                  .unit("  secs.")
                  .when(when({"Peak Flow Time"}));
    s.rows << R(test)
                  .pair(0, 100.0, "Retransfer Time under No Load:  ", "ReTransfer Time")
                  .unit("  secs")
                  .when(when({"ReTransfer Time"}));
    return s;
}

ReportSection DetailReportTest::gauges(const Table& test) {
    constexpr double typeX = 42.9;
    constexpr double dateX = 119.1;
    auto when = [&](const QStringList& columns) { return TestReportRules::any(test, columns); };
    ReportSection s = TestReportRulesFrame::section(
        "Gauges & Meters",
        when({"Pressure Gauge Type", "Volt Meter Type", "Amp Probe Type", "Tachometer Type"}),
        Keep::Whole);
    ReportRow& heading = s.heading.first();
    heading.add(ReportItem::caption(typeX, 0, "Type", Qt::AlignLeft, ReportFont::arial(12)));
    heading.add(
        ReportItem::caption(dateX, 0, "Calibration Date", Qt::AlignLeft, ReportFont::arial(12)));
    struct Instrument {
        const char* caption;
        const char* name;
    };
    const Instrument instruments[] = {{"Pressure Gauges:  ", "Pressure Gauge"},
                                      {"Volt Meter:  ", "Volt Meter"},
                                      {"Amp Probe:  ", "Amp Probe"},
                                      {"Tachometer:  ", "Tachometer"}};
    for (const Instrument& instrument : instruments) {
        const QString name = QString::fromLatin1(instrument.name);
        // A calibration date without its instrument says nothing: the type decides.
        s.rows << R(test)
                      .pair(0, typeX, instrument.caption, name + " Type")
                      .field(dateX, name + " Cal Date")
                      .when(when({name + " Type"}));
    }
    return s;
}

ReportSection DetailReportTest::notes(const Table& test) {
    const bool printed = TestReportRules::present(test, "Notes");
    ReportSection s = TestReportRulesFrame::section("Test Notes", printed, Keep::Whole);
    s.rows << R(test).memo(6.3, 171.4, "Notes").when(printed);
    return s;
}

bool DetailReportTest::positionFlowPoint(TestReportFeed& feed, int n) {
    if (feed.test().asFloat(QStringLiteral("Flow%1").arg(n)) <= 0.0)
        return false;
    if (!feed.flow().isOpen())
        return false;
    const QStringList columns = tableDef(TableId::Flow).keyNames();
    const Table* levels[] = {&feed.company(), &feed.location(), &feed.pump(), &feed.test()};
    QVariantList key;
    for (const TableId level : kRecordLevels)
        key << levels[levelIndex(level)]->value(identifierColumn(level));
    key << QString::number(n);
    // A point without its own flow row gets no box: the cursor would still stand on some
    // other point's row, and that box would document the wrong readings.
    return feed.flow().locate(columns, key, Qt::CaseSensitive);
}

ReportBlock DetailReportTest::flowPointBox(const Table& flow) {
    constexpr double size = FlowPointTable::kPointSize;
    // Right edges of the nozzle, size, coefficient, pitot and flow columns.
    constexpr double nozzleX = 1.5;
    constexpr double nozzleWidth = 6.0;
    const double valueX[] = {9.0, 22.0, 35.0, 47.0};
    constexpr double valueWidth = 12.0;
    ReportBlock box;
    box.width = kBoxWidth;
    box.framed = true;
    box.rows
        << R(flow, size).caption(nozzleX, "Flow Point #").thenField("Flow Point Number").finished();
    R captions(flow, size);
    captions.caption(nozzleX, "Noz", nozzleWidth, Qt::AlignRight);
    const char* const names[] = {"Size", "Coef", "Pitot", "Flow"};
    for (int i = 0; i < 4; ++i)
        captions.caption(valueX[i], names[i], valueWidth, Qt::AlignRight);
    box.rows << captions.finished();
    box.rows << R(flow, size)
                    .caption(nozzleX, "#", nozzleWidth, Qt::AlignRight)
                    .caption(valueX[0], "inch", valueWidth, Qt::AlignRight)
                    .caption(valueX[2], "psi", valueWidth, Qt::AlignRight)
                    .caption(valueX[3], "gpm", valueWidth, Qt::AlignRight)
                    .finished();
    for (int k = 1; k <= 8; ++k) {
        const QString s = QString::number(k);
        box.rows << R(flow, size)
                        .boldCaption(nozzleX, s, nozzleWidth, Qt::AlignRight)
                        .field(valueX[0], "Nozzle Size" + s, {"#,0.000", false}, valueWidth,
                               Qt::AlignRight)
                        .field(valueX[1], "Co-efficient" + s, {"#,0.000", false}, valueWidth,
                               Qt::AlignRight)
                        .field(valueX[2], "Pitot Pressure" + s, {"#,0.0", false}, valueWidth,
                               Qt::AlignRight)
                        .field(valueX[3], "Calculated Flow" + s, {"#,0", false}, valueWidth,
                               Qt::AlignRight)
                        .finished();
    }
    for (ReportRow& row : box.rows)
        row.height = kBoxRowHeight;
    return box;
}

ReportSection DetailReportTest::flowPoints(TestReportFeed& feed) {
    ReportSection s = TestReportRulesFrame::section("Flow Points", true, Keep::None);
    s.gridColumns = {kBoxColumns[0], kBoxColumns[1], kBoxColumns[2]};
    s.gridSpacing = 2.5;
    // Point 1 is the churn reading: it has no discharge devices and no box.
    for (int n = 2; n <= 8; ++n) {
        if (positionFlowPoint(feed, n))
            s.blocks << flowPointBox(feed.flow());
    }
    return s;
}

} // namespace nerova
