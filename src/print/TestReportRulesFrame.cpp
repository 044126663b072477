#include "print/TestReportRulesFrame.h"

#include "report/ReportMetrics.h"

namespace nerova {

ReportRow TestReportRulesFrame::pageHeader(double bodyWidth, const QString& partyName,
                                           const QString& date, bool boldDate) {
    return pageHeader(bodyWidth, QStringLiteral("FIRE PUMP TEST REPORT"), partyName, date,
                      boldDate);
}

ReportRow TestReportRulesFrame::pageHeader(double bodyWidth, const QString& title,
                                           const QString& partyName, const QString& date,
                                           bool boldDate) {
    const double line = ReportMetrics::lineHeight(ReportFont::times(16, true));
    ReportRow row;
    const QString texts[] = {title, partyName, date};
    for (int i = 0; i < 3; ++i) {
        const bool bold = i < 2 || boldDate;
        ReportItem item = ReportItem::caption(0.0, bodyWidth, texts[i], Qt::AlignHCenter,
                                              ReportFont::times(16, bold));
        item.y = i * line;
        row.add(item);
    }
    row.height = 3 * line + kHeaderBodyGap;
    return row;
}

ReportRow TestReportRulesFrame::pageFooter(double bodyWidth, const QString& testingCompany,
                                           bool pageNumber) {
    const ReportFont font = ReportFont::times(10);
    ReportRow row;
    row.add(ReportItem::caption(0.0, 0.0, QStringLiteral("Nerova 2002"), Qt::AlignLeft, font));
    if (pageNumber) {
        row.add(ReportItem::caption(0.0, bodyWidth,
                                    QStringLiteral("Page ") +
                                        QLatin1String(ReportDocument::pageNumberToken),
                                    Qt::AlignHCenter, font));
    }
    row.add(ReportItem::field(0.0, bodyWidth, testingCompany, Qt::AlignRight, font));
    row.height = ReportMetrics::lineHeight(font);
    return row;
}

ReportRow TestReportRulesFrame::heading(const QString& text, bool printed) {
    ReportRow row;
    row.add(ReportItem::caption(0.0, 0.0, text, Qt::AlignLeft, ReportFont::arial(12, false, true)));
    row.printed = printed;
    return row;
}

ReportSection TestReportRulesFrame::section(const QString& heading, bool headingPrinted,
                                            ReportSection::Keep keep, bool first) {
    ReportSection section;
    section.heading.append(TestReportRulesFrame::heading(heading, headingPrinted));
    section.keep = keep;
    section.spaceBefore = first ? 0.0 : kSectionGap;
    return section;
}

} // namespace nerova
