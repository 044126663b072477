#include "data/EngineError.h"
#include "data/TableChain.h"
#include "flow/FlowEntry.h"
#include "flow/FlowMath.h"
#include "flow/FlowPointDispatcher.h"
#include "flow/FlowPointFlowMeterDlg.h"
#include "flow/FlowPointHoseMonsterDlg.h"
#include "flow/FlowPointNozzleDlg.h"
#include "prefs/PreferencesRecord.h"
#include "support/Child.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace nerova;
using nerova::test::child;
using nerova::test::ScriptedPrompt;
using nerova::test::TempDatabase;

namespace {

QString col(const char* stem, int k) {
    return QString::fromLatin1(stem).arg(k);
}

// The demonstration database (one test, device "Playpipes", flow rows for points 2, 3
// and 4) with the chain open and a dispatcher that records the points it evaluates.
struct Fixture {
    TempDatabase tmp;
    TableChain chain{tmp.db()};
    PreferencesRecord prefs;
    QList<int> evaluated;
    FlowPointDispatcher dispatcher{chain, prefs, [this](int n) { evaluated << n; }};
    ScriptedPrompt prompt;

    Fixture() {
        chain.open();
        prefs.setDefaultNozzleSize(1.75f);
        prefs.setDefaultNozzleCoefficient(0.975f);
    }
    void setDevice(const QString& device) {
        chain.test.edit();
        chain.test.setValue("Discharge Device", device);
        chain.test.post();
    }
    // The stored flow row of point n, read through a cursor of its own; empty when none.
    QVariantMap storedRow(int n) {
        Table flow(tmp.db(), TableId::Flow);
        flow.open();
        QVariantMap row;
        if (!flow.locate({"TestID", "Flow Point Number"}, {"20010731", QString::number(n)}))
            return row;
        for (const ColumnDef& c : flow.def().columns)
            row[QString::fromLatin1(c.name)] = flow.value(QString::fromLatin1(c.name));
        return row;
    }
    // Stores the dialog's values into the row of point n (a new row when there is none)
    // through the chain's flow cursor, which stays on that row.
    void save(FlowPointDialog& dlg, int n) {
        if (chain.flow.locate({"Flow Point Number"}, {QString::number(n)})) {
            chain.flow.edit();
        } else {
            chain.flow.insert();
            chain.flow.setValue("Flow Point Number", QString::number(n));
        }
        dlg.SaveFlowRow(chain.flow);
        chain.flow.post();
    }
    double stored(const QString& column) const { return chain.flow.value(column).toDouble(); }
    int storedRowCount() {
        Table flow(tmp.db(), TableId::Flow);
        flow.open();
        return flow.recordCount();
    }
    // Queues a handler for the next dialog: it checks the dialog's kind, lets fill()
    // change its entries, then presses OK or Cancel.
    template <class Dialog> void answer(std::function<void(Dialog&)> fill, bool ok = true) {
        prompt.dialogs.enqueue([fill, ok](QDialog& d) {
            auto* dlg = qobject_cast<Dialog*>(&d);
            if (!dlg)
                return int(QDialog::Rejected);
            if (fill)
                fill(*dlg);
            if (ok)
                dlg->OKBtnClick();
            else
                dlg->CancelBtnClick();
            return dlg->result();
        });
    }
};

// Opens the dialog and presses Enter steps times, naming the control that had the focus
// before each press; "closed" marks a press that closed the dialog.
QStringList enterWalk(FlowPointDialog& dlg, int steps) {
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    if (!QTest::qWaitForWindowActive(&dlg))
        return {QStringLiteral("not active")};
    QStringList seen;
    for (int i = 0; i < steps; ++i) {
        QWidget* w = QApplication::focusWidget();
        if (!w || !dlg.isVisible())
            return seen << QStringLiteral("closed");
        auto* button = qobject_cast<QPushButton*>(w);
        seen << (button ? button->text() : w->objectName());
        QTest::keyClick(w, Qt::Key_Return);
    }
    dlg.hide();
    return seen;
}

} // namespace

class FlowPointsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deviceFlow_data();
    void deviceFlow();
    void nozzleTotalAndRestoreDefaults();
    void nozzleNewPointAndClearAll();
    void nozzleStoredPointShownAsStored();
    void entriesRefuseNegativesAndEnterMovesFocus();
    void firstMeterReadingCreatesRowAndEvaluates();
    void deviceChoosesDialog_data();
    void deviceChoosesDialog();
    void flowRowGoesWithAbandonedTestChanges();
    void hoseMonsterRefusesStoredNozzleSize();
    void pointsAreIndependent();
    void noTestRowIgnored();
    void failedStoreLeavesNoHalfRow();
};

void FlowPointsTest::deviceFlow_data() {
    QTest::addColumn<bool>("monster");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("coefficient"); // not entered for a hose monster
    QTest::addColumn<double>("pitot");
    QTest::addColumn<double>("flow");
    QTest::addColumn<QString>("shown");
    QTest::newRow("nozzle at 18") << false << 1.75 << 0.975 << 18.0 << 377.89 << "378";
    QTest::newRow("nozzle at 40") << false << 1.75 << 0.975 << 40.0 << 563.33 << "563";
    QTest::newRow("nozzle, no pitot") << false << 1.75 << 0.975 << 0.0 << 0.0 << "0";
    QTest::newRow("nozzle, no coefficient") << false << 1.75 << 0.0 << 40.0 << 0.0 << "0";
    QTest::newRow("over 10,000") << false << 6.0 << 0.99 << 120.0 << 11646.13 << "11,646";
    QTest::newRow("2-1/2 at 10") << true << 2.5 << 0.0 << 10.0 << 533.38 << "533";
    QTest::newRow("2-1/2 at 25") << true << 2.5 << 0.0 << 25.0 << 843.35 << "843";
    QTest::newRow("1-3/4 at 10") << true << 1.75 << 0.0 << 10.0 << 281.57 << "282";
    QTest::newRow("1-1/8 at 10") << true << 1.125 << 0.0 << 10.0 << 118.15 << "118";
    QTest::newRow("size 2 flows nothing") << true << 2.0 << 0.0 << 10.0 << 0.0 << "0";
}

void FlowPointsTest::deviceFlow() {
    QFETCH(bool, monster);
    QFETCH(double, size);
    QFETCH(double, coefficient);
    QFETCH(double, pitot);
    QFETCH(double, flow);
    QFETCH(QString, shown);
    Fixture f;
    TFlowPointNozzleDlg1& nozzles = f.dispatcher.nozzleDialog();
    TFlowPointHoseMonsterDlg1& monsters = f.dispatcher.hoseMonsterDialog();
    FlowPointDeviceDialog& dlg = monster ? static_cast<FlowPointDeviceDialog&>(monsters) : nozzles;
    dlg.FormShow();
    dlg.findChild<FlowEntry*>("Size1Field")->setValue(size);
    if (!monster)
        child<FlowEntry>(nozzles, "Coef1Field")->setValue(coefficient);
    dlg.findChild<FlowEntry*>("Pitot1Field")->setValue(pitot);
    QVERIFY(qAbs(dlg.deviceFlow(0) - flow) < 0.01);
    QCOMPARE(dlg.findChild<QLabel*>("Flow1Label")->text(), shown);
    QCOMPARE(dlg.findChild<QLabel*>("TotalFlowLabel")->text(), shown);
}

void FlowPointsTest::nozzleTotalAndRestoreDefaults() {
    Fixture f;
    TFlowPointNozzleDlg1& dlg = f.dispatcher.nozzleDialog();
    dlg.FormShow();
    // As a click into a field does, the typing replaces the "0.0" shown.
    for (const auto& [name, typed] : {std::pair{"Pitot1Field", "18"}, {"Pitot2Field", "40"}}) {
        child<FlowEntry>(dlg, name)->selectAll();
        QTest::keyClicks(child<FlowEntry>(dlg, name), typed);
    }
    QCOMPARE(dlg.totalFlow(), 941.0);
    QCOMPARE(child<QLabel>(dlg, "TotalFlowLabel")->text(), QStringLiteral("941"));
    // Restore Defaults brings back the preferred size and coefficient, keeping the pitots.
    child<FlowEntry>(dlg, "Size1Field")->setValue(2.5);
    child<FlowEntry>(dlg, "Coef2Field")->setValue(0.9);
    dlg.RestoreDefaultsBtnClick();
    QCOMPARE(child<FlowEntry>(dlg, "Size1Field")->value(), 1.75);
    QCOMPARE(child<FlowEntry>(dlg, "Coef2Field")->value(), 0.975);
    QCOMPARE(dlg.totalFlow(), 941.0);

    QCOMPARE(totalOfRoundedFlows({100.4, 100.4, 0, 0, 0, 0, 0, 0}), 200.0);
    // Exact halves go to the even neighbour, in the total and in the displays alike.
    QCOMPARE(totalOfRoundedFlows({0.5, 1.5, 2.5, 0, 0, 0, 0, 0}), 4.0);
    QCOMPARE(flowDisplayText(2.5), QStringLiteral("2"));
}

void FlowPointsTest::nozzleNewPointAndClearAll() {
    Fixture f;
    TFlowPointNozzleDlg1& dlg = f.dispatcher.nozzleDialog();
    dlg.setFlowPoint(QStringLiteral("1"), false);
    dlg.FormShow();
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(child<FlowEntry>(dlg, QStringLiteral("Size%1Field").arg(i + 1))->text(),
                 QStringLiteral("1.750"));
        QCOMPARE(child<FlowEntry>(dlg, QStringLiteral("Coef%1Field").arg(i + 1))->text(),
                 QStringLiteral("0.975"));
        QCOMPARE(child<FlowEntry>(dlg, QStringLiteral("Pitot%1Field").arg(i + 1))->text(),
                 QStringLiteral("0.0"));
        QCOMPARE(child<QLabel>(dlg, QStringLiteral("Flow%1Label").arg(i + 1))->text(),
                 QStringLiteral("0"));
    }
    f.save(dlg, 7);
    for (int k = 1; k <= 8; ++k) {
        // The preferred figures as typed, not their single-precision neighbours.
        QCOMPARE(f.stored(col("Nozzle Size%1", k)), 1.75);
        QCOMPARE(f.stored(col("Co-efficient%1", k)), 0.975);
        QCOMPARE(f.stored(col("Pitot Pressure%1", k)), 0.0);
        QCOMPARE(f.stored(col("Calculated Flow%1", k)), 0.0);
    }

    child<FlowEntry>(dlg, "Pitot5Field")->setValue(30);
    dlg.ClearAllBtnClick();
    f.save(dlg, 7);
    for (int k = 1; k <= 8; ++k)
        for (const char* stem :
             {"Nozzle Size%1", "Co-efficient%1", "Pitot Pressure%1", "Calculated Flow%1"})
            QCOMPARE(f.stored(col(stem, k)), 0.0);
    QCOMPARE(f.stored("Flow Meter"), 0.0);
}

void FlowPointsTest::nozzleStoredPointShownAsStored() {
    Fixture f;
    // The demo's point 2: nozzle 1 at 378 gpm under a stored total of 0, as a flow meter
    // reading would have left it.
    QVERIFY(f.chain.flow.locate({"Flow Point Number"}, {"2"}));
    f.chain.flow.edit();
    f.chain.flow.setValue("Pitot Pressure1", 18.25); // more decimals than the entry shows
    f.chain.flow.post();
    TFlowPointNozzleDlg1& dlg = f.dispatcher.nozzleDialog();
    dlg.setFlowPoint(QStringLiteral("1"), true);
    dlg.FormShow();
    QCOMPARE(child<FlowEntry>(dlg, "Pitot1Field")->text(), QStringLiteral("18.3"));
    QCOMPARE(child<QLabel>(dlg, "Flow1Label")->text(), QStringLiteral("378"));
    QCOMPARE(child<QLabel>(dlg, "TotalFlowLabel")->text(), QStringLiteral("0"));

    // OK without a change stores the point as it was.
    f.save(dlg, 2);
    QCOMPARE(f.stored("Pitot Pressure1"), 18.25);
    QCOMPARE(f.stored("Calculated Flow1"), 378.0);
    QCOMPARE(f.stored("Flow Meter"), 0.0);

    // The first change anywhere recomputes the total from all eight nozzles.
    child<FlowEntry>(dlg, "Pitot6Field")->selectAll();
    QTest::keyClicks(child<FlowEntry>(dlg, "Pitot6Field"), "0");
    QCOMPARE(dlg.totalFlow(), 378.0);

    // Nothing carries over to the next, new point.
    dlg.setFlowPoint(QStringLiteral("1"), false);
    dlg.FormShow();
    QCOMPARE(child<FlowEntry>(dlg, "Pitot1Field")->value(), 0.0);
    QCOMPARE(child<QLabel>(dlg, "Flow1Label")->text(), QStringLiteral("0"));
    QCOMPARE(dlg.totalFlow(), 0.0);
}

void FlowPointsTest::entriesRefuseNegativesAndEnterMovesFocus() {
    Fixture f;
    TFlowPointNozzleDlg1& nozzles = f.dispatcher.nozzleDialog();
    nozzles.FormShow();
    child<FlowEntry>(nozzles, "Pitot1Field")->clear();
    QTest::keyClicks(child<FlowEntry>(nozzles, "Pitot1Field"), "-12.55");
    QCOMPARE(child<FlowEntry>(nozzles, "Pitot1Field")->text(), QStringLiteral("12.5"));

    // Enter walks the focus order as Tab does and never presses a button.
    QStringList expected;
    for (int k = 1; k <= 8; ++k)
        expected << col("Size%1Field", k) << col("Coef%1Field", k) << col("Pitot%1Field", k);
    const QStringList buttons{"OK", "Cancel", "Clear All", "Restore Defaults"};
    expected << buttons << "Size1Field";
    QCOMPARE(enterWalk(nozzles, 29), expected);

    TFlowPointHoseMonsterDlg1& monsters = f.dispatcher.hoseMonsterDialog();
    monsters.FormShow();
    expected.clear();
    for (int k = 1; k <= 8; ++k)
        expected << col("Size%1Field", k);
    expected << buttons;
    for (int k = 1; k <= 8; ++k)
        expected << col("Pitot%1Field", k);
    QCOMPARE(enterWalk(monsters, 20), expected);

    TFlowPointFLowMeterDlg1& meter = f.dispatcher.flowMeterDialog();
    meter.FormShow();
    QCOMPARE(enterWalk(meter, 4),
             (QStringList{"FlowMeterField", "OK", "Cancel", "FlowMeterField"}));
}

void FlowPointsTest::firstMeterReadingCreatesRowAndEvaluates() {
    Fixture f;
    f.setDevice("Flow Meter");
    QString label;
    double shown = -1;
    f.answer<TFlowPointFLowMeterDlg1>([&](TFlowPointFLowMeterDlg1& d) {
        label = child<QLabel>(d, "FlowPointNumberLabel")->text();
        shown = child<FlowEntry>(d, "FlowMeterField")->value();
        child<FlowEntry>(d, "FlowMeterField")->setValue(1250);
    });
    f.dispatcher.FlowPointDialogs(5);
    QCOMPARE(label, QStringLiteral("Flow Point #5"));
    QCOMPARE(shown, 0.0);
    // The reading waits for the test's save, and the dialog shows it meanwhile.
    QVERIFY(f.storedRow(5).isEmpty());
    f.answer<TFlowPointFLowMeterDlg1>(
        [&](TFlowPointFLowMeterDlg1& d) { shown = child<FlowEntry>(d, "FlowMeterField")->value(); },
        false);
    f.dispatcher.FlowPointDialogs(5);
    QCOMPARE(shown, 1250.0);
    QCOMPARE(f.dispatcher.pendingPoints(), QList<int>{5});
    QCOMPARE(f.chain.flow.state(), TableState::Browse);
    f.dispatcher.postTest();
    const QVariantMap row = f.storedRow(5);
    for (const char* key : {"CompanyID", "LocationID", "PumpID", "TestID"})
        QCOMPARE(row.value(key), f.chain.test.value(key));
    QCOMPARE(row.value("Flow Point Number").toString(), QStringLiteral("5"));
    QCOMPARE(row.value("Flow Meter").toDouble(), 1250.0);
    QCOMPARE(f.chain.test.value("Flow5").toDouble(), 1250.0);
    QCOMPARE(f.evaluated, QList<int>{5});
    QCOMPARE(f.chain.test.state(), TableState::Browse);

    // Opened again: the reading is shown; Cancel touches nothing.
    f.answer<TFlowPointFLowMeterDlg1>(
        [&](TFlowPointFLowMeterDlg1& d) {
            shown = child<FlowEntry>(d, "FlowMeterField")->value();
            child<FlowEntry>(d, "FlowMeterField")->setValue(99);
        },
        false);
    f.dispatcher.FlowPointDialogs(5);
    QCOMPARE(shown, 1250.0);
    QCOMPARE(f.storedRow(5).value("Flow Meter").toDouble(), 1250.0);
    QCOMPARE(f.chain.test.state(), TableState::Browse);
    QCOMPARE(f.chain.test.value("Flow5").toDouble(), 1250.0);
    QCOMPARE(f.evaluated, QList<int>{5});

    // A point stored by the nozzle dialog keeps its nozzle columns; only the total changes.
    const QVariantMap before = f.storedRow(3);
    f.answer<TFlowPointFLowMeterDlg1>(
        [](TFlowPointFLowMeterDlg1& d) { child<FlowEntry>(d, "FlowMeterField")->setValue(900); });
    f.dispatcher.FlowPointDialogs(3);
    f.dispatcher.postTest();
    QVariantMap after = f.storedRow(3);
    QCOMPARE(after.value("Flow Meter").toDouble(), 900.0);
    after["Flow Meter"] = before.value("Flow Meter");
    QCOMPARE(after, before);
    QCOMPARE(f.chain.test.value("Flow3").toDouble(), 900.0);
}

void FlowPointsTest::deviceChoosesDialog_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("caption");
    const QString nozzles = QStringLiteral("Flow Points - Nozzles");
    const QString monster = QStringLiteral("Flow Points - Hose Monster");
    QTest::newRow("playpipes") << "Playpipes" << nozzles;
    QTest::newRow("other") << "Other" << nozzles;
    QTest::newRow("empty") << "" << nozzles;
    QTest::newRow("2-1/2") << "Hose Monster 2-1/2\"" << monster;
    QTest::newRow("1-3/4") << "Hose Monster 1-3/4\"" << monster;
    QTest::newRow("1-1/8") << "Hose Monster 1-1/8\"" << monster;
    QTest::newRow("no inch mark") << "Hose Monster 2-1/2" << nozzles;
    QTest::newRow("flow meter") << "Flow Meter"
                                << "Flow Points - Flow Meter";
    QTest::newRow("other letter case") << "flow meter" << nozzles;
}

void FlowPointsTest::deviceChoosesDialog() {
    QFETCH(QString, device);
    QFETCH(QString, caption);
    Fixture f;
    f.setDevice(device);
    f.dispatcher.FlowPointDialogs(1); // no handler queued: the dialog is cancelled
    QCOMPARE(f.prompt.dialogTitles, QStringList{caption});
    QVERIFY(f.storedRow(1).isEmpty());
    QVERIFY(f.evaluated.isEmpty());
}

void FlowPointsTest::flowRowGoesWithAbandonedTestChanges() {
    Fixture f;
    QList<double> shownSizes;
    f.answer<TFlowPointNozzleDlg1>([&](TFlowPointNozzleDlg1& d) {
        shownSizes << child<FlowEntry>(d, "Size1Field")->value()
                   << child<FlowEntry>(d, "Coef1Field")->value();
        child<FlowEntry>(d, "Pitot1Field")->setValue(18);
        child<FlowEntry>(d, "Pitot2Field")->setValue(40);
    });
    f.dispatcher.FlowPointDialogs(6);
    QCOMPARE(shownSizes, (QList<double>{1.75, 0.975}));
    QCOMPARE(f.chain.test.value("Flow6").toDouble(), 941.0);
    QCOMPARE(f.evaluated, QList<int>{6});

    QCOMPARE(f.dispatcher.pendingPoints(), QList<int>{6});
    f.chain.test.cancel();
    QCOMPARE(f.chain.test.value("Flow6").toDouble(), 0.0);
    QVERIFY(f.storedRow(6).isEmpty());
    QVERIFY(f.dispatcher.pendingPoints().isEmpty());
}

void FlowPointsTest::hoseMonsterRefusesStoredNozzleSize() {
    Fixture f;
    QVERIFY(f.chain.flow.locate({"Flow Point Number"}, {"2"}));
    f.chain.flow.edit();
    f.chain.flow.setValue("Nozzle Size1", 1.5);
    f.chain.flow.post();
    f.setDevice("Hose Monster 2-1/2\"");

    double shownSize = 0;
    int refusedResult = -1;
    f.answer<TFlowPointHoseMonsterDlg1>([&](TFlowPointHoseMonsterDlg1& d) {
        shownSize = child<FlowEntry>(d, "Size1Field")->value();
        d.OKBtnClick();
        refusedResult = d.result();
        // Rows not in use (0) and every size of the table pass.
        d.RestoreDefaultsBtnClick();
        child<FlowEntry>(d, "Size2Field")->setValue(0);
        child<FlowEntry>(d, "Size3Field")->setValue(1.125);
        child<FlowEntry>(d, "Pitot1Field")->setValue(10);
    });
    f.prompt.buttons.enqueue(Prompt::Button::Ok);
    f.dispatcher.FlowPointDialogs(2);
    f.dispatcher.postTest();
    QCOMPARE(shownSize, 1.5);
    QCOMPARE(refusedResult, int(QDialog::Rejected));
    QCOMPARE(f.prompt.messages.size(), 1);
    QCOMPARE(f.prompt.messages[0].kind, Prompt::Kind::Error);
    QCOMPARE(f.prompt.messages[0].text,
             QStringLiteral("There is an incorrect Size!\n\nSizes must be:\n"
                            "  2.5      (2-1/2) or\n  1.75    (1-3/4) or\n"
                            "  1.125  (1-1/8) or\n  0.0"));

    const QVariantMap row = f.storedRow(2);
    QCOMPARE(row.value("Nozzle Size1").toDouble(), 2.5);
    QCOMPARE(row.value("Co-efficient1").toDouble(), 0.975);
    QCOMPARE(row.value("Flow Meter").toDouble(), 533.0);
    QCOMPARE(f.chain.test.value("Flow2").toDouble(), 533.0);
    QCOMPARE(f.evaluated, QList<int>{2});

    // A new point starts from the device's size in every row.
    QList<double> sizes;
    f.answer<TFlowPointHoseMonsterDlg1>(
        [&](TFlowPointHoseMonsterDlg1& d) {
            for (int k = 1; k <= 8; ++k)
                sizes << child<FlowEntry>(d, QStringLiteral("Size%1Field").arg(k))->value();
        },
        false);
    f.dispatcher.FlowPointDialogs(7);
    QCOMPARE(sizes, QList<double>(8, 2.5));
}

void FlowPointsTest::pointsAreIndependent() {
    Fixture f;
    f.setDevice("Flow Meter");
    for (int n = 1; n <= 8; ++n) {
        f.answer<TFlowPointFLowMeterDlg1>([n](TFlowPointFLowMeterDlg1& d) {
            child<FlowEntry>(d, "FlowMeterField")->setValue(100.0 * n);
        });
        f.dispatcher.FlowPointDialogs(n);
    }
    f.dispatcher.postTest();
    QCOMPARE(f.evaluated, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(f.storedRowCount(), 8);
    for (int n = 1; n <= 8; ++n) {
        QCOMPARE(f.storedRow(n).value("Flow Meter").toDouble(), 100.0 * n);
        QCOMPARE(f.chain.test.value(QStringLiteral("Flow%1").arg(n)).toDouble(), 100.0 * n);
    }
}

void FlowPointsTest::noTestRowIgnored() {
    Fixture f;
    f.chain.test.remove();
    QVERIFY(f.chain.test.isEmpty());
    f.answer<TFlowPointNozzleDlg1>({});
    f.dispatcher.FlowPointDialogs(1);
    f.dispatcher.FlowPointDialogs(9);
    QVERIFY(f.prompt.dialogTitles.isEmpty());
    QVERIFY(f.evaluated.isEmpty());
    QCOMPARE(f.chain.test.state(), TableState::Browse);
}

void FlowPointsTest::failedStoreLeavesNoHalfRow() {
    // A new test whose identifier is still blank: its save, flow rows and all, is refused.
    Fixture f;
    f.chain.test.insert();
    f.answer<TFlowPointNozzleDlg1>({});
    f.dispatcher.FlowPointDialogs(1);
    QCOMPARE(f.evaluated, QList<int>{1});
    QVERIFY_THROWS_EXCEPTION(EngineError, f.dispatcher.postTest());
    QCOMPARE(f.chain.flow.state(), TableState::Browse);
    QCOMPARE(f.chain.test.state(), TableState::Insert);
    QCOMPARE(f.storedRowCount(), 3);
    QCOMPARE(f.dispatcher.pendingPoints(), QList<int>{1});

    // Saved once named, the readings go under the name.
    f.chain.test.setValue("TestID", "20260514");
    f.dispatcher.postTest();
    QCOMPARE(f.storedRowCount(), 4);
    Table flow(f.tmp.db(), TableId::Flow);
    flow.open();
    QVERIFY(flow.locate({"TestID", "Flow Point Number"}, {"20260514", "1"}));
}

QTEST_MAIN(FlowPointsTest)
#include "flowpoints_test.moc"
