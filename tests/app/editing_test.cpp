// Inserting, saving, cancelling and deleting through the window, and the live evaluation
// of flow points as readings are typed.
#include "AppFixture.h"
#include "app/ContactPage.h"
#include "app/Notebook.h"
#include "app/PumpPage.h"
#include "app/TestPage.h"
#include "data/Database.h"
#include "data/Global.h"
#include "eval/Calculations.h"
#include "flow/FlowEntry.h"
#include "flow/FlowPointDialog.h"
#include "print/DetailReportFrm.h"
#include "print/ReportTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace nerova;
using namespace nerova::test;

namespace {

int countRows(Database& db, TableId id) {
    Table t(db, id);
    t.open();
    return t.recordCount();
}

// A second test of the demonstration pump, with flow rows of its own.
void addSecondTest(AppFixture& f) {
    Table& test = f.test();
    test.insert();
    test.setValue("TestID", "20020101");
    test.post();
    for (int n = 1; n <= 8; ++n) {
        f.flow().insert();
        f.flow().setValue("Flow Point Number", QString::number(n));
        f.flow().post();
    }
}

} // namespace

class EditingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void insertOnLocationPage() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(1);
        click(w, "InsertBtn");
        QCOMPARE(f.location().state(), TableState::Insert);
        QCOMPARE(f.location().asString("LocationID"), QString("*"));
        QCOMPARE(f.location().asBool("SameAsCompany"), true);
        QCOMPARE(f.location().asString("CompanyID"), QString("ABC Paint Company"));
        QWidget* id = child<ContactPage>(w, "LocationPage")->identifierField();
        QVERIFY(id->isEnabled());
        QCOMPARE(w.focusWidget(), id);
        QVERIFY(!child<QPushButton>(w, "InsertBtn")->isEnabled());
        QVERIFY(child<QPushButton>(w, "CancelBtn")->isEnabled());
    }

    void insertOnTestPageInitialises() {
        AppFixture f;
        TMainForm1& w = f.open();
        f.prefs.setPressureGaugeType("Gauge X");
        f.prefs.setPressureGaugeCalDate("03/15/05");
        w.selectPage(3);
        click(w, "InsertBtn");
        Table& t = f.test();
        QCOMPARE(t.state(), TableState::Insert);
        QCOMPARE(t.asBool("Velocity Pressure"), false);
        QCOMPARE(t.asString("PumpID"), QString("01"));
        QCOMPARE(t.asString("Pressure Gauge Type"), QString("Gauge X"));
        QCOMPARE(t.asDate("Pressure Gauge Cal Date"), QDate(2005, 3, 15));
        QCOMPARE(t.asFloat("Discharge Pressure3"), 0.0);
        QCOMPARE(w.focusWidget(), child<TestPage>(w, "TestPage")->identifierField());
        // Saved without an identifier: refused, nothing lost.
        f.prompt.clear();
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        child<QPushButton>(w, "SaveBtn")->click();
        QVERIFY(f.prompt.lastText().startsWith("Field value required."));
        QCOMPARE(t.state(), TableState::Insert);
    }

    void cancelAnsweredNoKeepsTheEdit() {
        AppFixture f;
        TMainForm1& w = f.open();
        QTest::keyClicks(child<ContactPage>(w, "CompanyPage")->field("City"), "X");
        QCOMPARE(f.company().state(), TableState::Edit);
        f.prompt.buttons.enqueue(Prompt::Button::No);
        click(w, "CancelBtn");
        QCOMPARE(f.prompt.lastText(), QString("Lose changed data?"));
        QCOMPARE(f.company().state(), TableState::Edit);
        QCOMPARE(f.company().asString("City"), QString("MaplewoodX"));
        QVERIFY(child<QPushButton>(w, "SaveBtn")->isEnabled());
        f.prompt.buttons.enqueue(Prompt::Button::Yes);
        click(w, "CancelBtn");
        QCOMPARE(f.company().asString("City"), QString("Maplewood"));
        QVERIFY(!child<QPushButton>(w, "SaveBtn")->isEnabled());
    }

    void duplicateCompanyRefusedAndKeptInInsert() {
        AppFixture f;
        TMainForm1& w = f.open();
        click(w, "InsertBtn");
        QTest::keyClicks(child<ContactPage>(w, "CompanyPage")->identifierField(),
                         "ABC Paint Company");
        QTest::keyClicks(child<ContactPage>(w, "CompanyPage")->field("Name"), "Typed name");
        f.prompt.clear();
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        child<QPushButton>(w, "SaveBtn")->click();
        QVERIFY(f.prompt.lastText().startsWith("Key violation."));
        QCOMPARE(f.company().state(), TableState::Insert);
        QCOMPARE(f.company().asString("Name"), QString("Typed name"));
        QVERIFY(child<QPushButton>(w, "SaveBtn")->isEnabled());
        QCOMPARE(countRows(f.db.db(), TableId::Company), 1);
    }

    void saveDisablesIdentifierAndRefreshesPanel() {
        AppFixture f;
        TMainForm1& w = f.open();
        click(w, "InsertBtn");
        QTest::keyClicks(child<ContactPage>(w, "CompanyPage")->identifierField(), "R&D Fire");
        child<QPushButton>(w, "SaveBtn")->click();
        QCOMPARE(f.company().state(), TableState::Browse);
        QVERIFY(!child<ContactPage>(w, "CompanyPage")->identifierField()->isEnabled());
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString("R&D Fire"));
        QVERIFY(child<QPushButton>(w, "InsertBtn")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "SaveBtn")->isEnabled());
    }

    void countAfterSaveIsThePagesOwn_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("newId"); // empty: edit the last record instead
        QTest::addColumn<QString>("shown");
        QTest::newRow("company 2 of 2") << 0 << QString() << "2 of 2";
        QTest::newRow("new company") << 0 << "AAA"
                                     << "1 of 3";
        QTest::newRow("pump 2 of 2, not its location's count") << 2 << QString() << "2 of 2";
        QTest::newRow("new pump") << 2 << "00"
                                  << "1 of 3";
        QTest::newRow("test 2 of 2") << 3 << QString() << "2 of 2";
    }

    void countAfterSaveIsThePagesOwn() {
        QFETCH(int, page);
        QFETCH(QString, newId);
        QFETCH(QString, shown);
        AppFixture f;
        TMainForm1& w = f.open();
        addSecondTest(f);
        f.pump().insert();
        f.pump().setValue("PumpID", "02");
        f.pump().post();
        f.company().insert();
        f.company().setValue("CompanyID", "ZZZ");
        f.company().post();
        f.company().first();
        w.selectPage(page);
        if (newId.isEmpty()) {
            child<QPushButton>(w, "LastBtn")->click();
            QWidget* field =
                page == 0   ? child<ContactPage>(w, "CompanyPage")->field("City")
                : page == 2 ? child<PumpPage>(w, "PumpPage")->field("Pump Mfr")
                            : child<TestPage>(w, "TestPage")->pointField("Discharge Pressure1");
            QTest::keyClicks(field, "7");
        } else {
            child<QPushButton>(w, "InsertBtn")->click();
            QTest::keyClicks(w.focusWidget(), newId);
        }
        child<QPushButton>(w, "SaveBtn")->click();
        QCOMPARE(w.pageTable(page).state(), TableState::Browse);
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), shown);
    }

    void deletingATestRemovesExactlyItsFlowRows() {
        AppFixture f;
        TMainForm1& w = f.open();
        addSecondTest(f); // current: the new test with eight flow rows
        QCOMPARE(countRows(f.db.db(), TableId::Flow), 11);
        w.selectPage(3);
        f.prompt.buttons.enqueue(Prompt::Button::Yes);
        click(w, "DeleteBtn");
        QCOMPARE(f.prompt.lastText(),
                 QString("Delete this TEST and all associated FLOW POINTS?\nThis deletion is "
                         "permanent!"));
        QCOMPARE(countRows(f.db.db(), TableId::Test), 1);
        QCOMPARE(countRows(f.db.db(), TableId::Flow), 3);
        QCOMPARE(child<QLabel>(w, "TestIdPanel")->text(), QString("20010731"));
    }

    void deleteAnsweredNoKeepsEverything() {
        AppFixture f;
        TMainForm1& w = f.open();
        f.prompt.buttons.enqueue(Prompt::Button::No);
        click(w, "DeleteBtn");
        QCOMPARE(countRows(f.db.db(), TableId::Company), 1);
    }

    void companyCascadeAndCompanyWithoutLocations() {
        AppFixture f;
        TMainForm1& w = f.open();
        addSecondTest(f);
        f.company().insert();
        f.company().setValue("CompanyID", "Lonely");
        f.company().post();
        f.prompt.buttons.enqueue(Prompt::Button::Yes);
        click(w, "DeleteBtn");
        QCOMPARE(countRows(f.db.db(), TableId::Company), 1);
        QCOMPARE(countRows(f.db.db(), TableId::Location), 1);
        f.company().first();
        f.prompt.buttons.enqueue(Prompt::Button::Yes);
        click(w, "DeleteBtn");
        for (TableId id : kAllTables)
            QCOMPARE(countRows(f.db.db(), id), 0);
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString());
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("0 of 0"));
    }

    void failedCascadeRemovesNothing() {
        AppFixture f;
        TMainForm1& w = f.open();
        addSecondTest(f);
        // The disk refuses the delete of one flow row of the second test part-way.
        if (f.db.isServer())
            f.db.db().exec("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$BEGIN IF old.\"Flow Point Number\" = '5' THEN "
                           "RAISE EXCEPTION 'disk I/O error'; END IF; RETURN old; END$$; "
                           "CREATE TRIGGER refuse BEFORE DELETE ON \"NRVA2002flow\" "
                           "FOR EACH ROW EXECUTE FUNCTION refuse()");
        else
            f.db.db().exec("CREATE TEMP TRIGGER refuse BEFORE DELETE ON flow.NRVA2002flow "
                           "WHEN old.\"Flow Point Number\" = '5' BEGIN "
                           "SELECT RAISE(ABORT, 'disk I/O error'); END");
        f.company().first();
        f.prompt.clear();
        f.prompt.buttons.enqueue(Prompt::Button::Yes);
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        child<QPushButton>(w, "DeleteBtn")->click();
        QCOMPARE(f.prompt.messages.last().kind, Prompt::Kind::Error);
        QCOMPARE(countRows(f.db.db(), TableId::Company), 1);
        QCOMPARE(countRows(f.db.db(), TableId::Test), 2);
        QCOMPARE(countRows(f.db.db(), TableId::Flow), 11);
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString("ABC Paint Company"));
    }

    void typingEvaluatesEachKeystroke() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(3);
        QList<double> seen;
        connect(child<TestPage>(w, "TestPage"), &TestPage::pointInputChanged, this, [&](int n) {
            QCOMPARE(n, 3);
            seen << f.test().asFloat("Discharge Pressure3");
        });
        QWidget* field = child<TestPage>(w, "TestPage")->pointField("Discharge Pressure3");
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, "120");
        QCOMPARE(seen.mid(seen.size() - 3), (QList<double>{1, 12, 120}));
        // Point 3 of the demo pump: flow 756 at 1767 rpm, suction 54.
        const double net = NetPressure(true, false, 756, 1, 1, 0, 120, 54, 6, 6, 54);
        QCOMPARE(f.test().asFloat("Net Pressure3"), net);
        QCOMPARE(f.test().asFloat("Corrected Flow3"), CorrectedFlow(756, 1767, 1750));
        QCOMPARE(f.test().state(), TableState::Edit);
        QVERIFY(child<QPushButton>(w, "SaveBtn")->isEnabled());
    }

    // Next year's test of a pump: set up as its latest test by date, with a new test's
    // readings, times and notes.
    void newTestFromLastTakesTheLatestSetUp() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        Table& test = f.test();
        test.insert(); // identified after the demonstration test, dated before it
        test.setValue("TestID", "3000");
        test.setValue("Test Date", QDate(1999, 5, 1));
        test.setValue("Test Method", "Standpipe");
        test.post();
        f.prefs.setTester(1, "Someone Else");
        w.selectPage(3);
        QAction* fromLast = child<QAction>(w, "NewTestFromLast1");
        QVERIFY(fromLast->isEnabled());
        QTest::keySequence(&w, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
        QCOMPARE(test.state(), TableState::Insert);
        QVERIFY(!fromLast->isEnabled()); // refused during an edit, as Insert is
        const QMap<QString, QVariant> taken{{"Test Method", "Devices with hose"},
                                            {"Discharge Device", "Playpipes"},
                                            {"Tester1", "Dale Orvik, PE"},
                                            {"Tester2 License", "23456"},
                                            {"AHJ Title", "Fire Marshall"},
                                            {"Witness2 Email", "nbrackett@twoguys.example"},
                                            {"Tachometer Type", "Accurate Model 23"},
                                            {"Tachometer Cal Date", QDate(2001, 8, 6)},
                                            {"Test Date", today()},
                                            {"Discharge Pressure3", 0.0},
                                            {"Flow3", 0.0}};
        for (auto it = taken.cbegin(); it != taken.cend(); ++it)
            QCOMPARE(test.value(it.key()), it.value());
        for (const char* blank : {"TestID", "Test Start Time", "Notes", "Fuel Tank Start",
                                  "Pump Inner Bearing Temp", "Peak Flow Time"})
            QVERIFY2(test.isNull(blank), blank);

        // A point measured last time opens with its nozzles; the pitot reading is new.
        QList<double> shown;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            for (const char* name : {"Size2Field", "Coef2Field", "Pitot2Field"})
                shown << child<FlowEntry>(d, name)->value();
            return int(QDialog::Rejected);
        });
        QTest::mouseDClick(child<TestPage>(w, "TestPage")->flowField(3), Qt::LeftButton);
        QCOMPARE(shown, (QList<double>{1.75, 0.975, 0.0}));
    }

    void flowWithoutSpeedAndVerticalTurbine() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(3);
        QWidget* rpm = child<TestPage>(w, "TestPage")->pointField("RPM2");
        rpm->setFocus();
        QTest::keyClick(rpm, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(rpm, Qt::Key_Backspace);
        QVERIFY(f.test().asFloat("Net Pressure2") != 0);
        QCOMPARE(f.test().asFloat("Corrected Flow2"), 0.0);
        QCOMPARE(f.test().asFloat("Corrected Net Pressure2"), 0.0);
        QCOMPARE(f.test().asFloat("Percent Rated Flow2"), 0.0);
        click(w, "SaveBtn");

        // A vertical turbine adds its water level.
        w.selectPage(2);
        f.pump().edit();
        f.pump().setValue("Pump Type", "Vertical Turbine");
        f.pump().setValue("Pump RPM", 3500.0); // stored results stay until re-evaluated
        f.pump().post();
        w.selectPage(3);
        QCOMPARE(f.test().asFloat("Corrected Flow4"), 1117.0);
        // Typed again as it stands, a reading evaluates its point anew.
        auto* pressure = qobject_cast<QLineEdit*>(
            child<TestPage>(w, "TestPage")->pointField("Discharge Pressure4"));
        QVERIFY(pressure);
        const QString typed = pressure->text();
        pressure->setFocus();
        QTest::keyClick(pressure, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(pressure, typed);
        QCOMPARE(f.test().asFloat("Net Pressure4"),
                 NetPressure(false, false, 1126, 1, 1, 0, 84, 47, 6, 6, 47));
        QVERIFY(f.test().asFloat("Net Pressure4") > 84);
    }

    void keyOnVelocityPressureEvaluatesEveryPoint() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(3);
        int evaluated = 0;
        connect(&f.test(), &Table::fieldChanged, this, [&](int column) {
            if (f.test().def().columns[std::size_t(column)].name ==
                QByteArray("Percent Rated Flow8"))
                ++evaluated;
        });
        QWidget* box = child<TestPage>(w, "TestPage")->velocityPressureBox();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        QVERIFY(evaluated >= 1);
        QCOMPARE(f.test().asFloat("Net Pressure5"), 0.0);
        QCOMPARE(f.test().asFloat("Net Pressure1"), 56.0);
        QCOMPARE(f.test().state(), TableState::Edit);
    }

    // The rows a flow-point dialog writes during an edit of the test belong to that edit.
    void flowReadingsBelongToTheTestEdit_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("cancelled") << false;
        QTest::newRow("saved") << true;
    }
    void flowReadingsBelongToTheTestEdit() {
        QFETCH(bool, save);
        AppFixture f;
        TMainForm1& w = f.open();
        const QList<QVariantMap> before = storedFlowRows(f.db.db());
        const QStringList report = detailReport(f);
        w.selectPage(3);
        TestPage& page = *child<TestPage>(w, "TestPage");

        QWidget* reading = page.pointField("Discharge Pressure2");
        reading->setFocus();
        QTest::keyClicks(reading, "1");
        f.prompt.dialogs.enqueue([](QDialog& d) {
            child<FlowEntry>(d, "Pitot1Field")->setValue(30);
            static_cast<FlowPointDialog&>(d).OKBtnClick();
            return d.result();
        });
        QTest::mouseDClick(page.flowField(2), Qt::LeftButton);
        QVERIFY(f.prompt.dialogs.isEmpty());
        const double typedFlow = f.test().asFloat("Flow2");
        QVERIFY(typedFlow != before.value(0).value("Flow Meter").toDouble());
        // Nothing is stored while the test is in edit.
        QCOMPARE(storedFlowRows(f.db.db()), before);

        if (save) {
            QTest::mouseClick(child<QPushButton>(w, "SaveBtn"), Qt::LeftButton);
            QCOMPARE(f.test().state(), TableState::Browse);
            const QList<QVariantMap> after = storedFlowRows(f.db.db());
            QCOMPARE(after.value(0).value("Pitot Pressure1").toDouble(), 30.0);
            QCOMPARE(after.value(0).value("Flow Meter").toDouble(), typedFlow);
            QCOMPARE(after.mid(1), before.mid(1));
            return;
        }
        f.prompt.buttons.enqueue(Prompt::Button::Yes);
        QTest::mouseClick(child<QPushButton>(w, "CancelBtn"), Qt::LeftButton);
        QCOMPARE(f.test().state(), TableState::Browse);
        QCOMPARE(storedFlowRows(f.db.db()), before);
        QCOMPARE(detailReport(f), report);
        // Opened again, the point shows what is stored, not the abandoned pitot.
        double shown = -1;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            shown = child<FlowEntry>(d, "Pitot1Field")->value();
            return int(QDialog::Rejected);
        });
        QTest::mouseDClick(page.flowField(2), Qt::LeftButton);
        QCOMPARE(shown, before.value(0).value("Pitot Pressure1").toDouble());
    }

    // A new test's readings are stored under the identifier it is saved with, and a save
    // the engine refuses stores none of them.
    void newTestReadingsSavedAllOrNothing() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(3);
        click(w, "InsertBtn");
        TestPage& page = *child<TestPage>(w, "TestPage");
        f.prompt.dialogs.enqueue([](QDialog& d) {
            child<FlowEntry>(d, "Pitot1Field")->setValue(25);
            static_cast<FlowPointDialog&>(d).OKBtnClick();
            return d.result();
        });
        QTest::mouseDClick(page.flowField(3), Qt::LeftButton);
        const int rows = countRows(f.db.db(), TableId::Flow);

        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        QTest::mouseClick(child<QPushButton>(w, "SaveBtn"), Qt::LeftButton);
        QCOMPARE(f.prompt.messages.size(), 1); // no identifier: refused
        QCOMPARE(f.test().state(), TableState::Insert);
        QCOMPARE(countRows(f.db.db(), TableId::Flow), rows);

        QTest::keyClicks(page.identifierField(), "NEW-1");
        QTest::mouseClick(child<QPushButton>(w, "SaveBtn"), Qt::LeftButton);
        QCOMPARE(f.test().state(), TableState::Browse);
        Table flow(f.db.db(), TableId::Flow);
        flow.open();
        QVERIFY(flow.locate({"TestID", "Flow Point Number"}, {"NEW-1", "3"}));
        QCOMPARE(flow.asFloat("Pitot Pressure1"), 25.0);
        QCOMPARE(flow.asFloat("Flow Meter"), f.test().asFloat("Flow3"));
    }

private:
    // Every stored flow row of the demonstration test, in point order.
    static QList<QVariantMap> storedFlowRows(Database& db) {
        Table flow(db, TableId::Flow);
        flow.open();
        QList<QVariantMap> rows;
        for (flow.first(); !flow.eof(); flow.next()) {
            QVariantMap row;
            for (const ColumnDef& c : flow.def().columns)
                row[QString::fromLatin1(c.name)] = flow.value(QString::fromLatin1(c.name));
            rows << row;
        }
        return rows;
    }
    static QStringList detailReport(AppFixture& f) {
        TDetailReportFrm report(f.db.db(), f.prefs);
        report.position(kDemoTest);
        return allTexts(report.pages());
    }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
