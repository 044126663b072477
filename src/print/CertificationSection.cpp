#include "print/CertificationSection.h"

#include "print/TestReportRules.h"
#include "print/TestReportRulesFormat.h"
#include "print/TestReportRulesFrame.h"
#include "print/TestReportRulesRow.h"

namespace nerova {

namespace {

constexpr double kSecondX = 100.0;
constexpr double kThirdX = 160.0;
constexpr double kSignatureWidth = 90.0;
constexpr double kDateX = 110.0;
constexpr double kDateWidth = 50.0;
constexpr double kLineY = 9.0;

// A line to sign on and one to date it, with their captions under them.
ReportRow signatureRow() {
    const ReportFont small = ReportFont::arial(9);
    ReportRow row;
    row.height = CertificationSection::kSignatureHeight;
    row.add(ReportItem::line(0, kLineY, kSignatureWidth, 0));
    ReportItem signature =
        ReportItem::caption(0, 0, QStringLiteral("Signature"), Qt::AlignLeft, small);
    signature.y = kLineY + 0.5;
    row.add(signature);
    row.add(ReportItem::line(kDateX, kLineY, kDateWidth, 0));
    ReportItem date = ReportItem::caption(kDateX, 0, QStringLiteral("Date"), Qt::AlignLeft, small);
    date.y = kLineY + 0.5;
    row.add(date);
    return row;
}

// One party's line: a caption with its value, and up to two more pairs beside it.
ReportRow partyRow(const Table& test, const QString& caption, const QString& column,
                   const QString& second = {}, const QString& secondColumn = {},
                   const QString& third = {}, const QString& thirdColumn = {}) {
    ReportRow row;
    row.add(ReportItem::caption(0, 0, caption));
    row.add(ReportItem::field(0, 0, TestReportRulesFormat::field(test, column)));
    row.items.last().followsPrevious = true;
    if (!secondColumn.isEmpty()) {
        row.add(ReportItem::caption(kSecondX, 0, second));
        row.add(ReportItem::field(0, 0, TestReportRulesFormat::field(test, secondColumn)));
        row.items.last().followsPrevious = true;
    }
    if (!thirdColumn.isEmpty()) {
        row.add(ReportItem::caption(kThirdX, 0, third));
        row.add(ReportItem::field(0, 0, TestReportRulesFormat::field(test, thirdColumn)));
        row.items.last().followsPrevious = true;
    }
    return row;
}

} // namespace

ReportSection CertificationSection::section(const Table& test) {
    ReportSection s = TestReportRulesFrame::section(QStringLiteral("Certification"), true,
                                                    ReportSection::Keep::Whole);
    s.rows << partyRow(test, QStringLiteral("Test Date:  "), QStringLiteral("Test Date"));

    // Every tester and witness named on the test signs; a test naming none still leaves one
    // line of each to sign on.
    QVector<ReportRow> testers;
    for (int k = 1; k <= 4; ++k) {
        const QString name = QStringLiteral("Tester%1").arg(k);
        const QStringList columns{name, name + QStringLiteral(" License"),
                                  name + QStringLiteral(" State")};
        if (k == 1 || TestReportRules::any(test, columns))
            testers << partyRow(test, QStringLiteral("Tester:  "), columns.at(0),
                                QStringLiteral("License:  "), columns.at(1),
                                QStringLiteral("State:  "), columns.at(2));
        if (k == 1 && !TestReportRules::any(test, columns))
            testers.last().printed = false;
    }
    QVector<ReportRow> witnesses;
    for (int k = 1; k <= 3; ++k) {
        const QStringList columns{QStringLiteral("Witness%1 Name").arg(k),
                                  QStringLiteral("Witness%1 Company").arg(k)};
        if (k == 1 || TestReportRules::any(test, columns))
            witnesses << partyRow(test, QStringLiteral("Witness:  "), columns.at(0),
                                  QStringLiteral("Company:  "), columns.at(1));
        if (k == 1 && !TestReportRules::any(test, columns))
            witnesses.last().printed = false;
    }
    for (QVector<ReportRow>* party : {&testers, &witnesses}) {
        // The blank first line stands in only when nobody else is named.
        if (party->size() == 1)
            party->first().printed = true;
        for (const ReportRow& row : std::as_const(*party)) {
            if (!row.printed)
                continue;
            s.rows << row;
            s.rows << signatureRow();
        }
    }
    s.rows << partyRow(test, QStringLiteral("AHJ:  "), QStringLiteral("AHJ Name"),
                       QStringLiteral("Title:  "), QStringLiteral("AHJ Title"));
    s.rows << signatureRow();
    return s;
}

} // namespace nerova
