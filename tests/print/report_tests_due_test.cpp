// The Tests Due report: grouped by company, on as many pages as it takes.
#include "print/ReportTestSupport.h"
#include "print/TestReportRulesFormat.h"
#include "print/TestsDueReport.h"
#include "report/ReportLayout.h"

#include <QTest>

using namespace nerova;

namespace {

const QDate kToday(2026, 12, 10);

DuePump pump(const QString& company, const QString& pumpId, const QDate& lastTest) {
    DuePump p;
    p.companyId = company.toUpper();
    p.company = company;
    p.location = QStringLiteral("Plant");
    p.pumpId = pumpId;
    p.contact = company + QStringLiteral(" Contact");
    p.phone = QStringLiteral("410-555-1234");
    p.lastTest = lastTest;
    QList<DuePump> one{p};
    scheduleDue(one, {}, kToday);
    return one.first();
}

} // namespace

class TestsDueReportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void groupedByCompanyInTheOrderShown() {
        // In the window's order: the companies alternate; on paper each company is together,
        // companies by name, and within one the window's order stands.
        const QList<DuePump> shown = {pump("Zeta", "Z2", QDate(2025, 1, 1)),
                                      pump("Acme", "A1", QDate(2025, 2, 1)),
                                      pump("Zeta", "Z1", QDate()), pump("Acme", "A0", {})};
        const QStringList texts =
            test::allTexts(ReportLayout::layOut(TestsDueReport::build(shown, kToday, 30, "Us")));
        auto at = [&texts](const QString& t) { return texts.indexOf(t); };
        QVERIFY(at("TESTS DUE") >= 0);
        QVERIFY(at("As of " + TestReportRulesFormat::date(kToday)) >= 0);
        QVERIFY(at("Acme") < at("A1") && at("A1") < at("A0") && at("A0") < at("Zeta"));
        QVERIFY(at("Zeta") < at("Z2") && at("Z2") < at("Z1"));
        QVERIFY(at("Contact: Acme Contact    Phone: 410-555-1234") > at("Acme"));
        QVERIFY(at(TestReportRulesFormat::date(QDate(2026, 1, 1))) > at("Z2"));
        QVERIFY(texts.lastIndexOf("Now") > at("Z1"));
        QCOMPARE(texts.count("Never tested"), 2);
        QCOMPARE(texts.count("Overdue"), 2);
        QCOMPARE(TestsDueReport::pdfName(kToday), QStringLiteral("Tests Due 2026-12-10.pdf"));
    }

    void manyPumpsRunOnNumberedPages() {
        QList<DuePump> shown;
        for (int i = 0; i < 120; ++i)
            shown << pump(QStringLiteral("Company %1").arg(i / 7, 2, 10, QLatin1Char('0')),
                          QString::number(i), QDate(2025, 1, 1));
        const QVector<ReportPage> pages =
            ReportLayout::layOut(TestsDueReport::build(shown, kToday, 30, "Us"));
        QVERIFY(pages.size() > 2);
        for (const ReportPage& page : pages) {
            QVERIFY(page.find("TESTS DUE"));
            // Every page ends on a pump: no company heading is left alone at its foot.
            const ReportPageItem* last = nullptr;
            for (const ReportPageItem& item : page.items)
                if (item.kind == ReportPageItem::Kind::Text && item.y < page.height - 20 &&
                    (!last || item.y >= last->y))
                    last = &item;
            QVERIFY(last);
            QCOMPARE(last->text, QStringLiteral("Overdue"));
        }
        QCOMPARE(test::allTexts(pages).count("Overdue"), 120);
        QVERIFY(test::allTexts(ReportLayout::layOut(TestsDueReport::build({}, kToday, 30, "Us")))
                    .contains("No pumps to show."));
    }
};

QTEST_MAIN(TestsDueReportTest)
#include "report_tests_due_test.moc"
