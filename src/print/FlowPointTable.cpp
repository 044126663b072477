#include "print/FlowPointTable.h"

#include "print/TestReportRules.h"
#include "print/TestReportRulesFrame.h"
#include "print/TestReportRulesRow.h"

namespace nerova {

namespace {

constexpr int kValueColumns = 13; // before the percent column
constexpr double kPointX = 6.3;
constexpr double kTimeX = 8.7;
constexpr double kTimeWidth = 17.3;

const char* const kWholeMask = "#,0";
const char* const kTenthsMask = "#,0.0;-#,0.0";

} // namespace

double FlowPointTable::columnX(bool withTime, int i) {
    if (withTime)
        return i < kValueColumns ? 25.9 + i * (177.3 - 25.9) / kValueColumns : 177.3;
    return i < kValueColumns ? 8.7 + i * 12.7 : 173.8;
}

double FlowPointTable::columnWidth(bool withTime, int i) {
    if (withTime)
        return i < kValueColumns ? (177.3 - 25.9) / kValueColumns : 8.7;
    return i < kValueColumns ? 12.7 : 9.8;
}

ReportSection FlowPointTable::section(const Table& test, bool withTime, bool chosen,
                                      ReportSection::Keep keep) {
    ReportSection section =
        TestReportRulesFrame::section(QStringLiteral("Flows"), chosen, keep, false);
    auto x = [withTime](int i) { return columnX(withTime, i); };
    auto w = [withTime](int i) { return columnWidth(withTime, i); };
    auto span = [&](int from, int to) { return x(to) + w(to) - x(from); };

    TestReportRulesRow line1(nullptr, kPointSize);
    line1.caption(x(0), QStringLiteral("Disch"), w(0), Qt::AlignRight)
        .caption(x(1), QStringLiteral("Suct"), w(1), Qt::AlignRight)
        .caption(x(4), QStringLiteral("Amperes"), span(4, 6), Qt::AlignHCenter)
        .caption(x(7), QStringLiteral("Volts"), span(7, 9), Qt::AlignHCenter)
        .caption(x(10), QStringLiteral("Net"), w(10), Qt::AlignRight)
        .caption(x(11), QStringLiteral("Corrected"), span(11, 12), Qt::AlignHCenter)
        .caption(x(13), QStringLiteral("%"), w(13), Qt::AlignRight)
        .when(chosen);
    section.heading.append(line1);

    TestReportRulesRow line2(nullptr, kPointSize);
    line2.caption(kPointX, QStringLiteral("#"));
    if (withTime)
        line2.caption(kTimeX, QStringLiteral("Time"), kTimeWidth, Qt::AlignRight);
    const char* const captions[] = {"Press", "Press", "Flow", "RPM",   "A",    "B",     "C",
                                    "A-B",   "B-C",   "A-C",  "Press", "Flow", "Press", "Flow"};
    for (int i = 0; i < 14; ++i)
        line2.caption(x(i), QString::fromLatin1(captions[i]), w(i), Qt::AlignRight);
    section.heading.append(line2.when(chosen));

    for (int n = 1; n <= 8; ++n) {
        const QString s = QString::number(n);
        const QString columns[] = {QStringLiteral("Discharge Pressure") + s,
                                   QStringLiteral("Suction Pressure") + s,
                                   QStringLiteral("Flow") + s,
                                   QStringLiteral("RPM") + s,
                                   QStringLiteral("Amp%1-1").arg(n),
                                   QStringLiteral("Amp%1-2").arg(n),
                                   QStringLiteral("Amp%1-3").arg(n),
                                   QStringLiteral("Volt%1-1").arg(n),
                                   QStringLiteral("Volt%1-2").arg(n),
                                   QStringLiteral("Volt%1-3").arg(n),
                                   QStringLiteral("Net Pressure") + s,
                                   QStringLiteral("Corrected Flow") + s,
                                   QStringLiteral("Corrected Net Pressure") + s,
                                   QStringLiteral("Percent Rated Flow") + s};
        TestReportRulesRow row(test, kPointSize);
        row.caption(kPointX, s);
        if (withTime)
            row.field(kTimeX, QStringLiteral("Time") + s, kPlain, kTimeWidth, Qt::AlignRight);
        for (int i = 0; i < 14; ++i) {
            const bool whole = i == 2 || i == 3 || i == 11;
            const FieldFormat format{i == 13 ? nullptr : whole ? kWholeMask : kTenthsMask, false};
            row.field(x(i), columns[i], format, w(i), Qt::AlignRight);
        }
        section.rows.append(row.when(chosen && TestReportRules::point(test, n)));
    }

    TestReportRulesRow note(test);
    note.caption(kPointX, QStringLiteral("Velocity pressure was used in the Corrected Flow and "
                                         "Pressure calculations."))
        .when(chosen && TestReportRules::present(test, QStringLiteral("Velocity Pressure")));
    section.rows.append(note);
    return section;
}

} // namespace nerova
