#pragma once

#include "report/ReportDocument.h"

#include <QVector>

namespace nerova {

class PreferencesRecord;
class TestReportFeed;
class Table;

// The detail report's sections on the test: identity and set-up, the flow-point table,
// testers, authority, witnesses, fluids, temperatures, transfer times, instruments, notes
// and, last, one box of nozzle readings per flowing point.
class DetailReportTest {
public:
    static QVector<ReportSection> sections(TestReportFeed& feed,
                                           const PreferencesRecord& preferences);

    // Stands the flow cursor on point n's flow row of the positioned test and answers
    // whether the point gets a box: only when its flow is greater than zero and its own
    // flow row exists (never another point's row in its place).
    static bool positionFlowPoint(TestReportFeed& feed, int n);
    // The box of the flow row the flow cursor stands on.
    static ReportBlock flowPointBox(const Table& flow);

private:
    static ReportSection test(const Table& test, bool printId);
    static ReportSection testers(const Table& test);
    static ReportSection authority(const Table& test);
    static ReportSection witnesses(const Table& test);
    static ReportSection fluidsAndTemperatures(const Table& test, bool temperatures);
    static ReportSection transferTimes(const Table& test);
    static ReportSection gauges(const Table& test);
    static ReportSection notes(const Table& test);
    static ReportSection flowPoints(TestReportFeed& feed);
};

} // namespace nerova
