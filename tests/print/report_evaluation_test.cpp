#include "ReportTestSupport.h"
#include "data/Table.h"
#include "prefs/PreferencesRecord.h"
#include "print/DetailReportFrm.h"
#include "print/HistoryPlot.h"
#include "print/HistoryReport.h"
#include "print/PrintDlg.h"
#include "print/SummaryReportFrm.h"
#include "report/ProgramSettings.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

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
        QCOMPARE(texts.contains("baselineMinimumPercent"), detail && include);
        if (!include)
            return;
        const qsizetype at = texts.indexOf(marker);
        QVERIFY(QStringList({"Pass", "Fail", "Incomplete"}).contains(texts.value(at + 1)));
        if (detail) {
            // The section follows the last flow-point box, under its own heading.
            QVERIFY(texts.lastIndexOf("Flow Point #") < texts.indexOf("Evaluation"));
            QCOMPARE(texts.indexOf("Evaluation") + 1, at);
        } else {
            // Nothing of the body comes after the verdict; only the footer does.
            const ReportPage& last = pages.last();
            const double footer = last.find("Nerova 2002")->y;
            for (const ReportPageItem& item : last.items)
                QVERIFY(item.y <= last.find(marker)->y || item.y >= footer);
        }
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
        }
        TPrintDlg dlg(temp.db(), prefs, kDemoTest);
        dlg.show();
        QVERIFY(!dlg.findChild<QCheckBox*>("IncludeEvaluationCheckBox")->isChecked());
        bool included = true;
        prompt.dialogs.enqueue([&](QDialog&) {
            included = dlg.findChild<TDetailReportFrm*>()->includeEvaluation();
            return int(QDialog::Rejected);
        });
        dlg.DetailReportBtnClick();
        QVERIFY(!included);

        QString pdfName;
        prompt.dialogs.enqueue([&](QDialog&) {
            pdfName = dlg.findChild<THistoryReportFrm*>()->pdfName();
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(dlg.findChild<QPushButton*>("PumpHistoryBtn"), Qt::LeftButton);
        QCOMPARE(pdfName, QStringLiteral("ABC Paint Company - Pump 01 - Pump History.pdf"));
        QCOMPARE(prompt.dialogs.size(), 0);
        QVERIFY(prompt.messages.isEmpty());
        ProgramSettings::setFlag(TPrintDlg::kIncludeEvaluationKey, true);
    }

    void historyListsEveryTestInDateOrder() {
        TempDatabase temp;
        addTest(temp.db(), "T-LATER", QDate(2002, 8, 5));
        addTest(temp.db(), "T-UNDATED", QDate());
        addTest(temp.db(), "T-EARLIER", QDate(1999, 3, 1));
        const PreferencesRecord prefs;
        THistoryReportFrm history(temp.db(), prefs);
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
