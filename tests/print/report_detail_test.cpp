#include "ReportTestSupport.h"
#include "data/Table.h"
#include "prefs/PreferencesRecord.h"
#include "print/DetailReport.h"
#include "print/DetailReportFrm.h"
#include "print/TestReportFeed.h"
#include "print/TestReportRulesFormat.h"
#include "support/TempDatabase.h"

#include <QApplication>
#include <QTest>

using namespace nerova;
using nerova::test::allTexts;
using nerova::test::kDemoTest;
using nerova::test::TempDatabase;

namespace {

// Changes columns of a table's first row, or of the flow row of one point.
void change(Database& db, TableId id, const QVariantMap& values, const QString& point = {}) {
    Table table(db, id);
    table.open();
    if (!point.isEmpty())
        QVERIFY(table.locate({"Flow Point Number"}, {point}));
    table.edit();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        table.setValue(it.key(), it.value());
    table.post();
    table.close();
}

QVector<ReportPage> detailPages(Database& db, const PreferencesRecord& prefs = {}) {
    TDetailReportFrm detail(db, prefs);
    // A report of some other row would make every check on it meaningless.
    [&] { QVERIFY2(detail.position(kDemoTest), "demonstration test not found"); }();
    return detail.pages();
}

// The flow-point boxes in reading order: the point number each shows and its left edge.
struct Box {
    QString point;
    double x;
    double y;
};

QVector<Box> boxes(const QVector<ReportPage>& pages) {
    QVector<Box> found;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const auto& items = pages.at(p).items;
        for (qsizetype i = 0; i + 1 < items.size(); ++i) {
            if (items.at(i).text == "Flow Point #")
                found.append({items.at(i + 1).text, items.at(i).x, p * 1000 + items.at(i).y});
        }
    }
    return found;
}

} // namespace

class ReportDetailTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void demonstrationReport();
    void coverPageAddressBlock();
    void driverSections_data();
    void driverSections();
    void factoryCurveStandsOnItsFirstPressure();
    void flowPointBoxesFollowFlowsAndTheirOwnRows();
};

void ReportDetailTest::demonstrationReport() {
    TempDatabase temp;
    PreferencesRecord prefs;
    prefs.setCompanyInfo(1, "Orvik Fire Testing");
    const auto pages = detailPages(temp.db(), prefs);
    QVERIFY(pages.size() >= 3);

    // The cover stands alone: no header, footer or body.
    const ReportPage& cover = pages.first();
    for (const char* text :
         {"Fire Pump Test", "Report", "Conducted by:", "ABC Paint Company", "Orvik Fire Testing"})
        QVERIFY2(cover.find(text), text);
    for (const char* text : {"FIRE PUMP TEST REPORT", "Nerova 2002", "Company"})
        QVERIFY2(!cover.find(text), text);
    QCOMPARE(cover.find("Fire Pump Test")->y, 6.35 + 25.4);
    QCOMPARE(cover.find("Conducted by:")->y, 6.35 + 199.8);

    // Body pages carry header (date in bold) and footer; the body starts on page 2.
    for (qsizetype i = 1; i < pages.size(); ++i) {
        QVERIFY(pages.at(i).find("FIRE PUMP TEST REPORT"));
        QVERIFY(pages.at(i).find("Nerova 2002"));
    }
    QVERIFY(pages.at(1).find("Company"));
    const QStringList texts = allTexts(pages);
    for (const char* heading : {"Pump",
                                "Brake Horsepower",
                                "Electric Driver",
                                "Pump Controller",
                                "Jockey Pump",
                                "Jockey Pump Controller",
                                "Relief Valve(s)",
                                "Factory Curve",
                                "Right Angle Gear",
                                "Pump Notes",
                                "Test",
                                "Flows",
                                "Tester(s)",
                                "Authority Having Jurisdiction",
                                "Witness(es)",
                                "Diesel Fluids",
                                "Temperatures",
                                "Gauges & Meters",
                                "Test Notes",
                                "Flow Points"})
        QVERIFY2(texts.contains(heading), heading);
    QCOMPARE(texts.count("Transfer Switch"), 2);
    // The demonstration pump drives electrically; its diesel data stays out of the report.
    QVERIFY(!texts.contains("Diesel Driver"));
    QVERIFY(!texts.contains("Location"));

    // Three boxes, points 2, 3 and 4, side by side on one line.
    const QVector<Box> found = boxes(pages);
    QCOMPARE(found.size(), 3);
    const double columns[] = {6.3, 67.2, 128.1};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(found.at(i).point, QString::number(i + 2));
        QCOMPARE(found.at(i).x - 12.7 - 1.5, columns[i]);
        QCOMPARE(found.at(i).y, found.at(0).y);
    }
}

void ReportDetailTest::coverPageAddressBlock() {
    TempDatabase temp;
    // The company heads the cover; without a second address line the city comes next,
    // then the test date, then an empty line.
    auto coverLine = [](const ReportPage& cover, double fromTop) {
        for (const ReportPageItem& item : cover.items) {
            if (qAbs(item.y - 6.35 - fromTop) < 0.01)
                return item.text;
        }
        return QString("<none>");
    };
    auto pages = detailPages(temp.db());
    const QString date = TestReportRulesFormat::date(QDate(2001, 7, 31));
    QCOMPARE(coverLine(pages.first(), 112.2), QString("40 Washington Street"));
    QCOMPARE(coverLine(pages.first(), 120.1), QString("Maplewood, MD   20678"));
    QCOMPARE(coverLine(pages.first(), 128.1), date);
    QCOMPARE(coverLine(pages.first(), 136.0), QString());

    change(temp.db(), TableId::Company, {{"Address2", "Suite 4"}});
    pages = detailPages(temp.db());
    QCOMPARE(coverLine(pages.first(), 120.1), QString("Suite 4"));
    QCOMPARE(coverLine(pages.first(), 128.1), QString("Maplewood, MD   20678"));
    QCOMPARE(coverLine(pages.first(), 136.0), date);
}

void ReportDetailTest::driverSections_data() {
    QTest::addColumn<QString>("driverType");
    QTest::addColumn<bool>("electric");
    QTest::addColumn<QString>("dieselHeading");
    QTest::newRow("both") << "Electric & Diesel" << true << "Diesel Driver";
    QTest::newRow("gas") << "Gas" << false << "Gas Driver";
    QTest::newRow("diesel") << "Diesel" << false << "Diesel Driver";
    QTest::newRow("lower case") << "electric" << false << "";
    QTest::newRow("other") << "Other" << false << "";
}

void ReportDetailTest::driverSections() {
    QFETCH(QString, driverType);
    QFETCH(bool, electric);
    QFETCH(QString, dieselHeading);
    TempDatabase temp;
    // A diesel driver without fuel tank data: its fuel row stays out.
    change(temp.db(), TableId::Pump,
           {{"Driver Type", driverType},
            {"Diesel Fuel Tank Gals", 0.0},
            {"Diesel Fuel Tank Loc", QVariant()}});
    const QStringList texts = allTexts(detailPages(temp.db()));
    QCOMPARE(texts.contains("Electric Driver"), electric);
    QCOMPARE(texts.contains("Electric AMP") || texts.contains("AMP:  "), electric);
    QCOMPARE(texts.contains("Diesel Driver"), dieselHeading == "Diesel Driver");
    QCOMPARE(texts.contains("Gas Driver"), dieselHeading == "Gas Driver");
    QCOMPARE(texts.contains("# cylinders:  "), !dieselHeading.isEmpty());
    QVERIFY(!texts.contains("Fuel Tank Location:  "));
}

void ReportDetailTest::factoryCurveStandsOnItsFirstPressure() {
    TempDatabase temp;
    // 39.5 psi is the curve's seventh pressure, printed nowhere else.
    QVERIFY(allTexts(detailPages(temp.db())).contains("39.5"));
    change(temp.db(), TableId::Pump, {{"FC Pressure1", 0.0}});
    const QStringList texts = allTexts(detailPages(temp.db()));
    QVERIFY(!texts.contains("Factory Curve"));
    QVERIFY(!texts.contains("39.5"));
    QVERIFY(texts.contains("Right Angle Gear"));
}

void ReportDetailTest::flowPointBoxesFollowFlowsAndTheirOwnRows() {
    TempDatabase temp;
    // Point 3 negative: no box, and point 4 closes up beside point 2. Point 6 flows but has
    // no flow row: no box rather than a copy of another point's readings.
    change(temp.db(), TableId::Test, {{"Flow3", -5.0}, {"Flow6", 250.0}});
    auto found = boxes(detailPages(temp.db()));
    QCOMPARE(found.size(), 2);
    QCOMPARE(found.at(0).point, QString("2"));
    QCOMPARE(found.at(1).point, QString("4"));
    QCOMPARE(found.at(1).x - 12.7 - 1.5, 67.2);

    // A flow row for point 5 holding nozzle readings, with a flow: its own box, with its
    // own readings.
    Table flow(temp.db(), TableId::Flow);
    flow.open();
    flow.append();
    for (const auto& [column, value] :
         {std::pair<const char*, QVariant>{"CompanyID", kDemoTest.at(0)},
          {"LocationID", "*"},
          {"PumpID", "01"},
          {"TestID", "20010731"},
          {"Flow Point Number", "5"},
          {"Nozzle Size1", 2.5},
          {"Calculated Flow1", 1234.0}})
        flow.setValue(column, value);
    flow.post();
    flow.close();
    change(temp.db(), TableId::Test, {{"Flow5", 1234.0}});
    const auto pages = detailPages(temp.db());
    found = boxes(pages);
    QCOMPARE(found.size(), 3);
    QCOMPARE(found.at(2).point, QString("5"));
    QVERIFY(allTexts(pages).contains("2.500"));
    QVERIFY(allTexts(pages).contains("1,234"));

    // No point from 2 to 8 flowing: the heading alone.
    QVariantMap none;
    for (int n = 2; n <= 8; ++n)
        none.insert(QStringLiteral("Flow%1").arg(n), 0.0);
    change(temp.db(), TableId::Test, none);
    const auto bare = detailPages(temp.db());
    QVERIFY(boxes(bare).isEmpty());
    QVERIFY(allTexts(bare).contains("Flow Points"));
}

QTEST_MAIN(ReportDetailTest)
#include "report_detail_test.moc"
