#pragma once

#include "report/ReportDocument.h"

#include <QString>

namespace nerova {

// What both reports put around their body: the page header and footer, section headings
// and the empty line between sections.
class TestReportRulesFrame {
public:
    static constexpr double kSectionGap = 5.0;     // one empty 12 point line
    static constexpr double kHeaderBodyGap = 7.62; // between header and body

    // Three centred lines in Times New Roman 16: "FIRE PUMP TEST REPORT" and the heading
    // party's name in bold, then the test date (bold only when boldDate).
    static ReportRow pageHeader(double bodyWidth, const QString& partyName, const QString& date,
                                bool boldDate);
    // The same three lines under another title (the pump history, the tests due).
    static ReportRow pageHeader(double bodyWidth, const QString& title, const QString& partyName,
                                const QString& date, bool boldDate);
    // "Nerova 2002" at the left, the testing company at the right and, with pageNumber,
    // "Page N" in the middle, in Times New Roman 10.
    static ReportRow pageFooter(double bodyWidth, const QString& testingCompany, bool pageNumber);

    // A section heading: Arial 12 underlined at the left margin.
    static ReportRow heading(const QString& text, bool printed = true);
    // A section with its heading and the empty line above it (none for the body's first).
    static ReportSection section(const QString& heading, bool headingPrinted,
                                 ReportSection::Keep keep, bool first = false);
};

} // namespace nerova
