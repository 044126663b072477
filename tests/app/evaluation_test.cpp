#include "AppFixture.h"
#include "app/EvaluationPage.h"
#include "app/HistoryPage.h"
#include "app/Notebook.h"
#include "app/PumpPage.h"
#include "app/TestPage.h"
#include "data/Table.h"
#include "print/HistoryPlot.h"
#include "support/TemporaryHome.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

using namespace nerova;
using test::AppFixture;
using test::child;
using test::TemporaryHome;

namespace {

// The status shown for the baseline finding of a point ("Baseline curve, Point 3").
QString pointStatus(const EvaluationPage& page, int n) {
    const QTreeWidget* view = child<QTreeWidget>(page, "FindingsView");
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        if (view->topLevelItem(i)->text(1).endsWith(QStringLiteral("Point %1").arg(n)) &&
            view->topLevelItem(i)->text(1).startsWith(QStringLiteral("Baseline")))
            return view->topLevelItem(i)->text(0);
    return {};
}

} // namespace

class EvaluationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typedReadingChangesVerdict() {
        // No font of the window or its pages is ever sized 0 or below.
        static QStringList fontWarnings;
        fontWarnings.clear();
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
                if (text.contains(QStringLiteral("size <= 0")))
                    fontWarnings << text;
            });
        const auto restore = qScopeGuard([previous] { qInstallMessageHandler(previous); });
        AppFixture f;
        TMainForm1& w = f.open();
        // Volts the nameplate allows and no instruments to judge: the test now fails only on
        // the pressures of its first three points, at about 90 % of the baseline.
        f.pump().edit();
        f.pump().setValue("Electric Volt", 205.0);
        f.pump().post();
        f.test().edit();
        for (const char* name : {"Pressure Gauge", "Volt Meter", "Amp Probe", "Tachometer"})
            f.test().setValue(QStringLiteral("%1 Type").arg(QLatin1String(name)), QVariant());
        f.test().post();

        w.selectPage(3);
        Notebook* book = child<TestPage>(w, "TestPage")->testNotebook();
        const int evaluation = book->count() - 1;
        QCOMPARE(book->caption(evaluation), QStringLiteral("Evaluation"));
        EvaluationPage* page = child<TestPage>(w, "TestPage")->evaluationPage();
        QVERIFY(book->setCurrentIndex(evaluation));
        QVERIFY(child<QLabel>(*page, "VerdictLabel")->text().startsWith(QStringLiteral("Fail")));
        QCOMPARE(pointStatus(*page, 3), QStringLiteral("Fail"));
        QVERIFY2(fontWarnings.isEmpty(), qPrintable(fontWarnings.join(u'\n')));

        QVERIFY(book->setCurrentIndex(0));
        for (const auto& [n, typed] : {std::pair{1, "122"}, {2, "116"}, {3, "104"}}) {
            QWidget* field = child<TestPage>(w, "TestPage")
                                 ->pointField(QStringLiteral("Discharge Pressure%1").arg(n));
            field->setFocus();
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, typed);
        }
        // The line beside the header follows the typing, before anything is saved, and a
        // screen reader hears the verdict itself.
        QLabel* line = child<QLabel>(w, "VerdictLine");
        QTRY_VERIFY(line->text().contains(QStringLiteral("Pass")));
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(line);
        QVERIFY(spoken);
        QVERIFY2(spoken->text(QAccessible::Name).startsWith(QStringLiteral("Evaluation: Pass")),
                 qPrintable(spoken->text(QAccessible::Name)));
        QVERIFY(spoken->text(QAccessible::Name).contains(QStringLiteral("Test record: ")));
        QTest::mouseClick(child<QPushButton>(w, "SaveBtn"), Qt::LeftButton);
        QVERIFY(book->setCurrentIndex(evaluation));
        QCOMPARE(pointStatus(*page, 3), QStringLiteral("Pass"));
        QCOMPARE(child<QLabel>(*page, "VerdictLabel")->text(), QStringLiteral("Pass"));
    }

    void historyListsTestsByDateAndEveryTabShows() {
        AppFixture f;
        TMainForm1& w = f.open();
        QCOMPARE(w.size(), QSize(808, 623));
        // An earlier test stored after the demonstration one must still come first.
        Table& t = f.test();
        t.insert();
        t.setValue("TestID", "ZZ-EARLIER");
        t.setValue("Test Date", QDate(1999, 3, 4));
        t.post();
        w.selectPage(2);
        Notebook* book = child<PumpPage>(w, "PumpPage")->pumpNotebook();
        QCOMPARE(book->caption(book->count() - 1), QStringLiteral("History"));
        QVERIFY(book->setCurrentIndex(book->count() - 1));
        const QTableWidget* table = child<QTableWidget>(w, "HistoryTable");
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("ZZ-EARLIER"));
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("20010731"));
        QVERIFY(table->item(0, 0)->text().contains(QStringLiteral("1999")));
        const auto* plot =
            child<PumpPage>(w, "PumpPage")->historyPage()->findChild<HistoryPlot*>("HistoryPlot");
        QVERIFY2(plot, "the history page has no plot");
        QCOMPARE(plot->rows().size(), 2);

        // Every tab of both page controls stands whole inside the window's width.
        auto fits = [](const Notebook* nb) {
            return nb->tabBar()->sizeHint().width() <= nb->width();
        };
        QVERIFY(fits(book));
        w.selectPage(3);
        QVERIFY(fits(child<TestPage>(w, "TestPage")->testNotebook()));
    }

    void exportCsv_data() {
        QTest::addColumn<bool>("writable");
        QTest::newRow("written") << true;
        QTest::newRow("refused") << false;
    }
    void exportCsv() {
        QFETCH(bool, writable);
        const TemporaryHome home;
        QStandardPaths::setTestModeEnabled(true); // the folder last used is remembered
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(2);
        const QString path =
            writable ? f.startup.filePath("out.csv") : f.startup.filePath("missing/out.csv");
        f.prompt.files.enqueue(path);
        if (!writable)
            f.prompt.buttons.enqueue(Prompt::Button::Ok);
        QTest::mouseClick(child<QPushButton>(w, "ExportCsvButton"), Qt::LeftButton);
        // The documents folder the first time, then the folder last used.
        QCOMPARE(f.prompt.fileRequests.value(0).section('|', 1, 1),
                 home.documents() + QStringLiteral("/01 history.csv"));
        QCOMPARE(QFile::exists(path), writable);
        if (writable) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll();
            QCOMPARE(text.count("\r\n"), 2); // the header and the one test
            QVERIFY(text.contains("\r\nABC Paint Company,*,01,"));
            QVERIFY(f.prompt.messages.isEmpty());
            QTest::mouseClick(child<QPushButton>(w, "ExportCsvButton"), Qt::LeftButton);
            QCOMPARE(f.prompt.fileRequests.value(1).section('|', 1, 1),
                     f.startup.filePath(QStringLiteral("01 history.csv")));
        } else {
            QCOMPARE(f.prompt.messages.size(), 1);
            QCOMPARE(f.prompt.messages[0].kind, Prompt::Kind::Error);
        }
    }
};

QTEST_MAIN(EvaluationTest)
#include "evaluation_test.moc"
