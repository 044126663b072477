#include "data/Table.h"
#include "prefs/PreferencesRecord.h"
#include "print/CurvePoints.h"
#include "print/GraphControl.h"
#include "print/GraphPainter.h"
#include "print/PrintCurveFrm.h"
#include "report/ProgramSettings.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QCheckBox>
#include <QFile>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace nerova;

namespace {

using PointList = QList<QPointF>;

const QString kCompany = QStringLiteral("ABC Paint Company");

CurveRequest demoRequest() {
    CurveRequest r;
    r.selection[0] = CurveSelection::fromList(
        {kCompany, QStringLiteral("*"), QStringLiteral("01"), QStringLiteral("20010731")});
    r.legend[0] = QStringLiteral("2001 test");
    r.legend[4] = QStringLiteral("Rated");
    r.color[0] = 0x0000FF;
    r.color[4] = 0x008000;
    r.title1 = QStringLiteral("ABC Paint Company - 07/31/01");
    r.title2 = QStringLiteral("01");
    return r;
}

// Writes the eight measured (flow, net pressure) points of the demonstration test; with
// corrected set, into the corrected columns instead.
void setPoints(Database& db, const PointList& points, bool corrected = false) {
    Table test(db, TableId::Test);
    test.open();
    test.edit();
    for (int n = 1; n <= 8; ++n) {
        const QPointF p = points.value(n - 1);
        test.setValue(
            (corrected ? QStringLiteral("Corrected Flow%1") : QStringLiteral("Flow%1")).arg(n),
            p.x());
        test.setValue((corrected ? QStringLiteral("Corrected Net Pressure%1")
                                 : QStringLiteral("Net Pressure%1"))
                          .arg(n),
                      p.y());
    }
    test.post();
}

void setFactoryCurve(Database& db, const PointList& points) {
    Table pump(db, TableId::Pump);
    pump.open();
    pump.edit();
    for (int j = 1; j <= 10; ++j) {
        pump.setValue(QStringLiteral("FC Flow%1").arg(j), points.value(j - 1).x());
        pump.setValue(QStringLiteral("FC Pressure%1").arg(j), points.value(j - 1).y());
    }
    pump.post();
}

// The points a series holds, in row order.
PointList seriesRows(const TFlpGrf& g, int column) {
    PointList out;
    for (const auto& row : g.seriesPoints(column))
        out << QPointF(row.x, row.y);
    return out;
}

} // namespace

class CurveSheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The folder a PDF was saved into is remembered in the test area, never the user's.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_prefs.applyDefaults(); }

    void arrangesMeasuredPoints_data() {
        QTest::addColumn<PointList>("given");
        QTest::addColumn<PointList>("plotted");
        QTest::newRow("gaps at points 3, 4, 7, 8")
            << PointList{{1100, 40}, {0, 120},   {0, 0}, {0, 0},
                         {750, 90},  {400, 110}, {0, 0}, {0, 0}}
            << PointList{{0, 120}, {400, 110}, {750, 90}, {1100, 40}};
        QTest::newRow("equal flows keep the higher pressure first")
            << PointList{{1000, 95}, {500, 110}, {1000, 100}}
            << PointList{{500, 110}, {1000, 100}, {1000, 95}};
        QTest::newRow("negative pressure kept when no point is unmeasured")
            << PointList{{0, 140},  {200, 130}, {400, 120}, {600, 100},
                         {800, 80}, {1000, 50}, {1200, 10}, {1400, -5}}
            << PointList{{0, 140},  {200, 130}, {400, 120}, {600, 100},
                         {800, 80}, {1000, 50}, {1200, 10}, {1400, -5}};
        QTest::newRow("only a pressure of exactly 0 ends the points")
            << PointList{{0, 140}, {500, 0.5f}, {900, 0}} << PointList{{0, 140}, {500, 0.5f}};
    }

    void arrangesMeasuredPoints() {
        QFETCH(PointList, given);
        QFETCH(PointList, plotted);
        CurvePoints::Pairs pairs;
        for (int i = 0; i < given.size(); ++i)
            pairs[std::size_t(i)] = {float(given[i].x()), float(given[i].y())};
        const int n = CurvePoints::arrange(pairs);
        PointList got;
        for (int i = 0; i < n; ++i)
            got << QPointF(pairs[std::size_t(i)].flow, pairs[std::size_t(i)].pressure);
        QCOMPARE(got, plotted);
    }

    void smoothLineNeverRises_data() {
        QTest::addColumn<PointList>("points");
        QTest::newRow("uneven factory curve")
            << PointList{{0, 60},   {200, 58}, {400, 56},    {600, 53},
                         {750, 50}, {800, 49}, {1000, 39.5}, {1125, 32.5}};
        QTest::newRow("two readings at one flow")
            << PointList{{0, 140}, {500, 110}, {1000, 100}, {1000, 95}, {1200, 60}};
    }

    void smoothLineNeverRises() {
        QFETCH(PointList, points);
        const QPainterPath path = GraphPainter::smoothPath(points);
        QCOMPARE(path.pointAtPercent(0), points.first());
        QCOMPARE(path.currentPosition(), points.last());
        const QPolygonF line = path.toSubpathPolygons().value(0);
        QVERIFY(line.size() > points.size());
        for (qsizetype i = 1; i < line.size(); ++i) {
            QVERIFY2(line[i].x() >= line[i - 1].x() - 1e-9, qPrintable(QString::number(i)));
            QVERIFY2(line[i].y() <= line[i - 1].y() + 1e-9,
                     qPrintable(QStringLiteral("rises at %1 gpm").arg(line[i].x())));
        }
    }

    void buildsTheSheetWithRatedPoints() {
        test::TempDatabase tdb;
        setPoints(tdb.db(), {{1100, 40}, {0, 120}, {0, 0}, {0, 0}, {750, 90}, {400, 110}});
        m_prefs.setCurvedLines(true);
        m_prefs.setPrintGridLines(true);
        m_prefs.setExponentialXAxis(true);
        CurveRequest r = demoRequest();
        r.plotRatingPoints = true;
        r.connectRatingPoints = false;
        TPrintCurveFrm frm(tdb.db(), m_prefs, r);
        frm.show();
        TFlpGrf& g = frm.graph();

        QCOMPARE(frm.windowTitle(), QStringLiteral("Pump Curve(s)"));
        QVERIFY(!(frm.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(g.dataInit(), 6);
        QCOMPARE(g.graphTitle(), QStringLiteral("ABC Paint Company - 07/31/01;01"));
        QCOMPARE(g.graphSubtitle(),
                 QStringLiteral("Rating: 750 gpm at 50 psi, 1,750 rpm; churn 60 psi; "
                                "overload 1,125 gpm at 32.5 psi"));
        QCOMPARE(g.legendColumns(), 2);

        // Four measured points in rows 1 to 4 in flow order; rows 5 to 8 stay outside.
        g.setColumn(1);
        QCOMPARE(g.columnType(), GraphProperties::kSmooth);
        QCOMPARE(g.columnStyle(), 12);
        QCOMPARE(g.columnRowStart(), 1);
        QCOMPARE(g.columnRowEnd(), 4);
        QCOMPARE(g.columnColor(), 0x0000FFu);
        QCOMPARE(seriesRows(g, 1), (PointList{{0, 120}, {400, 110}, {750, 90}, {1100, 40}}));
        QVERIFY(!g.row(5).hasX && !g.row(5).hasY);

        // Rated points of curve 1's pump, not joined: markers only.
        g.setColumn(5);
        QCOMPARE(g.columnType(), GraphProperties::kPointsOnly);
        QCOMPARE(g.columnStyle(), 6);
        QCOMPARE(g.columnRowStart(), 33);
        QCOMPARE(g.columnRowEnd(), 35);
        QCOMPARE(g.columnLegend(), QStringLiteral("Rated"));
        QCOMPARE(seriesRows(g, 5), (PointList{{0, 60}, {750, 50}, {1125, 32.5}}));

        // Curves that were not asked for get nothing at all.
        for (int k = 2; k <= 4; ++k) {
            g.setColumn(k);
            QCOMPARE(g.columnType(), GraphProperties::kNotDrawn);
            QCOMPARE(g.columnRowEnd(), 0);
            QVERIFY(g.columnLegend().isEmpty());
            QVERIFY(seriesRows(g, k).isEmpty());
        }

        g.setAxis(1);
        QCOMPARE(g.axisTitle(), QStringLiteral("Net pressure, psi, as measured"));
        QVERIFY(g.axisScaleManual());
        QCOMPARE(g.axisScaleMin(), 0.0);
        QVERIFY(g.axisGrid());
        g.setAxis(0);
        QCOMPARE(g.axisTitle(), QStringLiteral("Flow (gpm)"));
        QCOMPARE(g.axisFunction(), GraphProperties::kPower);
        QCOMPARE(g.axisFunctionVar(), 1.85);
        QVERIFY(!g.axisScaleManual());
    }

    // The pressure axis says whether the curves are as measured or at rated speed; a sheet
    // mixing both says it of each curve in the legend.
    void pressureAxisSaysWhatItShows_data() {
        QTest::addColumn<bool>("corrected1");
        QTest::addColumn<bool>("corrected2"); // curve 2 included
        QTest::addColumn<QString>("axis");
        QTest::addColumn<QString>("legend1");
        const QString atSpeed = QStringLiteral("corrected to rated speed (1,750 rpm)");
        QTest::newRow("corrected")
            << true << true << "Net pressure, psi, " + atSpeed << "2001 test";
        QTest::newRow("mixed") << false << true
                               << "Net pressure, psi, as measured or " + atSpeed + " (see legend)"
                               << "2001 test (as measured)";
    }
    void pressureAxisSaysWhatItShows() {
        QFETCH(bool, corrected1);
        QFETCH(bool, corrected2);
        QFETCH(QString, axis);
        QFETCH(QString, legend1);
        test::TempDatabase tdb;
        CurveRequest r = demoRequest();
        r.selection[1] = r.selection[0];
        r.included[1] = true;
        r.corrected = {corrected1, corrected2, false, false};
        TPrintCurveFrm frm(tdb.db(), m_prefs, r);
        frm.show();
        TFlpGrf& g = frm.graph();
        g.setAxis(1);
        QCOMPARE(g.axisTitle(), axis);
        g.setColumn(1);
        QCOMPARE(g.columnLegend(), legend1);
    }

    void flowAxisIsExponentialPaper() {
        test::TempDatabase tdb;
        m_prefs.setExponentialXAxis(true);
        m_prefs.setCurvedLines(false); // the axis follows its own preference only
        TPrintCurveFrm frm(tdb.db(), m_prefs, demoRequest());
        frm.show();
        const GraphPainter::Scale x = GraphPainter(frm.graph()).xScale();
        QCOMPARE(x.min, 0.0);
        QVERIFY(x.max >= 1126.0);
        QCOMPARE(x.position(x.max), 1.0);
        QVERIFY(qAbs(x.position(500) / x.position(1000) - std::pow(0.5, 1.85)) < 1e-9);
        // Ticks stand at round flows and the grid follows them.
        for (double t : x.ticks)
            QCOMPARE(std::fmod(t, 100.0), 0.0);
        const GraphPainter::Scale y = GraphPainter(frm.graph()).yScale();
        QCOMPARE(y.min, 0.0);
        QVERIFY(y.max > 56.0);

        frm.XAxisChange(false);
        QCOMPARE(GraphPainter(frm.graph()).xScale().position(500) * 2,
                 GraphPainter(frm.graph()).xScale().position(1000));
    }

    void loadsLaterCurvesFromTheirOwnRows() {
        test::TempDatabase tdb;
        setPoints(tdb.db(), {{1000, 95}, {500, 110}, {1000, 100}, {0, 140}}, true);
        CurveRequest r = demoRequest();
        r.included[1] = true;
        r.corrected[1] = true;
        r.legend[1] = QStringLiteral("Corrected");
        TPrintCurveFrm frm(tdb.db(), m_prefs, r);
        frm.show();
        TFlpGrf& g = frm.graph();
        g.setColumn(2);
        QCOMPARE(g.columnRowStart(), 9);
        QCOMPARE(g.columnRowEnd(), 12);
        QCOMPARE(g.columnPattern(), 1);
        QCOMPARE(g.columnStyle(), 11);
        QCOMPARE(seriesRows(g, 2), (PointList{{0, 140}, {500, 110}, {1000, 100}, {1000, 95}}));
        // No rating or factory curve asked for: series 5 is not drawn.
        g.setColumn(5);
        QCOMPARE(g.columnType(), GraphProperties::kNotDrawn);
        QCOMPARE(g.columnStyle(), 0);
    }

    void factoryCurveStopsAtTheFirstZeroPressure() {
        test::TempDatabase tdb;
        setFactoryCurve(tdb.db(), {{0, 150},
                                   {250, 145},
                                   {500, 135},
                                   {750, 120},
                                   {1000, 95},
                                   {1250, 0},
                                   {1500, 60},
                                   {1750, 40},
                                   {2000, 20},
                                   {2250, 10}});
        m_prefs.setCurvedLines(false);
        CurveRequest r = demoRequest();
        r.plotFactoryCurve = true;
        r.connectRatingPoints = false;
        TPrintCurveFrm frm(tdb.db(), m_prefs, r);
        frm.show();
        TFlpGrf& g = frm.graph();
        g.setColumn(5);
        QCOMPARE(g.columnRowStart(), 33);
        QCOMPARE(g.columnRowEnd(), 38);
        QCOMPARE(g.columnType(), GraphProperties::kStraight);
        QVERIFY(!g.row(33).isPoint());
        QVERIFY(!g.row(39).isPoint());
        QCOMPARE(seriesRows(g, 5),
                 (PointList{{0, 150}, {250, 145}, {500, 135}, {750, 120}, {1000, 95}}));

        // The options change this sheet only; a factory curve keeps its line.
        const QByteArray before = m_prefs.bytes();
        frm.LinesChange(true);
        g.setColumn(1);
        QCOMPARE(g.columnType(), GraphProperties::kSmooth);
        g.setColumn(5);
        QCOMPARE(g.columnType(), GraphProperties::kStraight);
        frm.PrintGridLinesChange(true);
        for (int axis = 0; axis <= 1; ++axis) {
            g.setAxis(axis);
            QVERIFY(g.axisGrid());
            QCOMPARE(g.axisGridPattern(), 1);
        }
        frm.PrintGridLinesChange(false);
        g.setAxis(1);
        QVERIFY(!g.axisGrid());
        QCOMPARE(m_prefs.bytes(), before);
    }

    void joinedRatedPointsFollowTheLineOption() {
        test::TempDatabase tdb;
        m_prefs.setCurvedLines(true);
        m_prefs.setExponentialXAxis(false);
        CurveRequest r = demoRequest();
        r.plotRatingPoints = true;
        r.connectRatingPoints = true;
        r.title2.clear();
        TPrintCurveFrm frm(tdb.db(), m_prefs, r);
        frm.show();
        TFlpGrf& g = frm.graph();
        g.setAxis(0);
        QCOMPARE(g.axisFunction(), GraphProperties::kLinear);
        QCOMPARE(g.graphTitle(), QStringLiteral("ABC Paint Company - 07/31/01"));
        g.setColumn(5);
        QCOMPARE(g.columnType(), GraphProperties::kSmooth);
        frm.LinesChange(false);
        g.setColumn(5);
        QCOMPARE(g.columnType(), GraphProperties::kStraight);
    }

    void printsOnlyAfterPrint() {
        test::TempDatabase tdb;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
        test::ScriptedPrompt prompt;
        m_prefs.setCurvePrintQuality(3);
        CurveRequest r = demoRequest();
        r.plotRatingPoints = true;
        r.connectRatingPoints = true;

        // Cancel: nothing reaches a printer.
        {
            TPrintCurveFrm frm(tdb.db(), m_prefs, r);
            prompt.dialogs.enqueue([](QDialog& d) {
                auto& shown = static_cast<TPrintCurveFrm&>(d);
                shown.show();
                shown.CancelBtnClick();
                return d.result();
            });
            if (prompt.runDialog(frm) == QDialog::Accepted)
                frm.print();
            QCOMPARE(prompt.dialogTitles, QStringList{QStringLiteral("Pump Curve(s)")});
        }

        // Print: the print dialog is offered and the sheet goes where it was sent.
        TPrintCurveFrm frm(tdb.db(), m_prefs, r);
        frm.show();
        frm.PrintBtnClick();
        QCOMPARE(frm.result(), int(QDialog::Accepted));
        prompt.dialogs.enqueue([&](QDialog& d) {
            auto* printer = static_cast<QPrintDialog&>(d).printer();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return int(QDialog::Accepted);
        });
        QVERIFY(frm.print());
        QCOMPARE(frm.graph().printQuality(), -3);
        QCOMPARE(frm.graph().printOrientation(), 0);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
    }

    void printQualityOutsideItsRangeLeavesThePrinterAlone() {
        test::TempDatabase tdb;
        test::ScriptedPrompt prompt;
        m_prefs.setCurvePrintQuality(7);
        TPrintCurveFrm frm(tdb.db(), m_prefs, demoRequest());
        frm.show();
        QVERIFY(!frm.print()); // the print dialog was cancelled
        QCOMPARE(frm.graph().printQuality(), 0);
        QCOMPARE(TFlpGrf::resolutionForQuality(0), 0);
        QVERIFY(TFlpGrf::resolutionForQuality(-1) < TFlpGrf::resolutionForQuality(-4));
    }

    void savesTheDemonstrationSheetAsPdf() {
        test::TempDatabase tdb;
        QTemporaryDir dir;
        test::ScriptedPrompt prompt;
        const QString path = dir.filePath(QStringLiteral("demo curve"));
        prompt.files.enqueue(path);
        m_prefs.setPrintGridLines(true);
        CurveRequest r = demoRequest();
        r.plotRatingPoints = true;
        r.connectRatingPoints = true;
        TPrintCurveFrm frm(tdb.db(), m_prefs, r);
        frm.show();
        QVERIFY(frm.SaveAsPdfBtnClick());
        QVERIFY(prompt.fileRequests.first().contains(
            QStringLiteral("/ABC Paint Company - Pump 01 - 2001-07-31 - Pump Curve.pdf|")));
        QFile file(path + QStringLiteral(".pdf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QVERIFY(file.size() > 1000);
        QVERIFY(prompt.messages.isEmpty());
    }

    void baselineLimitLineIsOptionalAndRemembered() {
        test::TempDatabase tdb;
        setFactoryCurve(tdb.db(), {{0, 100}, {500, 90}, {1000, 70}});
        ProgramSettings::setFlag(TPrintCurveFrm::kBaselineLimitKey, false);
        {
            TPrintCurveFrm frm(tdb.db(), m_prefs, demoRequest());
            frm.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frm));
            QCOMPARE(frm.graph().dataInit(), 6);
            auto* box = frm.findChild<QCheckBox*>(QStringLiteral("BaselineLimitCheckBox"));
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        }
        TPrintCurveFrm frm(tdb.db(), m_prefs, demoRequest());
        frm.show();
        TFlpGrf& g = frm.graph();
        g.setColumn(TPrintCurveFrm::kBaselineLimitSeries);
        QCOMPARE(g.columnPattern(), 1);
        QCOMPARE(seriesRows(g, TPrintCurveFrm::kBaselineLimitSeries),
                 (PointList{{0, 95}, {500, 85.5}, {1000, 66.5}}));
        frm.BaselineLimitChange(false);
        QVERIFY(seriesRows(g, TPrintCurveFrm::kBaselineLimitSeries).isEmpty());
        QVERIFY(!ProgramSettings::flag(TPrintCurveFrm::kBaselineLimitKey, true));
    }

private:
    PreferencesRecord m_prefs;
};

QTEST_MAIN(CurveSheetTest)
#include "curve_sheet_test.moc"
