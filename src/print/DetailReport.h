#pragma once

#include "report/ReportDocument.h"

namespace nerova {

class PreferencesRecord;
class TestReportFeed;
class TestReportFeedSource;
class Table;

// The layout of the detail report: a cover page of its own, then the company, location,
// pump and every piece of its equipment, then the test with its flow points. US Letter;
// header and footer on every page but the cover. Built from the feed's positioned rows and
// the preferences as they are when it is built; only the flow-point boxes move a cursor
// (the flow cursor).
class DetailReport {
public:
    // withEvaluation adds the test's evaluation after the flow-point boxes; the certification
    // block always ends the body; withCurve adds the test's curve sheet as the last page.
    static ReportDocument build(TestReportFeed& feed, const PreferencesRecord& preferences,
                                const TestReportFeedSource& source, bool withEvaluation = true,
                                bool withCurve = false);

    // Height of the curve sheet on its page, in millimetres.
    static constexpr double kCurveHeight = 200.0;

    // The cover's address block under the heading party's name: address, then the second
    // address line when there is one, the city line and the test date, so no empty line
    // ever stands between address and city.
    static QStringList ppTitleBand1BeforePrint(const TestReportFeed& feed);

private:
    static ReportRow cover(const TestReportFeed& feed, const TestReportFeedSource& source,
                           double width);
    static ReportSection partySection(const QString& heading, const Table& party, bool shown,
                                      const QString& idColumn, bool printId, double memoWidth,
                                      ReportSection::Keep keep, bool first);
    static ReportSection pumpSection(const Table& pump, bool printId);
    static ReportSection brakeHorsepowerSection(const Table& pump);
    static ReportSection curveSection(const TestReportFeed& feed,
                                      const PreferencesRecord& preferences, double width);
};

} // namespace nerova
