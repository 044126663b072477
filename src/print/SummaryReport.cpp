#include "print/SummaryReport.h"

#include "prefs/PreferencesRecord.h"
#include "print/DetailReportRows.h"
#include "print/EvaluationSection.h"
#include "print/FlowPointTable.h"
#include "print/TestReportFeed.h"
#include "print/TestReportFeedSource.h"
#include "print/TestReportRules.h"
#include "print/TestReportRulesFormat.h"
#include "print/TestReportRulesFrame.h"
#include "print/TestReportRulesRow.h"

namespace nerova {

namespace {

constexpr double kValueX = DetailReportRows::kValueX;
constexpr double kRatingValueX = 46.0;
constexpr auto kNoKeep = ReportSection::Keep::None;

// Phone, extension, fax and cell on one line.
ReportRow telephones(const Table& party, bool shown) {
    const QStringList columns = {QStringLiteral("Contact Phone"),
                                 QStringLiteral("Contact Phone Ext"), QStringLiteral("Contact Fax"),
                                 QStringLiteral("Contact Cell")};
    return TestReportRulesRow(party)
        .pair(0, kValueX, QStringLiteral("Phone:  "), columns.at(0))
        .pair(60.0, 80.0, QStringLiteral("Ext:  "), columns.at(1))
        .pair(88.0, 108.0, QStringLiteral("Fax:  "), columns.at(2))
        .pair(130.0, 150.0, QStringLiteral("Cell:  "), columns.at(3))
        .when(shown && TestReportRules::any(party, columns));
}

} // namespace

ReportDocument SummaryReport::build(const TestReportFeed& feed,
                                    const PreferencesRecord& preferences,
                                    const TestReportFeedSource& source, bool withEvaluation) {
    ReportDocument doc;
    doc.page.marginLeft = 6.35;
    doc.page.marginRight = 6.35;
    const double width = doc.page.bodyWidth();
    doc.header = TestReportRulesFrame::pageHeader(
        width, feed.headingPartyName(),
        TestReportRulesFormat::field(feed.test(), QStringLiteral("Test Date")), false);
    doc.footer = TestReportRulesFrame::pageFooter(
        width, source.fieldAsString(QStringLiteral("TestingCompanyName")), false);

    doc.sections << partySection(QStringLiteral("Company"), feed.company(), true,
                                 QStringLiteral("CompanyID"), preferences.printSummaryCompanyID(),
                                 true);
    doc.sections << partySection(QStringLiteral("Location"), feed.location(),
                                 TestReportRules::locationShown(feed.location()),
                                 QStringLiteral("LocationID"), preferences.printSummaryLocationID(),
                                 false);
    doc.sections << pumpSection(feed.pump(), preferences.printSummaryPumpID());
    doc.sections << testSection(feed.test(), preferences.printSummaryTestID());
    const bool withTime = preferences.useTestTime();
    doc.sections << FlowPointTable::section(feed.test(), withTime, true, kNoKeep);
    if (withEvaluation)
        doc.sections << EvaluationSection::summary(EvaluationSection::evaluate(feed));
    return doc;
}

ReportSection SummaryReport::partySection(const QString& heading, const Table& party, bool shown,
                                          const QString& idColumn, bool printId, bool first) {
    ReportSection section = TestReportRulesFrame::section(heading, shown, kNoKeep, first);
    section.rows << DetailReportRows::identifier(party, idColumn, kValueX, shown && printId);
    section.rows << DetailReportRows::nameAndAddress(party, shown);
    section.rows << telephones(party, shown);
    return section;
}

ReportSection SummaryReport::pumpSection(const Table& pump, bool printId) {
    const double v = DetailReportRows::kPumpValueX;
    ReportSection section = TestReportRulesFrame::section(QStringLiteral("Pump"), true, kNoKeep);
    section.rows << DetailReportRows::identifier(pump, QStringLiteral("PumpID"), v, printId);
    section.rows << DetailReportRows::pumpMaker(pump);
    section.rows << TestReportRulesRow(pump)
                        .pair(0, v, QStringLiteral("Pump Type:  "), QStringLiteral("Pump Type"))
                        .pair(DetailReportRows::kSecondX, 85.0, QStringLiteral("RPM:  "),
                              QStringLiteral("Pump RPM"), kBlankZero)
                        .pair(105.0, 140.0, QStringLiteral("Driver Type:  "),
                              QStringLiteral("Driver Type"))
                        .when(TestReportRules::any(pump, {QStringLiteral("Pump Type"),
                                                          QStringLiteral("Pump RPM"),
                                                          QStringLiteral("Driver Type")}));
    section.rows << DetailReportRows::rating(pump, kRatingValueX);
    return section;
}

ReportSection SummaryReport::testSection(const Table& test, bool printId) {
    ReportSection section = TestReportRulesFrame::section(QStringLiteral("Test"), true, kNoKeep);
    section.rows << DetailReportRows::identifier(test, QStringLiteral("TestID"), kValueX, printId);
    // Unlike the detail report, the date row prints even when all three are empty.
    section.rows << TestReportRulesRow(test)
                        .pair(0, kValueX, QStringLiteral("Date:  "), QStringLiteral("Test Date"))
                        .pair(DetailReportRows::kSecondX, 85.0, QStringLiteral("Start:  "),
                              QStringLiteral("Test Start Time"))
                        .pair(117.0, 138.0, QStringLiteral("End:  "),
                              QStringLiteral("Test End Time"));
    return section;
}

} // namespace nerova
