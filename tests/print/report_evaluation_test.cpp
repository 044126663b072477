#include "ReportTestSupport.h"
#include "data/Table.h"
#include "eval/EvaluationText.h"
#include "prefs/PreferencesRecord.h"
#include "print/DetailReportFrm.h"
#include "print/EvaluationSection.h"
#include "print/HistoryPlot.h"
#include "print/HistoryReport.h"
#include "print/PrintDlg.h"
#include "print/SummaryReportFrm.h"
#include "report/ProgramSettings.h"
#include "report/ReportLayout.h"
#include "report/ReportMetrics.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <cmath>

using namespace nerova;
using nerova::test::allTexts;
using nerova::test::kDemoTest;
using nerova::test::TempDatabase;

namespace {

void addTest(Database& db, const QString& testId, const QDate& date) {
    Table t(db, TableId::Test);
    t.open();
    t.append();
    t.setValue("CompanyID", kDemoTest.at(0));
    t.setValue("LocationID", kDemoTest.at(1));
    t.setValue("PumpID", kDemoTest.at(2));
    t.setValue("TestID", testId);
    if (date.isValid())
        t.setValue("Test Date", date);
    t.post();
}

} // namespace

class ReportEvaluationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(ProgramSettings::file());
    }

    void reportsCarryTheEvaluationUnlessCleared_data() {
        QTest::addColumn<bool>("detail");
        QTest::addColumn<bool>("include");
        QTest::newRow("detail") << true << true;
        QTest::newRow("detail without") << true << false;
        QTest::newRow("summary") << false << true;
        QTest::newRow("summary without") << false << false;
    }

    void reportsCarryTheEvaluationUnlessCleared() {
        QFETCH(bool, detail);
        QFETCH(bool, include);
        TempDatabase temp;
        const PreferencesRecord prefs;
        QVector<ReportPage> pages;
        if (detail) {
            TDetailReportFrm report(temp.db(), prefs);
            report.setIncludeEvaluation(include);
            QVERIFY(report.position(kDemoTest));
            pages = report.pages();
        } else {
            TSummaryReportFrm report(temp.db(), prefs);
            report.setIncludeEvaluation(include);
            QVERIFY(report.position(kDemoTest));
            pages = report.pages();
        }
        const QStringList texts = allTexts(pages);
        const QString marker =
            detail ? QStringLiteral("Verdict:  ") : QStringLiteral("Evaluation:  ");
        QCOMPARE(texts.contains(marker), include);
        QCOMPARE(texts.contains(limitsHeading()), detail && include);
        QVERIFY(!texts.contains("baselineMinimumPercent"));
        if (!include)
            return;
        const qsizetype at = texts.indexOf(marker);
        const QString verdict = texts.value(at + 1);
        QVERIFY2(verdict.startsWith("Pass") || verdict.startsWith("Fail") ||
                     verdict.startsWith("Incomplete"),
                 qPrintable(verdict));
        if (detail) {
            // The section follows the last flow-point box, under its own heading.
            QVERIFY(texts.lastIndexOf("Flow Point #") < texts.indexOf("Evaluation"));
            QCOMPARE(texts.indexOf("Evaluation") + 1, at);
        } else {
            // The verdict is followed by its failed findings and the test-record line, and
            // then only by the footer.
            const ReportPage& last = pages.last();
            const double footer = last.find("Nerova 2002")->y;
            const ReportPageItem* record = nullptr;
            for (const ReportPageItem& item : last.items)
                if (item.text.startsWith("Test record: "))
                    record = &item;
            QVERIFY(record);
            // Below the record line only its own wrapped lines.
            for (const ReportPageItem& item : last.items)
                if (item.y > record->y && item.y < footer)
                    QCOMPARE(item.x, record->x);
        }
    }

    // The limits and the findings share a page whenever they fit on one; a status too long
    // for its column wraps inside it.
    void evaluationLayout_data() {
        QTest::addColumn<int>("fillerRows");
        for (int rows : {0, 20, 30, 40})
            QTest::addRow("%d rows before", rows) << rows;
    }
    void evaluationLayout() {
        QFETCH(int, fillerRows);
        Evaluation e;
        e.verdict = TestVerdictKind::Incomplete;
        for (int n = 2; n <= 8; ++n)
            e.findings << Finding{EvaluationRule::Baseline, FindingStatus::NotEvaluated, n,
                                  QStringLiteral("Point %1").arg(n),
                                  QStringLiteral("No speed recorded at point %1.").arg(n)};
        ReportDocument doc;
        ReportSection filler;
        for (int i = 0; i < fillerRows; ++i)
            filler.rows << ReportRow().add(ReportItem::caption(0, 0, QStringLiteral("filler")));
        doc.sections << filler << EvaluationSection::detail(e);
        const QVector<ReportPage> pages = ReportLayout::layOut(doc);

        auto pageOf = [&](const QString& text) {
            for (qsizetype p = 0; p < pages.size(); ++p)
                if (pages[p].find(text))
                    return p;
            return qsizetype(-1);
        };
        QCOMPARE(pageOf(limitsHeading()), pageOf("Evaluation"));
        QCOMPARE(pageOf(limitLines().last().limit), pageOf("Evaluation"));
        int statuses = 0;
        for (const ReportPage& page : pages)
            for (const ReportPageItem& item : page.items)
                if (item.font.bold && (item.text == "Not" || item.text.startsWith("Not ") ||
                                       item.text == "evaluated")) {
                    ++statuses;
                    QVERIFY(item.x + ReportMetrics::textWidth(item.text, item.font) <=
                            doc.page.marginLeft + 20.0 + 0.01);
                }
        QVERIFY(statuses >= 7);
    }

    // The detail report ends with the certification block, kept on one page with a line to
    // sign for every tester and witness named and for the authority, and with the curve
    // sheet as its last page when asked for.
    void certificationAndCurvePage() {
        TempDatabase temp;
        test::change(temp.db(), TableId::Test,
                     {{"Tester1", "ANN TESTER"},
                      {"Tester1 License", "L-123"},
                      {"Tester1 State", "PA"},
                      {"Tester2", QVariant()},
                      {"Tester2 License", QVariant()},
                      {"Tester2 State", QVariant()},
                      {"Tester3", "BOB HELPER"},
                      {"Tester4", QVariant()},
                      {"Witness2 Name", QVariant()},
                      {"Witness2 Company", QVariant()},
                      {"Witness1 Name", "CAROL OWNER"},
                      {"AHJ Name", "DAN MARSHAL"}});
        const PreferencesRecord prefs;
        TDetailReportFrm report(temp.db(), prefs);
        QVERIFY(report.position(kDemoTest));
        const QVector<ReportPage> plain = report.pages();
        report.setIncludeCurve(true);
        const QVector<ReportPage> curved = report.pages();
        QCOMPARE(curved.size(), plain.size() + 1);

        const ReportPage& block = plain.last();
        const ReportPageItem* heading = block.find("Certification");
        QVERIFY(heading);
        for (const char* text : {"ANN TESTER", "L-123", "BOB HELPER", "CAROL OWNER", "DAN MARSHAL"})
            QVERIFY2(block.find(text) && block.find(text)->y > heading->y, text);
        int signatures = 0;
        for (const ReportPageItem& item : block.items)
            signatures += item.kind == ReportPageItem::Kind::Line && item.y > heading->y &&
                          std::abs(item.width - 90.0) < 0.01;
        QCOMPARE(signatures, 4);

        const ReportPage& sheet = curved.last();
        QVERIFY(sheet.find("Pump Curve"));
        QVERIFY(std::any_of(sheet.items.begin(), sheet.items.end(), [](const ReportPageItem& i) {
            return i.kind == ReportPageItem::Kind::Drawing && i.paint && i.height > 150;
        }));
    }

    void printDialogRemembersTheBoxAndPrintsThePumpHistory() {
        TempDatabase temp;
        PreferencesRecord prefs;
        test::ScriptedPrompt prompt;
        {
            TPrintDlg dlg(temp.db(), prefs, kDemoTest);
            dlg.show();
            auto* box = dlg.findChild<QCheckBox*>("IncludeEvaluationCheckBox");
            QVERIFY(box->isChecked());
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            // On the box itself: the widget spans the dialog, its click area does not.
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
            QVERIFY(!box->isChecked());
            QVERIFY(!ProgramSettings::flag(TPrintDlg::kIncludeEvaluationKey, true));
            auto* curve = dlg.findChild<QCheckBox*>("IncludeCurveCheckBox");
            QVERIFY(!curve->isChecked());
            QTest::mouseClick(curve, Qt::LeftButton, {}, QPoint(8, curve->height() / 2));
        }
        TPrintDlg dlg(temp.db(), prefs, kDemoTest);
        dlg.show();
        QVERIFY(!dlg.findChild<QCheckBox*>("IncludeEvaluationCheckBox")->isChecked());
        bool included = true;
        bool curve = false;
        prompt.dialogs.enqueue([&](QDialog&) {
            included = dlg.findChild<TDetailReportFrm*>()->includeEvaluation();
            curve = dlg.findChild<TDetailReportFrm*>()->includeCurve();
            return int(QDialog::Rejected);
        });
        dlg.DetailReportBtnClick();
        QVERIFY(!included);
        QVERIFY(curve);

        QString pdfName;
        prompt.dialogs.enqueue([&](QDialog&) {
            pdfName = dlg.findChild<HistoryReportHolder*>()->pdfName();
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(dlg.findChild<QPushButton*>("PumpHistoryBtn"), Qt::LeftButton);
        QCOMPARE(pdfName, QStringLiteral("ABC Paint Company - Pump 01 - Pump History.pdf"));
        QCOMPARE(prompt.dialogs.size(), 0);
        QVERIFY(prompt.messages.isEmpty());
        ProgramSettings::setFlag(TPrintDlg::kIncludeEvaluationKey, true);
        ProgramSettings::setFlag(TPrintDlg::kIncludeCurveKey, false);
    }

    void historyListsEveryTestInDateOrder() {
        TempDatabase temp;
        addTest(temp.db(), "T-LATER", QDate(2002, 8, 5));
        addTest(temp.db(), "T-UNDATED", QDate());
        addTest(temp.db(), "T-EARLIER", QDate(1999, 3, 1));
        const PreferencesRecord prefs;
        HistoryReportHolder history(temp.db(), prefs);
        QVERIFY(history.position(kDemoTest));
        const QStringList order = {"T-EARLIER", kDemoTest.at(3), "T-LATER", "T-UNDATED"};
        QCOMPARE(history.rows().size(), order.size());
        const QStringList texts = allTexts(history.pages());
        qsizetype previous = -1;
        for (const QString& id : order) {
            QVERIFY2(texts.count(id) == 1 && texts.indexOf(id) > previous, qPrintable(id));
            previous = texts.indexOf(id);
        }
        bool plotted = false;
        for (const ReportPage& page : history.pages())
            for (const ReportPageItem& item : page.items)
                plotted = plotted || (item.kind == ReportPageItem::Kind::Drawing && item.paint);
        QVERIFY(plotted);
        // The window's plot draws the same history, and an empty one, without fault.
        HistoryPlot plot;
        plot.resize(400, 220);
        for (const auto& rows : {history.rows(), QList<HistoryRow>()}) {
            plot.setRows(rows);
            QVERIFY(!plot.grab().isNull());
        }

        // Another pump's name must never head a history that is not its own.
        QVERIFY(!history.position({kDemoTest.at(0), kDemoTest.at(1), "no such pump"}));
        QVERIFY(history.rows().isEmpty());
    }
};

QTEST_MAIN(ReportEvaluationTest)
#include "report_evaluation_test.moc"
