// Moving between records and pages, and what the window adapts on the way.
#include "AppFixture.h"
#include "app/ContactPage.h"
#include "app/Notebook.h"
#include "app/PumpPage.h"
#include "app/TestPage.h"
#include "data/Global.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace nerova;
using namespace nerova::test;

namespace {
const QString kLeaveText =
    QStringLiteral("Changed data must be Saved or Cancelled before changing pages.");

void addCompany(Table& t, const QString& id) {
    t.insert();
    t.setValue("CompanyID", id);
    t.post();
}
} // namespace

class NavigationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nextOnLastCompanyDoesNothing() {
        AppFixture f;
        TMainForm1& w = f.open();
        addCompany(f.company(), "AAA");
        addCompany(f.company(), "ZZZ");
        click(w, "FirstBtn");
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("1 of 3"));
        click(w, "NextBtn");
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString("ABC Paint Company"));
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("2 of 3"));
        QCOMPARE(child<QLabel>(w, "PumpIDPanel")->text(),
                 QString("01")); // the lower levels followed
        click(w, "LastBtn");
        QSignalSpy spy(&f.company(), &Table::afterScroll);
        click(w, "NextBtn");
        click(w, "LastBtn");
        QCOMPARE(spy.count(), 0);
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("3 of 3"));
        QCOMPARE(child<QLabel>(w, "PumpIDPanel")->text(), QString());
        click(w, "PriorBtn");
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString("ABC Paint Company"));
    }

    void locationPageOfCompanyWithoutLocationsStartsOne() {
        AppFixture f;
        TMainForm1& w = f.open();
        addCompany(f.company(), "New Co");
        QVERIFY(w.selectPage(1));
        QCOMPARE(f.location().state(), TableState::Insert);
        QCOMPARE(f.location().asString("LocationID"), QString("*"));
        QCOMPARE(f.location().asBool("SameAsCompany"), true);
        QCOMPARE(f.location().asString("CompanyID"), QString("New Co"));
        QVERIFY(child<ContactPage>(w, "LocationPage")->identifierField()->isEnabled());
        QVERIFY(child<QPushButton>(w, "SaveBtn")->isEnabled());
        f.prompt.clear();
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        QVERIFY(!w.selectPage(0));
        QCOMPARE(f.prompt.lastText(), kLeaveText);
        QCOMPARE(child<Notebook>(w, "MainNotebook")->currentIndex(), 1);
        QCOMPARE(w.currentPage(), 1);
        // The "*" is selected, so typing replaces it.
        QTest::keyClicks(child<ContactPage>(w, "LocationPage")->identifierField(), "Plant 2");
        click(w, "SaveBtn");
        QCOMPARE(f.location().asString("LocationID"), QString("Plant 2"));
        QVERIFY(w.selectPage(0));
        QCOMPARE(w.currentPage(), 0);
    }

    void testPageOfPumpWithoutTestsStartsInitialisedTest() {
        AppFixture f;
        setTodayForTesting([] { return QDate(2026, 3, 4); });
        TMainForm1& w = f.open();
        f.prefs.setTester(1, "Pat Doe"); // after start-up, which loads the record
        w.selectPage(2);
        f.pump().insert();
        f.pump().setValue("PumpID", "02");
        f.pump().setValue("Pump Type", "Vertical Turbine");
        f.pump().setValue("Driver Type", "Diesel");
        f.pump().post();
        QVERIFY(w.selectPage(3));
        QCOMPARE(f.test().state(), TableState::Insert);
        QCOMPARE(f.test().asBool("Velocity Pressure"), false);
        QCOMPARE(f.test().asString("Tester1"), QString("Pat Doe"));
        QCOMPARE(f.test().asDate("Test Date"), QDate(2026, 3, 4));
        QCOMPARE(f.test().asFloat("RPM8"), 0.0);
        QCOMPARE(f.test().asString("PumpID"), QString("02"));
        QCOMPARE(child<TestPage>(w, "TestPage")->suctionHeaderText(), QString("Water\nLevel"));
        QVERIFY(!child<TestPage>(w, "TestPage")->electricalEnabled());
        // A new test cannot switch sub-pages until saved once.
        f.prompt.clear();
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        QVERIFY(!child<TestPage>(w, "TestPage")->testNotebook()->setCurrentIndex(1));
        QCOMPARE(f.prompt.lastText(), kLeaveText);
        setTodayForTesting({});
    }

    void suctionHeaderAndElectricalByPump() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(3);
        QCOMPARE(child<TestPage>(w, "TestPage")->suctionHeaderText(), QString("Suction\nPress"));
        QVERIFY(child<TestPage>(w, "TestPage")->electricalEnabled());
        w.selectPage(2);
        f.pump().edit();
        f.pump().setValue("Driver Type", QVariant());
        f.pump().post();
        w.selectPage(3);
        QVERIFY(child<TestPage>(w, "TestPage")
                    ->electricalEnabled()); // an empty driver type counts as electric
    }

    void driverPagesFollowDriverType() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(2);
        Notebook* nb = child<PumpPage>(w, "PumpPage")->pumpNotebook();
        QVERIFY(nb->isPageEnabled(0));
        QVERIFY(!nb->isPageEnabled(1));
        f.pump().edit();
        f.pump().setValue("Driver Type", "Diesel");
        f.pump().post();
        f.pump().refresh(); // a record change re-reads the driver type
        QVERIFY(!nb->isPageEnabled(0));
        QVERIFY(nb->isPageEnabled(1));
        f.pump().edit();
        f.pump().setValue("Driver Type", "Steam");
        f.pump().post();
        f.pump().refresh();
        QVERIFY(!nb->isPageEnabled(0)); // unknown types leave the pages as they were
        QVERIFY(nb->isPageEnabled(1));
        Q_EMIT child<PumpPage>(w, "PumpPage")->driverTypeComboBox()->activated(3); // picked
        QVERIFY(nb->isPageEnabled(0));
        QVERIFY(nb->isPageEnabled(1));
        // Pump sub-pages may change while the pump is edited.
        f.pump().edit();
        QVERIFY(nb->setCurrentIndex(2));
    }

    void typedDriverTypeSwitchesNothing() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(2);
        Notebook* nb = child<PumpPage>(w, "PumpPage")->pumpNotebook();
        QComboBox* list = child<PumpPage>(w, "PumpPage")->driverTypeComboBox();
        list->setFocus();
        list->lineEdit()->selectAll();
        QTest::keyClicks(list, "Diesel"); // the very text of an entry
        QTest::keyClick(list, Qt::Key_Return);
        child<PumpPage>(w, "PumpPage")->field("Rotation")->setFocus();
        QVERIFY(nb->isPageEnabled(0));
        QVERIFY(!nb->isPageEnabled(1));
        QCOMPARE(f.pump().asString("Driver Type"), QString("Diesel"));
        // Picking an entry with the arrow keys does switch.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QVERIFY(!nb->isPageEnabled(0));
        QVERIFY(nb->isPageEnabled(1));
    }

    void typingADischargePressureHoldsTheSubPage() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(3);
        QWidget* field = child<TestPage>(w, "TestPage")->pointField("Discharge Pressure1");
        QVERIFY(field);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, "5");
        QCOMPARE(f.test().state(), TableState::Edit);
        QVERIFY(child<QPushButton>(w, "SaveBtn")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "NextBtn")->isEnabled());
        f.prompt.clear();
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        QVERIFY(!child<TestPage>(w, "TestPage")->testNotebook()->setCurrentIndex(1));
        QCOMPARE(f.prompt.lastText(), kLeaveText);
        QCOMPARE(child<TestPage>(w, "TestPage")->testNotebook()->currentIndex(), 0);
    }

    void timeColumnFollowsPreference() {
        AppFixture f;
        TMainForm1& w = f.open();
        f.prefs.setUseTestTime(false);
        w.selectPage(3);
        QVERIFY(!child<TestPage>(w, "TestPage")->pointField("Time1")->isEnabled());
        w.selectPage(0);
        f.prefs.setUseTestTime(true);
        w.selectPage(3);
        QVERIFY(child<TestPage>(w, "TestPage")->pointField("Time8")->isEnabled());
    }

    void hiddenPageCatchesUpWhenShown() {
        AppFixture f;
        TMainForm1& w = f.open();
        f.pump().edit();
        f.pump().setValue("Pump Mfr", "Changed while hidden");
        f.pump().post();
        w.selectPage(2);
        auto* mfr = qobject_cast<QLineEdit*>(child<PumpPage>(w, "PumpPage")->field("Pump Mfr"));
        QVERIFY(mfr);
        QCOMPARE(mfr->text(), QString("Changed while hidden"));
    }

    void lookupMenuEnablingByPage() {
        AppFixture f;
        TMainForm1& w = f.open();
        Q_EMIT child<QMenu>(w, "LookupMenu")->aboutToShow();
        QVERIFY(child<QAction>(w, "LookupName1")->isEnabled());
        QVERIFY(child<QAction>(w, "LookupAll1")->isEnabled());
        w.selectPage(2);
        Q_EMIT child<QMenu>(w, "LookupMenu")->aboutToShow();
        QVERIFY(child<QAction>(w, "LookupID1")->isEnabled());
        QVERIFY(!child<QAction>(w, "LookupName1")->isEnabled());
        QVERIFY(!child<QAction>(w, "LookupCity1")->isEnabled());
        QVERIFY(!child<QAction>(w, "LookupState1")->isEnabled());
        QVERIFY(!child<QAction>(w, "LookupAll1")->isEnabled());
    }
};

QTEST_MAIN(NavigationTest)
#include "navigation_test.moc"
