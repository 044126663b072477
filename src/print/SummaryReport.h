#pragma once

#include "report/ReportDocument.h"

namespace nerova {

class PreferencesRecord;
class TestReportFeed;
class TestReportFeedSource;
class Table;

// The layout of the summary report: the company, location and pump in brief, the test's
// identity and times, and the flow-point table, on US Letter with a header and footer on
// every page and never a page number. Built from the feed's positioned rows and the
// preferences as they are when it is built.
class SummaryReport {
public:
    // withEvaluation ends the report with the test's verdict, its failed findings and the
    // test-record line.
    static ReportDocument build(const TestReportFeed& feed, const PreferencesRecord& preferences,
                                const TestReportFeedSource& source, bool withEvaluation = true);

private:
    static ReportSection partySection(const QString& heading, const Table& party, bool shown,
                                      const QString& idColumn, bool printId, bool first);
    static ReportSection pumpSection(const Table& pump, bool printId);
    static ReportSection testSection(const Table& test, bool printId);
};

} // namespace nerova
