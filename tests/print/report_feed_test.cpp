#include "ReportTestSupport.h"
#include "data/Table.h"
#include "prefs/PreferencesRecord.h"
#include "print/DetailReportFrm.h"
#include "print/SummaryReportFrm.h"
#include "print/TestReportFeed.h"
#include "print/TestReportRulesFormat.h"
#include "support/TempDatabase.h"

#include <QApplication>
#include <QLocale>
#include <QTest>

#include <algorithm>

using namespace nerova;
using nerova::test::allTexts;
using nerova::test::change;
using nerova::test::kDemoTest;
using nerova::test::TempDatabase;

namespace {

// The point numbers of the flow-point table's printed rows, in order.
QStringList pointRows(const QVector<ReportPage>& pages, double marginLeft) {
    QStringList points;
    for (const ReportPage& page : pages) {
        for (const ReportPageItem& item : page.items) {
            if (qAbs(item.x - (marginLeft + 6.3)) < 0.01 && item.font.pointSize == 10.0 &&
                item.text.size() == 1 && item.text.at(0).isDigit())
                points << item.text;
        }
    }
    return points;
}

} // namespace

class ReportFeedTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void positionIgnoresCaseAndStopsAtAMissingKey();
    void headingPartyFollowsSameAsCompany();
    void cityLine_data();
    void cityLine();
    void fieldSourceAnswersByReport();
    void masks_data();
    void masks();
    void dateForm_data();
    void dateForm();
    void blankWhenZeroAgainstAMaskedZero();
    void flowTablePrintsChosenVariantAndPointsWithNetPressure();
    void detailFooterCountsTheCoverPage();
};

void ReportFeedTest::positionIgnoresCaseAndStopsAtAMissingKey() {
    TempDatabase temp;
    {
        TestReportFeed feed(temp.db(), TableId::Flow);
        QVERIFY(feed.position({"abc paint COMPANY", "*", "01", "20010731"}));
        QCOMPARE(feed.test().asString("TestID"), QString("20010731"));
        QCOMPARE(feed.flow().asString("Flow Point Number"), QString("2"));
    }
    // A second pump under the same location: a missing test leaves the test cursor on the
    // first test of the pump that was found, and says so.
    Table pump(temp.db(), TableId::Pump);
    pump.open();
    pump.append();
    pump.setValue("CompanyID", kDemoTest.at(0));
    pump.setValue("LocationID", "*");
    pump.setValue("PumpID", "02");
    pump.post();
    pump.close();
    TestReportFeed feed(temp.db(), TableId::Test);
    QVERIFY(!feed.position({kDemoTest.at(0), "*", "01", "19990101"}));
    QCOMPARE(feed.pump().asString("PumpID"), QString("01"));
    QCOMPARE(feed.test().asString("TestID"), QString("20010731"));
    QVERIFY(!feed.position({kDemoTest.at(0), "*", "02", ""}));
    QCOMPARE(feed.pump().asString("PumpID"), QString("02"));
    QVERIFY(feed.test().isEmpty());
}

void ReportFeedTest::headingPartyFollowsSameAsCompany() {
    TempDatabase temp;
    change(temp.db(), TableId::Location, {{"Name", "North Plant"}, {"LocationID", "*"}});
    PreferencesRecord prefs;
    prefs.setPrintSummaryLocationID(true);
    prefs.setPrintDetailLocationID(true);
    {
        // Marked the same as its company: the company heads every page and the location
        // prints nothing, not even its identifier.
        TSummaryReportFrm summary(temp.db(), prefs);
        QVERIFY(summary.position(kDemoTest));
        TDetailReportFrm detail(temp.db(), prefs);
        QVERIFY(detail.position(kDemoTest));
        for (const auto& pages : {summary.pages(), detail.pages().mid(1)}) {
            for (const ReportPage& page : pages) {
                QVERIFY(page.find("FIRE PUMP TEST REPORT"));
                QVERIFY(page.find("ABC Paint Company"));
            }
            const QStringList texts = allTexts(pages);
            QVERIFY(!texts.contains("Location"));
            QVERIFY(!texts.contains("North Plant"));
        }
    }
    change(temp.db(), TableId::Location, {{"SameAsCompany", false}});
    TSummaryReportFrm summary(temp.db(), prefs);
    QVERIFY(summary.position(kDemoTest));
    const auto pages = summary.pages();
    const auto& items = pages.first().items;
    QVERIFY(std::any_of(items.cbegin(), items.cend(), [](const ReportPageItem& item) {
        return item.text == "North Plant" && item.font == ReportFont::times(16, true);
    }));
    QVERIFY(allTexts(pages).contains("Location"));
}

void ReportFeedTest::cityLine_data() {
    QTest::addColumn<QVariant>("city");
    QTest::addColumn<QVariant>("state");
    QTest::addColumn<QVariant>("zip");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all parts") << QVariant("Maplewood") << QVariant("MD") << QVariant("20678")
                               << "Maplewood, MD   20678";
    QTest::newRow("none") << QVariant() << QVariant() << QVariant() << ",    ";
}

void ReportFeedTest::cityLine() {
    QFETCH(QVariant, city);
    QFETCH(QVariant, state);
    QFETCH(QVariant, zip);
    QFETCH(QString, expected);
    TempDatabase temp;
    change(temp.db(), TableId::Company, {{"City", city}, {"State", state}, {"Zip", zip}});
    TestReportFeed feed(temp.db(), TableId::Test);
    QVERIFY(feed.position(kDemoTest));
    QCOMPARE(TestReportFeed::cityLine(feed.company()), expected);
    TSummaryReportFrm summary(temp.db(), PreferencesRecord());
    summary.position(kDemoTest);
    QVERIFY(summary.pages().first().find(expected));
}

void ReportFeedTest::fieldSourceAnswersByReport() {
    TempDatabase temp;
    PreferencesRecord prefs;
    prefs.setCompanyInfo(1, "Orvik Fire Testing");
    prefs.setCompanyInfo(2, "12 Harbor Road");
    prefs.setCompanyInfo(8, "License 44");
    TDetailReportFrm detail(temp.db(), prefs);
    TSummaryReportFrm summary(temp.db(), prefs);
    for (const QString name : {"TestingCompanyName", "testingcompanyname"}) {
        QCOMPARE(detail.ppJITPipeline1GetFieldAsString(name), QString("Orvik Fire Testing"));
        QCOMPARE(summary.ppJITPipeline1GetFieldValue(name).toString(),
                 QString("Orvik Fire Testing"));
    }
    QCOMPARE(detail.ppJITPipeline1GetFieldAsString("companyinfo2"), QString("12 Harbor Road"));
    QCOMPARE(detail.ppJITPipeline1GetFieldValue("CompanyInfo8").toString(), QString("License 44"));
    QCOMPARE(detail.ppJITPipeline1GetFieldAsString("CompanyInfo9"), QString());
    QCOMPARE(summary.ppJITPipeline1GetFieldAsString("CompanyInfo2"), QString());
    QCOMPARE(summary.ppJITPipeline1GetFieldAsString("CompanyInfo1"), QString());

    // The footer's right-hand text is the testing company.
    QVERIFY(summary.position(kDemoTest));
    const QVector<ReportPage> pages = summary.pages();
    const ReportPageItem* footer = pages.first().find("Orvik Fire Testing");
    QVERIFY(footer);
    QCOMPARE(footer->alignment, Qt::AlignRight);
}

void ReportFeedTest::masks_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 1234567.2 << "#,0"
                           << "1,234,567";
    QTest::newRow("whole negative") << -1500.4 << "#,0;-#,0"
                                    << "-1,500";
    QTest::newRow("tenths") << -1234.56 << "#,0.0;-#,0.0"
                            << "-1,234.6";
    QTest::newRow("tenths zero") << 0.0 << "#,0.0;-#,0.0"
                                 << "0.0";
    QTest::newRow("hundredths") << 1.15 << "#,0.00;-#,0.00"
                                << "1.15";
    QTest::newRow("thousandths") << 1.75 << "#,0.000"
                                 << "1.750";
    QTest::newRow("optional digits") << 0.75 << "##.##"
                                     << ".75";
    QTest::newRow("optional whole") << 6.0 << "##.###"
                                    << "6";
    QTest::newRow("optional three") << 9.125 << "##.###"
                                    << "9.125";
    QTest::newRow("no mask") << 98.7 << ""
                             << "98.7";
    QTest::newRow("no mask whole") << 1750.0 << ""
                                   << "1750";
}

void ReportFeedTest::masks() {
    QFETCH(double, value);
    QFETCH(QString, mask);
    QFETCH(QString, expected);
    const QByteArray latin = mask.toLatin1();
    QCOMPARE(TestReportRulesFormat::number(value, mask.isEmpty() ? nullptr : latin.constData()),
             expected);
}

void ReportFeedTest::dateForm_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("C: names are no numeric form") << "C"
                                                  << "7/31/2001";
    QTest::newRow("United States: two-digit year widened") << "en_US"
                                                           << "7/31/2001";
    QTest::newRow("Germany") << "de_DE"
                             << "31.07.2001";
}

void ReportFeedTest::dateForm() {
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    const QLocale l(locale);
    QCOMPARE(l.toString(QDate(2001, 7, 31), TestReportRulesFormat::dateFormat(l)), expected);
}

void ReportFeedTest::blankWhenZeroAgainstAMaskedZero() {
    TempDatabase temp;
    change(temp.db(), TableId::Pump, {{"Pump RPM", 0.0}, {"Jockey Flow", QVariant()}});
    TestReportFeed feed(temp.db(), TableId::Test);
    QVERIFY(feed.position(kDemoTest));
    QCOMPARE(TestReportRulesFormat::field(feed.pump(), "Pump RPM", kBlankZero), QString());
    QCOMPARE(TestReportRulesFormat::field(feed.pump(), "Pump RPM", {"#,0", false}), QString("0"));
    QCOMPARE(TestReportRulesFormat::field(feed.pump(), "Pump RPM", {"#,0.0;-#,0.0", false}),
             QString("0.0"));
    QCOMPARE(TestReportRulesFormat::field(feed.pump(), "Jockey Flow", {"#,0", false}), QString());
    // Only zero itself is blank, not a value whose whole-number part is zero.
    QCOMPARE(TestReportRulesFormat::field(feed.pump(), "Jockey Hp", {"##.##", true}),
             QString(".75"));
}

void ReportFeedTest::flowTablePrintsChosenVariantAndPointsWithNetPressure() {
    TempDatabase temp;
    QVariantMap nets;
    for (int n = 1; n <= 8; ++n)
        nets.insert(QStringLiteral("Net Pressure%1").arg(n), n == 3 ? 46.0 : 0.0);
    change(temp.db(), TableId::Test, nets);
    PreferencesRecord prefs;
    auto summaryPages = [&] {
        TSummaryReportFrm summary(temp.db(), prefs);
        summary.position(kDemoTest);
        return summary.pages();
    };
    const QString note =
        "Velocity pressure was used in the Corrected Flow and Pressure calculations.";

    // Without time: heading and point 3 only; the with-time variant prints nothing.
    auto pages = summaryPages();
    QCOMPARE(pointRows(pages, 6.35), QStringList{"3"});
    QVERIFY(allTexts(pages).contains("Disch"));
    QVERIFY(!allTexts(pages).contains("Time"));
    QCOMPARE(allTexts(pages).count("Flows"), 1);
    QVERIFY(!allTexts(pages).contains(note));

    // With time and velocity pressure: the note follows the chosen variant.
    prefs.setUseTestTime(true);
    change(temp.db(), TableId::Test, {{"Velocity Pressure", true}, {"Time3", "12:22"}});
    pages = summaryPages();
    QCOMPARE(pointRows(pages, 6.35), QStringList{"3"});
    QVERIFY(allTexts(pages).contains("Time"));
    QVERIFY(allTexts(pages).contains("12:22"));
    QCOMPARE(allTexts(pages).count(note), 1);

    // Every net pressure zero: the heading alone.
    change(temp.db(), TableId::Test, {{"Net Pressure3", 0.0}});
    pages = summaryPages();
    QVERIFY(pointRows(pages, 6.35).isEmpty());
    QVERIFY(allTexts(pages).contains("Disch"));
    QCOMPARE(allTexts(pages).count("Flows"), 1);
}

void ReportFeedTest::detailFooterCountsTheCoverPage() {
    TempDatabase temp;
    PreferencesRecord prefs;
    TDetailReportFrm plain(temp.db(), prefs);
    QVERIFY(plain.position(kDemoTest));
    for (const QString& text : allTexts(plain.pages()))
        QVERIFY2(!text.startsWith("Page"), qPrintable(text));

    prefs.setPrintReportPageNumber(true);
    TDetailReportFrm numbered(temp.db(), prefs);
    QVERIFY(numbered.position(kDemoTest));
    const auto pages = numbered.pages();
    QVERIFY(pages.size() >= 3);
    QVERIFY(!pages.at(0).find("Nerova 2002"));
    QVERIFY(!pages.at(0).find("Page 1"));
    QVERIFY(pages.at(1).find("Nerova 2002"));
    QVERIFY(pages.at(1).find("Page 2"));
    QVERIFY(pages.at(2).find("Page 3"));
}

QTEST_MAIN(ReportFeedTest)
#include "report_feed_test.moc"
