#include "print/DetailReportRows.h"

#include "print/TestReportFeed.h"
#include "print/TestReportRules.h"
#include "print/TestReportRulesRow.h"

namespace nerova {

namespace {
const FieldFormat kWholeBlankZero{"#,0", true};
} // namespace

ReportRow DetailReportRows::identifier(const Table& table, const QString& column, double valueX,
                                       bool printed) {
    return TestReportRulesRow(table).pair(0, valueX, QStringLiteral("ID:  "), column).when(printed);
}

QVector<ReportRow> DetailReportRows::nameAndAddress(const Table& party, bool shown) {
    const double v = kValueX;
    QVector<ReportRow> rows;
    rows << TestReportRulesRow(party)
                .pair(0, v, QStringLiteral("Name:  "), QStringLiteral("Name"))
                .when(shown);
    rows << TestReportRulesRow(party)
                .pair(0, v, QStringLiteral("Address:  "), QStringLiteral("Address1"))
                .when(shown);
    rows << TestReportRulesRow(party)
                .field(v, QStringLiteral("Address2"))
                .when(shown && TestReportRules::present(party, QStringLiteral("Address2")));
    rows << TestReportRulesRow(party)
                .pairText(0, v, QStringLiteral("City/St/Zip:  "), TestReportFeed::cityLine(party))
                .when(shown);
    rows << TestReportRulesRow(party)
                .pair(0, v, QStringLiteral("Contact Name:  "), QStringLiteral("Contact Name"))
                .when(shown && TestReportRules::present(party, QStringLiteral("Contact Name")));
    return rows;
}

QVector<ReportRow> DetailReportRows::pumpMaker(const Table& pump) {
    const double v = kPumpValueX;
    QVector<ReportRow> rows;
    rows << TestReportRulesRow(pump)
                .pair(0, v, QStringLiteral("Manufacturer:  "), QStringLiteral("Pump Mfr"))
                .pair(130.0, 152.4, QStringLiteral("Label:  "), QStringLiteral("Label"))
                .when(TestReportRules::any(pump,
                                           {QStringLiteral("Pump Mfr"), QStringLiteral("Label")}));
    rows << TestReportRulesRow(pump)
                .pair(0, v, QStringLiteral("Model Number:  "), QStringLiteral("Pump MN"))
                .when(TestReportRules::present(pump, QStringLiteral("Pump MN")));
    rows << TestReportRulesRow(pump)
                .pair(0, v, QStringLiteral("Serial Number:  "), QStringLiteral("Pump SN"))
                .when(TestReportRules::present(pump, QStringLiteral("Pump SN")));
    return rows;
}

ReportRow DetailReportRows::rating(const Table& pump, double valueX) {
    TestReportRulesRow row(pump);
    // The churn flow is zero by definition: a fixed text, not a column.
    row.pairText(0, valueX, QStringLiteral("Rating - Churn:  "), QStringLiteral("0"))
        .unit(QStringLiteral("  gpm @  "))
        .thenField(QStringLiteral("Churn Pressure"), kWholeBlankZero)
        .unit(QStringLiteral("  psi"));
    for (const char* percent : {"100%", "150%"}) {
        const QString p = QString::fromLatin1(percent);
        row.next()
            .pair(0, valueX, p + QStringLiteral(":  "), p + QStringLiteral(" Flow"),
                  kWholeBlankZero)
            .unit(QStringLiteral("  gpm @  "))
            .thenField(p + QStringLiteral(" Pressure"), kBlankZero)
            .unit(QStringLiteral("  psi"));
    }
    return row.when(
        TestReportRules::any(pump, {QStringLiteral("Churn Pressure"), QStringLiteral("100% Flow"),
                                    QStringLiteral("100% Pressure"), QStringLiteral("150% Flow"),
                                    QStringLiteral("150% Pressure")}));
}

} // namespace nerova
