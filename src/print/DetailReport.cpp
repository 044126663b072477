#include "print/DetailReport.h"

#include "data/Table.h"
#include "prefs/PreferencesRecord.h"
#include "print/CertificationSection.h"
#include "print/CurveSheet.h"
#include "print/DetailReportEquipment.h"
#include "print/DetailReportRows.h"
#include "print/DetailReportTest.h"
#include "print/EvaluationSection.h"
#include "print/GraphPainter.h"
#include "print/GraphProperties.h"
#include "print/TestReportFeed.h"
#include "print/TestReportFeedSource.h"
#include "print/TestReportRules.h"
#include "print/TestReportRulesFormat.h"
#include "print/TestReportRulesFrame.h"
#include "print/TestReportRulesRow.h"

namespace nerova {

namespace {

using Keep = ReportSection::Keep;
constexpr double kValueX = DetailReportRows::kValueX;
constexpr double kPumpX = DetailReportRows::kPumpValueX;
constexpr double kSecondX = DetailReportRows::kSecondX;
constexpr double kSecondValueX = DetailReportRows::kSecondValueX;
constexpr double kThirdX = DetailReportRows::kThirdX;
constexpr double kThirdValueX = DetailReportRows::kThirdValueX;

ReportItem coverLine(double y, const QString& text, const ReportFont& font, double width) {
    ReportItem item = ReportItem::caption(0.0, width, text, Qt::AlignHCenter, font);
    item.y = y;
    return item;
}

} // namespace

ReportDocument DetailReport::build(TestReportFeed& feed, const PreferencesRecord& preferences,
                                   const TestReportFeedSource& source, bool withEvaluation,
                                   bool withCurve) {
    ReportDocument doc;
    const double width = doc.page.bodyWidth();
    doc.title = cover(feed, source, width);
    doc.titleOnOwnPage = true;
    doc.header = TestReportRulesFrame::pageHeader(
        width, feed.headingPartyName(),
        TestReportRulesFormat::field(feed.test(), QStringLiteral("Test Date")), true);
    doc.headerOnFirstPage = false;
    doc.footer = TestReportRulesFrame::pageFooter(
        width, source.fieldAsString(QStringLiteral("TestingCompanyName")),
        preferences.printReportPageNumber());
    doc.footerOnFirstPage = false;

    doc.sections << partySection("Company", feed.company(), true, "CompanyID",
                                 preferences.printDetailCompanyID(), 150.0, Keep::None, true);
    doc.sections << partySection("Location", feed.location(),
                                 TestReportRules::locationShown(feed.location()), "LocationID",
                                 preferences.printDetailLocationID(), 149.5, Keep::Whole, false);
    doc.sections << pumpSection(feed.pump(), preferences.printDetailPumpID());
    doc.sections << brakeHorsepowerSection(feed.pump());
    doc.sections << DetailReportEquipment::sections(feed.pump());
    doc.sections << DetailReportTest::sections(feed, preferences);
    if (withEvaluation)
        doc.sections << EvaluationSection::detail(EvaluationSection::evaluate(feed));
    doc.sections << CertificationSection::section(feed.test());
    if (withCurve)
        doc.sections << curveSection(feed, preferences, width);
    return doc;
}

ReportSection DetailReport::curveSection(const TestReportFeed& feed,
                                         const PreferencesRecord& preferences, double width) {
    auto graph = std::make_shared<GraphProperties>();
    const QString title = feed.headingPartyName() + QStringLiteral(" - ") +
                          TestReportRulesFormat::field(feed.test(), QStringLiteral("Test Date")) +
                          QStringLiteral(";Pump ") + feed.pump().asString(QStringLiteral("PumpID"));
    CurveSheet::testSheet(*graph, feed.pump(), feed.test(), title, preferences.exponentialXAxis());
    ReportSection s = TestReportRulesFrame::section("Pump Curve", true, Keep::Whole);
    s.newPage = true;
    ReportRow row;
    row.height = kCurveHeight;
    std::shared_ptr<const GraphProperties> sheet = graph;
    row.add(ReportItem::drawing(0, 0, width, kCurveHeight,
                                [sheet](QPainter& painter, const QRectF& area) {
                                    GraphPainter(*sheet).paint(painter, area);
                                }));
    s.rows << row;
    return s;
}

QStringList DetailReport::ppTitleBand1BeforePrint(const TestReportFeed& feed) {
    const Table& party = feed.headingParty();
    const QString date = TestReportRulesFormat::field(feed.test(), QStringLiteral("Test Date"));
    const QString address2 = party.value(QStringLiteral("Address2")).toString();
    QStringList lines{party.value(QStringLiteral("Address1")).toString()};
    if (!address2.isEmpty())
        lines << address2 << TestReportFeed::cityLine(party) << date;
    else
        lines << TestReportFeed::cityLine(party) << date << QString();
    return lines;
}

ReportRow DetailReport::cover(const TestReportFeed& feed, const TestReportFeedSource& source,
                              double width) {
    ReportRow row;
    row.add(coverLine(25.4, QStringLiteral("Fire Pump Test"), ReportFont::times(48), width));
    row.add(coverLine(45.5, QStringLiteral("Report"), ReportFont::times(48), width));
    row.add(coverLine(101.9, feed.headingPartyName(), ReportFont::arial(24), width));
    const QStringList address = ppTitleBand1BeforePrint(feed);
    const double addressY[] = {112.2, 120.1, 128.1, 136.0};
    for (int i = 0; i < 4; ++i)
        row.add(coverLine(addressY[i], address.value(i), ReportFont::arial(18), width));
    row.add(coverLine(199.8, QStringLiteral("Conducted by:"), ReportFont::times(16), width));
    // The testing company's letterhead, in smaller type line by line; lines keep their
    // places when empty.
    const double infoY[] = {206.6, 214.3, 220.1, 226.0, 231.8, 236.8, 241.8, 246.9};
    for (int n = 1; n <= 8; ++n) {
        const double size = n == 1 ? 18.0 : n <= 4 ? 14.0 : 12.0;
        row.add(coverLine(infoY[n - 1],
                          source.fieldAsString(QStringLiteral("CompanyInfo%1").arg(n)),
                          ReportFont::arial(size), width));
    }
    row.height = 246.9 + 5.0;
    return row;
}

ReportSection DetailReport::partySection(const QString& heading, const Table& party, bool shown,
                                         const QString& idColumn, bool printId, double memoWidth,
                                         ReportSection::Keep keep, bool first) {
    const double v = kValueX;
    auto when = [&](const QStringList& columns) {
        return shown && TestReportRules::any(party, columns);
    };
    using R = TestReportRulesRow;
    ReportSection s = TestReportRulesFrame::section(heading, shown, keep, first);
    s.rows << DetailReportRows::identifier(party, idColumn, v, shown && printId);
    s.rows << DetailReportRows::nameAndAddress(party, shown);
    s.rows << R(party).pair(0, v, "Title:  ", "Contact Title").when(when({"Contact Title"}));
    s.rows
        << R(party).pair(0, v, "Dept:  ", "Contact Department").when(when({"Contact Department"}));
    s.rows << R(party)
                  .pair(0, v, "Phone:  ", "Contact Phone")
                  .pair(kSecondX, kSecondValueX, "Ext:  ", "Contact Phone Ext")
                  .when(when({"Contact Phone", "Contact Phone Ext"}));
    s.rows << R(party)
                  .pair(0, v, "Fax:  ", "Contact Fax")
                  .pair(kSecondX, kSecondValueX, "Cell:  ", "Contact Cell")
                  .when(when({"Contact Fax", "Contact Cell"}));
    s.rows << R(party).pair(0, v, "E-mail:  ", "Contact Email").when(when({"Contact Email"}));
    // "Private Notes" are the user's own and never print.
    s.rows << R(party).label(0, v, "Notes:  ").memo(v, memoWidth, "Notes").when(when({"Notes"}));
    return s;
}

ReportSection DetailReport::pumpSection(const Table& pump, bool printId) {
    const double v = kPumpX;
    auto when = [&](const QStringList& columns) { return TestReportRules::any(pump, columns); };
    using R = TestReportRulesRow;
    const FieldFormat feet{"##.##", true};
    const FieldFormat inches{"##.###", true};
    ReportSection s = TestReportRulesFrame::section("Pump", true, Keep::Whole);
    s.rows << DetailReportRows::identifier(pump, "PumpID", v, printId);
    s.rows << DetailReportRows::pumpMaker(pump);
    s.rows << R(pump)
                  .pair(0, v, "Pump Type:  ", "Pump Type")
                  .pair(kSecondX, kSecondValueX, "RPM:  ", "Pump RPM", kBlankZero)
                  .when(when({"Pump Type", "Pump RPM"}));
    s.rows << DetailReportRows::rating(pump, v);
    s.rows << R(pump)
                  .label(0, v, "Elevations -  ")
                  .next()
                  .pair(0, v, "Pump:  ", "Pump Elevation", feet)
                  .unit("  ft")
                  .pair(kSecondX, kSecondValueX, "Discharge Gauge:  ", "Discharge Elevation", feet)
                  .unit("  ft")
                  .pair(kThirdX, kThirdValueX, "Suction Gauge:  ", "Suction Elevation", feet)
                  .unit("  ft")
                  .when(when({"Pump Elevation", "Discharge Elevation", "Suction Elevation"}));
    s.rows << R(pump)
                  .label(0, v, "Diameters -  ")
                  .next()
                  .pair(0, v, "Impeller:  ", "Impeller Diameter", inches)
                  .unit("  in")
                  .pair(kSecondX, kSecondValueX, "Discharge Pipe:  ", "Discharge Diameter", inches)
                  .unit("  in")
                  .pair(kThirdX, kThirdValueX, "Suction Pipe:  ", "Suction Diameter", inches)
                  .unit("  in")
                  .when(when({"Impeller Diameter", "Discharge Diameter", "Suction Diameter"}));
    s.rows << R(pump)
                  .pair(0, v, "Inner Bearing:  ", "Inner Bearing")
                  .pair(kSecondX, kSecondValueX, "Outer Bearing:  ", "Outer Bearing")
                  .when(when({"Inner Bearing", "Outer Bearing"}));
    s.rows << R(pump)
                  .pair(0, v, "Rotation:  ", "Rotation")
                  .pair(kSecondX, 125.0, "Max. Discharge Pressure:  ", "Max Discharge Pressure",
                        kBlankZero)
                  .unit("  psi")
                  .when(when({"Rotation", "Max Discharge Pressure"}));
    s.rows << R(pump).pair(0, v, "Driver Type:  ", "Driver Type").when(when({"Driver Type"}));
    return s;
}

ReportSection DetailReport::brakeHorsepowerSection(const Table& pump) {
    const double v = kPumpX;
    auto when = [&](const QStringList& columns) { return TestReportRules::any(pump, columns); };
    const FieldFormat hundredths{"#,0.00;-#,0.00", true};
    ReportSection s = TestReportRulesFrame::section(
        "Brake Horsepower", when({"Brake Horsepower", "Maximum BHP", "Positive Suction Pressure"}),
        Keep::Whole);
    s.rows << TestReportRulesRow(pump)
                  .pair(0, v, "Brake Horsepower:  ", "Brake Horsepower", hundredths)
                  .when(when({"Brake Horsepower"}));
    s.rows << TestReportRulesRow(pump)
                  .pair(0, v, "Maximum BHP:  ", "Maximum BHP", hundredths)
                  .unit("  at Positive Suction Pressure:  ")
                  .thenField("Positive Suction Pressure", kBlankZero)
                  .unit("  psi")
                  .when(when({"Maximum BHP", "Positive Suction Pressure"}));
    return s;
}

} // namespace nerova
