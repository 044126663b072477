#include "data/TableChain.h"
#include "flow/FlowEntry.h"
#include "flow/FlowMath.h"
#include "flow/FlowPointFlowMeterDlg.h"
#include "flow/FlowPointHoseMonsterDlg.h"
#include "flow/FlowPointNozzleDlg.h"
#include "settings/PreferencesRecord.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace nerova;
using nerova::test::ScriptedPrompt;
using nerova::test::TempDatabase;

namespace {

QString col(const char* stem, int k) {
    return QString::fromLatin1(stem).arg(k);
}

// The demonstration database with its chain open on the demo test, whose flow rows hold
// points 2, 3 and 4.
struct Fixture {
    TempDatabase tmp;
    TableChain chain{tmp.db()};
    PreferencesRecord prefs;
    ScriptedPrompt prompt;

    Fixture() {
        chain.open();
        prefs.setDefaultNozzleSize(1.75f);
        prefs.setDefaultNozzleCoefficient(0.975f);
    }
    // Makes the flow row of point n current; false when there is none.
    bool atPoint(int n) { return chain.flow.locate({"Flow Point Number"}, {QString::number(n)}); }
    // A new flow row for point n, left in insert for a dialog to fill.
    void newRow(int n) {
        chain.flow.insert();
        chain.flow.setValue("Flow Point Number", QString::number(n));
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

class CalculatorsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nozzleFlow_data();
    void nozzleFlow();
    void hoseMonsterFlow_data();
    void hoseMonsterFlow();
    void totalIsSumOfRoundedFlows();
    void nozzleNewPointSavesDefaults();
    void nozzleStoredPointShownAsStored();
    void nozzleRestoreDefaultsKeepsPitots();
    void hoseMonsterSizeCheck();
    void hoseMonsterKeepsCoefficients();
    void flowMeterShowsAndSavesOnlyItsColumn();
    void entriesRefuseNegativesAndEnterMovesFocus();
};

void CalculatorsTest::nozzleFlow_data() {
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("coefficient");
    QTest::addColumn<double>("pitot");
    QTest::addColumn<double>("flow");
    QTest::addColumn<QString>("shown");
    QTest::newRow("pitot 18") << 1.75 << 0.975 << 18.0 << 377.89 << "378";
    QTest::newRow("pitot 40") << 1.75 << 0.975 << 40.0 << 563.33 << "563";
    QTest::newRow("no pitot") << 1.75 << 0.975 << 0.0 << 0.0 << "0";
    QTest::newRow("no size") << 0.0 << 0.975 << 40.0 << 0.0 << "0";
    QTest::newRow("no coefficient") << 1.75 << 0.0 << 40.0 << 0.0 << "0";
    QTest::newRow("over 10,000") << 6.0 << 0.99 << 120.0 << 11646.13 << "11,646";
}

void CalculatorsTest::nozzleFlow() {
    QFETCH(double, size);
    QFETCH(double, coefficient);
    QFETCH(double, pitot);
    QFETCH(double, flow);
    QFETCH(QString, shown);
    Fixture f;
    TFlowPointNozzleDlg1 dlg(f.chain.flow, f.prefs);
    dlg.FormShow();
    dlg.SizeFields[0]->setValue(size);
    dlg.CoefFields[0]->setValue(coefficient);
    dlg.PitotFields[0]->setValue(pitot);
    QVERIFY(qAbs(dlg.NozzleFlow[0] - flow) < 0.01);
    QCOMPARE(dlg.FlowLabels[0]->text(), shown);
    QCOMPARE(dlg.TotalFlowLabel->text(), shown);

    // Typing into another nozzle's row adds its rounded flow to the total.
    if (shown == QLatin1String("378")) {
        QTest::keyClicks(dlg.PitotFields[1], "40");
        QCOMPARE(dlg.FlowLabels[1]->text(), QStringLiteral("563"));
        QCOMPARE(dlg.TotalFlow, 941.0);
        QCOMPARE(dlg.TotalFlowLabel->text(), QStringLiteral("941"));
    }
}

void CalculatorsTest::hoseMonsterFlow_data() {
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("pitot");
    QTest::addColumn<double>("flow");
    QTest::addColumn<QString>("shown");
    QTest::newRow("2.5 at 10") << 2.5 << 10.0 << 533.38 << "533";
    QTest::newRow("2.5 at 25") << 2.5 << 25.0 << 843.35 << "843";
    QTest::newRow("1.75 at 10") << 1.75 << 10.0 << 281.57 << "282";
    QTest::newRow("1.125 at 10") << 1.125 << 10.0 << 118.15 << "118";
    QTest::newRow("size 2 flows nothing") << 2.0 << 10.0 << 0.0 << "0";
}

void CalculatorsTest::hoseMonsterFlow() {
    QFETCH(double, size);
    QFETCH(double, pitot);
    QFETCH(double, flow);
    QFETCH(QString, shown);
    Fixture f;
    TFlowPointHoseMonsterDlg1 dlg(f.chain.flow, f.chain.test);
    dlg.FormShow();
    dlg.SizeFields[0]->setValue(size);
    dlg.PitotFields[0]->setValue(pitot);
    QVERIFY(qAbs(dlg.MonsterFlow[0] - flow) < 0.01);
    QCOMPARE(dlg.FlowLabels[0]->text(), shown);
    QCOMPARE(dlg.TotalFlowLabel->text(), shown);
}

void CalculatorsTest::totalIsSumOfRoundedFlows() {
    QCOMPARE(totalOfRoundedFlows({100.4, 100.4, 0, 0, 0, 0, 0, 0}), 200.0);
    // Exact halves go to the even neighbour.
    QCOMPARE(totalOfRoundedFlows({0.5, 1.5, 2.5, 0, 0, 0, 0, 0}), 4.0);
    QCOMPARE(flowDisplayText(2.5), QStringLiteral("2"));
}

void CalculatorsTest::nozzleNewPointSavesDefaults() {
    Fixture f;
    TFlowPointNozzleDlg1 dlg(f.chain.flow, f.prefs);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Flow Points - Nozzles"));
    dlg.FlowRowFound = false;
    dlg.FormShow();
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(dlg.SizeFields[i]->text(), QStringLiteral("1.75"));
        QCOMPARE(dlg.CoefFields[i]->text(), QStringLiteral("0.975"));
        QCOMPARE(dlg.PitotFields[i]->text(), QStringLiteral("0"));
        QCOMPARE(dlg.FlowLabels[i]->text(), QStringLiteral("0"));
    }
    QCOMPARE(dlg.TotalFlowLabel->text(), QStringLiteral("0"));

    f.newRow(7);
    dlg.SaveFlowRow(f.chain.flow);
    f.chain.flow.post();
    QVERIFY(f.atPoint(7));
    for (int k = 1; k <= 8; ++k) {
        // The preferred figures as the user typed them, not single-precision neighbours.
        QCOMPARE(f.chain.flow.value(col("Nozzle Size%1", k)).toDouble(), 1.75);
        QCOMPARE(f.chain.flow.value(col("Co-efficient%1", k)).toDouble(), 0.975);
        QCOMPARE(f.chain.flow.value(col("Pitot Pressure%1", k)).toDouble(), 0.0);
        QCOMPARE(f.chain.flow.value(col("Calculated Flow%1", k)).toDouble(), 0.0);
    }
    QCOMPARE(f.chain.flow.value("Flow Meter").toDouble(), 0.0);

    // Clear All then OK stores zeros in every column the dialog owns.
    dlg.PitotFields[4]->setValue(30);
    dlg.ClearAllBtnClick();
    f.chain.flow.edit();
    dlg.SaveFlowRow(f.chain.flow);
    f.chain.flow.post();
    for (int k = 1; k <= 8; ++k)
        for (const char* stem :
             {"Nozzle Size%1", "Co-efficient%1", "Pitot Pressure%1", "Calculated Flow%1"})
            QCOMPARE(f.chain.flow.value(col(stem, k)).toDouble(), 0.0);
    QCOMPARE(f.chain.flow.value("Flow Meter").toDouble(), 0.0);
}

void CalculatorsTest::nozzleStoredPointShownAsStored() {
    Fixture f;
    // The demo's point 2: nozzle 1 at 378 gpm, but a stored total of 0 (as a flow meter
    // reading would leave it).
    QVERIFY(f.atPoint(2));
    f.chain.flow.edit();
    f.chain.flow.setValue("Pitot Pressure1", 18.25); // more decimals than the entry shows
    f.chain.flow.post();
    TFlowPointNozzleDlg1 dlg(f.chain.flow, f.prefs);
    dlg.FlowRowFound = true;
    dlg.FormShow();
    QCOMPARE(dlg.PitotFields[0]->text(), QStringLiteral("18.3"));
    QCOMPARE(dlg.FlowLabels[0]->text(), QStringLiteral("378"));
    QCOMPARE(dlg.TotalFlowLabel->text(), QStringLiteral("0"));
    QCOMPARE(dlg.TotalFlow, 0.0);

    // OK without a change stores the point as it was.
    f.chain.flow.edit();
    dlg.SaveFlowRow(f.chain.flow);
    f.chain.flow.post();
    QCOMPARE(f.chain.flow.value("Pitot Pressure1").toDouble(), 18.25);
    QCOMPARE(f.chain.flow.value("Calculated Flow1").toDouble(), 378.0);
    QCOMPARE(f.chain.flow.value("Flow Meter").toDouble(), 0.0);

    // The first change anywhere recomputes the total from all eight nozzles.
    QTest::keyClicks(dlg.PitotFields[5], "0");
    QCOMPARE(dlg.TotalFlow, 378.0);
    QCOMPARE(dlg.TotalFlowLabel->text(), QStringLiteral("378"));

    // Nothing carries over to the next, new point.
    dlg.FlowRowFound = false;
    dlg.FormShow();
    QCOMPARE(dlg.PitotFields[0]->value(), 0.0);
    QCOMPARE(dlg.FlowLabels[0]->text(), QStringLiteral("0"));
    QCOMPARE(dlg.TotalFlow, 0.0);
}

void CalculatorsTest::nozzleRestoreDefaultsKeepsPitots() {
    Fixture f;
    TFlowPointNozzleDlg1 dlg(f.chain.flow, f.prefs);
    dlg.FormShow();
    for (int i = 0; i < 2; ++i) {
        dlg.SizeFields[i]->setValue(2.5);
        dlg.CoefFields[i]->setValue(0.9);
    }
    dlg.PitotFields[0]->setValue(18);
    dlg.PitotFields[1]->setValue(40);
    QVERIFY(dlg.TotalFlow != 941.0);
    dlg.RestoreDefaultsBtnClick();
    QCOMPARE(dlg.SizeFields[0]->value(), 1.75);
    QCOMPARE(dlg.CoefFields[1]->value(), 0.975);
    QCOMPARE(dlg.PitotFields[0]->value(), 18.0);
    QCOMPARE(dlg.PitotFields[1]->value(), 40.0);
    QCOMPARE(dlg.TotalFlow, 941.0);
}

void CalculatorsTest::hoseMonsterSizeCheck() {
    Fixture f;
    f.chain.test.edit();
    f.chain.test.setValue("Discharge Device", "Hose Monster 1-3/4\"");
    TFlowPointHoseMonsterDlg1 dlg(f.chain.flow, f.chain.test);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Flow Points - Hose Monster"));
    dlg.FormShow();
    for (FlowEntry* e : dlg.SizeFields)
        QCOMPARE(e->value(), 1.75);

    dlg.setResult(QDialog::Rejected);
    dlg.SizeFields[3]->setValue(2);
    dlg.OKBtnClick();
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(f.prompt.messages.size(), 1);
    QCOMPARE(f.prompt.messages[0].kind, Prompt::Kind::Error);
    QCOMPARE(f.prompt.messages[0].text,
             QStringLiteral("There is an incorrect Size!\n\nSizes must be:\n"
                            "  2.5      (2-1/2) or\n  1.75    (1-3/4) or\n"
                            "  1.125  (1-1/8) or\n  0.0"));
    QCOMPARE(dlg.SizeFields[3]->value(), 2.0);

    // Rows not in use (size 0) and every size of the table pass.
    dlg.SizeFields[3]->setValue(0);
    dlg.SizeFields[4]->setValue(2.5);
    dlg.SizeFields[5]->setValue(1.125);
    dlg.OKBtnClick();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(f.prompt.messages.size(), 1);

    // Restore Defaults reads the device again.
    f.chain.test.setValue("Discharge Device", "Hose Monster 2-1/2\"");
    dlg.PitotFields[0]->setValue(10);
    dlg.RestoreDefaultsBtnClick();
    QCOMPARE(dlg.SizeFields[3]->value(), 2.5);
    QCOMPARE(dlg.TotalFlow, 533.0);
}

void CalculatorsTest::hoseMonsterKeepsCoefficients() {
    Fixture f;
    QVERIFY(f.atPoint(3)); // two nozzles of 1.75 at coefficient 0.975
    TFlowPointHoseMonsterDlg1 dlg(f.chain.flow, f.chain.test);
    dlg.FlowRowFound = true;
    dlg.FormShow();
    dlg.SizeFields[0]->setValue(2.5);
    dlg.PitotFields[0]->setValue(25);
    f.chain.flow.edit();
    dlg.SaveFlowRow(f.chain.flow);
    f.chain.flow.post();
    QCOMPARE(f.chain.flow.value("Nozzle Size1").toDouble(), 2.5);
    QCOMPARE(f.chain.flow.value("Co-efficient1").toDouble(), 0.975);
    QCOMPARE(f.chain.flow.value("Co-efficient2").toDouble(), 0.975);
    QCOMPARE(f.chain.flow.value("Flow Meter").toDouble(), 843.0 + 378.0);
}

void CalculatorsTest::flowMeterShowsAndSavesOnlyItsColumn() {
    Fixture f;
    QVERIFY(f.atPoint(4));
    f.chain.flow.edit();
    f.chain.flow.setValue("Flow Meter", 12345.0);
    f.chain.flow.post();
    TFlowPointFLowMeterDlg1 dlg(f.chain.flow);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Flow Points - Flow Meter"));
    dlg.FlowRowFound = true;
    dlg.FormShow();
    QCOMPARE(dlg.FlowMeterField->value(), 12345.0);

    dlg.FlowMeterField->clear();
    QTest::keyClicks(dlg.FlowMeterField, "1250");
    QCOMPARE(dlg.FlowMeterField->value(), 1250.0);
    f.chain.flow.edit();
    dlg.SaveFlowRow(f.chain.flow);
    f.chain.flow.post();
    QCOMPARE(f.chain.flow.value("Flow Meter").toDouble(), 1250.0);
    QCOMPARE(f.chain.flow.value("Pitot Pressure1").toDouble(), 40.0);
    QCOMPARE(f.chain.flow.value("Calculated Flow2").toDouble(), 563.0);

    dlg.FlowRowFound = false;
    dlg.FormShow();
    QCOMPARE(dlg.FlowMeterField->value(), 0.0);
}

void CalculatorsTest::entriesRefuseNegativesAndEnterMovesFocus() {
    Fixture f;
    TFlowPointNozzleDlg1 nozzles(f.chain.flow, f.prefs);
    nozzles.FormShow();
    nozzles.PitotFields[0]->clear();
    QTest::keyClicks(nozzles.PitotFields[0], "-12.55");
    QCOMPARE(nozzles.PitotFields[0]->text(), QStringLiteral("12.5"));

    // Enter walks the focus order as Tab does and never presses a button.
    QStringList expected;
    for (int k = 1; k <= 8; ++k)
        expected << QStringLiteral("Size%1Field").arg(k) << QStringLiteral("Coef%1Field").arg(k)
                 << QStringLiteral("Pitot%1Field").arg(k);
    expected << "OK"
             << "Cancel"
             << "Clear All"
             << "Restore Defaults"
             << "Size1Field";
    QCOMPARE(enterWalk(nozzles, 29), expected);

    TFlowPointHoseMonsterDlg1 monsters(f.chain.flow, f.chain.test);
    monsters.FormShow();
    expected.clear();
    for (int k = 1; k <= 8; ++k)
        expected << QStringLiteral("Size%1Field").arg(k);
    expected << "OK"
             << "Cancel"
             << "Clear All"
             << "Restore Defaults";
    for (int k = 1; k <= 8; ++k)
        expected << QStringLiteral("Pitot%1Field").arg(k);
    QCOMPARE(enterWalk(monsters, 20), expected);

    TFlowPointFLowMeterDlg1 meter(f.chain.flow);
    meter.FormShow();
    QCOMPARE(enterWalk(meter, 4),
             (QStringList{"FlowMeterField", "OK", "Cancel", "FlowMeterField"}));
}

QTEST_MAIN(CalculatorsTest)
#include "calculators_test.moc"
