// The Tests Due window, used as the office would: what it lists, its filters and settings,
// the way from a row to the pump, its exports, and the count on the status line.
#include "AppFixture.h"
#include "app/TestsDueDialog.h"
#include "app/TestsDueModel.h"
#include "data/Global.h"
#include "report/ProgramSettings.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QtTest>

using namespace nerova;
using namespace nerova::test;

namespace {

const QDate kToday(2026, 12, 10);

void add(Table& t, const QVariantMap& values) {
    t.insert();
    for (auto it = values.begin(); it != values.end(); ++it)
        t.setValue(it.key(), it.value());
    t.post();
}

// Beside the demonstration pump (tested in 2001): Zeta's P1 tested a year ago less ten days,
// P2 never, P3 in the spring.
void addZeta(AppFixture& f) {
    add(f.company(), {{"CompanyID", "ZETA"}, {"Name", "Zeta Sprinklers"}});
    add(f.location(), {{"LocationID", "NORTH"}});
    for (const char* id : {"P1", "P2", "P3"})
        add(f.pump(), {{"PumpID", id}, {"Pump SN", QStringLiteral("SN-%1").arg(id)}});
    f.pump().locate({"PumpID"}, {"P1"});
    add(f.test(), {{"TestID", "T1"}, {"Test Date", QDate(2025, 12, 20)}});
    f.pump().locate({"PumpID"}, {"P3"});
    add(f.test(), {{"TestID", "T1"}, {"Test Date", QDate(2026, 4, 1)}});
}

QStringList pumpsShown(TestsDueDialog& dlg) {
    QStringList ids;
    for (const DuePump& p : dlg.model().shownPumps())
        ids << p.pumpId + QLatin1Char(' ') + dueStatusText(p.status, dlg.settings().warningDays);
    return ids;
}

} // namespace

class TestsDueWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        QFile::remove(ProgramSettings::file());
        setTodayForTesting([] { return kToday; });
    }
    void cleanup() { setTodayForTesting({}); }

    void firstStartSaysWhatIsDue() {
        AppFixture f;
        TMainForm1& w = f.open();
        QTRY_COMPARE(w.testsDueStatus(),
                     QStringLiteral("1 pump overdue, 0 due within 30 days \u2014 Tests Due\u2026 "
                                    "(Ctrl+D)"));
        QCOMPARE(child<QLabel>(w, "TestsDueStatus")->text(), w.testsDueStatus());
    }

    void filterSortAndGoToThePump() {
        AppFixture f;
        TMainForm1& w = f.open();
        addZeta(f);
        // A lookup hides Zeta; going to one of its pumps replaces it, as any lookup does.
        f.company().setPrefixFilter("Name", "ABC");
        QStringList first, found, sorted;
        QString painted;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            auto& dlg = static_cast<TestsDueDialog&>(d);
            dlg.show();
            QCoreApplication::processEvents();
            // The verdict of a row in sight, as the table asks for it when painting.
            painted = dlg.model().index(0, TestsDueModel::VerdictColumn).data().toString();
            first = pumpsShown(dlg);
            QTest::keyClicks(child<QLineEdit>(dlg, "FindField"), "zeta");
            child<QCheckBox>(dlg, "NeverTestedBox")->click();
            child<QCheckBox>(dlg, "LaterBox")->click();
            found = pumpsShown(dlg);
            auto* view = child<QTableView>(dlg, "PumpsView");
            QHeaderView* header = view->horizontalHeader();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(TestsDueModel::PumpColumn) + 5,
                                     header->height() / 2));
            sorted = pumpsShown(dlg);
            view->setFocus();
            view->setCurrentIndex(view->model()->index(1, 0));
            QTest::keyClick(view, Qt::Key_Return);
            return dlg.result();
        });
        child<QAction>(w, "TestsDue1")->trigger();
        QCOMPARE(first, QStringList({"01 Overdue", "P1 Due within 30 days"}));
        QVERIFY(!painted.isEmpty() && painted != QLatin1String("Not tested"));
        // By due date, oldest first; a pump never tested is due now.
        QCOMPARE(found, QStringList({"P2 Never tested", "P1 Due within 30 days", "P3 Later"}));
        QCOMPARE(sorted, QStringList({"P1 Due within 30 days", "P2 Never tested", "P3 Later"}));
        QCOMPARE(w.currentPage(), 2);
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString("ZETA"));
        QCOMPARE(child<QLabel>(w, "PumpIDPanel")->text(), QString("P2"));
        QCOMPARE(w.testsDueStatus(),
                 QStringLiteral("1 pump overdue, 1 due within 30 days, 1 never tested \u2014 "
                                "Tests Due\u2026 (Ctrl+D)"));
    }

    void settingsChangedInTheWindowAreKept() {
        AppFixture f;
        TMainForm1& w = f.open();
        addZeta(f);
        QStringList wide, shorter;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            auto& dlg = static_cast<TestsDueDialog&>(d);
            auto* warning = child<QSpinBox>(dlg, "WarningDays");
            warning->selectAll();
            QTest::keyClicks(warning, "365");
            wide = pumpsShown(dlg);
            child<QSpinBox>(dlg, "IntervalMonths")->setValue(6);
            shorter = pumpsShown(dlg);
            return int(QDialog::Rejected);
        });
        choose(w, "TestsDue1");
        QCOMPARE(wide,
                 QStringList({"01 Overdue", "P1 Due within 365 days", "P3 Due within 365 days"}));
        QCOMPARE(shorter, QStringList({"01 Overdue", "P1 Overdue", "P3 Overdue"}));
        const DueSettings kept = TestsDueDialog::savedSettings();
        QCOMPARE(kept.warningDays, 365);
        QCOMPARE(kept.intervalMonths, 6);
        QCOMPARE(w.testsDueStatus(),
                 QStringLiteral("3 pumps overdue, 0 due within 365 days, 1 "
                                "never tested \u2014 Tests Due\u2026 (Ctrl+D)"));
    }

    void exportsTheRowsShown() {
        AppFixture f;
        TMainForm1& w = f.open();
        addZeta(f);
        const QString csv = f.startup.filePath("due");
        const QString ics = f.startup.filePath("due.ics");
        f.prompt.files << csv << ics;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            auto& dlg = static_cast<TestsDueDialog&>(d);
            QTest::keyClicks(child<QLineEdit>(dlg, "FindField"), "p1");
            child<QPushButton>(dlg, "ExportCsvButton")->click();
            child<QPushButton>(dlg, "ExportCalendarButton")->click();
            return int(QDialog::Rejected);
        });
        choose(w, "TestsDue1");
        QVERIFY(f.prompt.fileRequests.value(0).contains("Tests Due 2026-12-10.csv"));
        QFile table(csv + ".csv");
        QVERIFY(table.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = table.readAll().split('\n');
        QCOMPARE(lines.size(), 3); // header, P1, and the end of the last line
        QVERIFY(lines[1].startsWith("Zeta Sprinklers,NORTH,P1,SN-P1,2025-12-20,"));
        QFile calendar(ics);
        QVERIFY(calendar.open(QIODevice::ReadOnly));
        const QByteArray events = calendar.readAll();
        QCOMPARE(events.count("BEGIN:VEVENT"), 1);
        QVERIFY(events.contains("DTSTART;VALUE=DATE:20261220\r\n"));
    }
};

QTEST_MAIN(TestsDueWindowTest)
#include "tests_due_test.moc"
