#include "settings/ColorComboBox.h"
#include "settings/NamedColors.h"
#include "settings/PreferencesDlgU.h"
#include "settings/PreferencesRecord.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using namespace nerova;

namespace {

// The record a newly created preferences file holds.
PreferencesRecord newRecord() {
    PreferencesRecord r;
    r.applyDefaults();
    return r;
}

template <typename W> W* child(QWidget& dlg, const QString& name) {
    W* w = dlg.findChild<W*>(name);
    if (!w)
        qWarning("no control %s", qPrintable(name));
    return w;
}

QLineEdit* entry(QWidget& dlg, const QString& name) {
    return child<QLineEdit>(dlg, name);
}
QCheckBox* box(QWidget& dlg, const QString& name) {
    return child<QCheckBox>(dlg, name);
}
QRadioButton* radio(QWidget& dlg, const QString& name) {
    return child<QRadioButton>(dlg, name);
}
QString colorName(QWidget& dlg, int n) {
    return child<ColorComboBox>(dlg, QStringLiteral("Color%1ComboBox").arg(n))->currentText();
}

void pressOk(TPreferencesDlg& dlg) {
    QTest::mouseClick(child<QPushButton>(dlg, QStringLiteral("OKBtn")), Qt::LeftButton);
}

} // namespace

class PreferencesDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newRecordShowsTheStartingChoices() {
        PreferencesRecord record = newRecord();
        TPreferencesDlg dlg(record);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Preferences"));
        QCOMPARE(dlg.size(), QSize(464, 442));
        auto* notebook = child<QTabWidget>(dlg, QStringLiteral("Notebook"));
        QStringList tabs;
        for (int i = 0; i < notebook->count(); ++i)
            tabs << notebook->tabText(i);
        QCOMPARE(tabs, QStringList({"Company", "Curves", "Gauges/Meters", "Graph", "Nozzles",
                                    "Reports", "Testers", "Time"}));
        QCOMPARE(notebook->currentIndex(), 0);

        for (QLineEdit* e : dlg.findChildren<QLineEdit*>()) {
            if (e->objectName() == QLatin1String("SizeField") ||
                e->objectName() == QLatin1String("CoefficentField"))
                QCOMPARE(e->text(), QStringLiteral("0"));
            else
                QVERIFY2(
                    e->displayText().remove(QLatin1Char('/')).remove(QLatin1Char('_')).isEmpty(),
                    qPrintable(e->objectName()));
            // Every entry names its field and is named by a caption or an accessible name.
            QVERIFY(!e->accessibleDescription().isEmpty());
        }
        QVERIFY(radio(dlg, "CurvedRadioBtn")->isChecked());
        QVERIFY(radio(dlg, "ExponentialRadioBtn")->isChecked());
        for (const char* q : {"DraftRadioBtn", "LowRadioBtn", "MediumRadioBtn", "HighRadioBtn"})
            QVERIFY(!radio(dlg, q)->isChecked());
        QVERIFY(!box(dlg, "UseTestTimeCheckBox")->isChecked());
        for (int n = 1; n <= 4; ++n) {
            QVERIFY(radio(dlg, QStringLiteral("Corrected%1RadioBtn").arg(n))->isChecked());
            QVERIFY(!radio(dlg, QStringLiteral("Actual%1RadioBtn").arg(n))->isChecked());
        }
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(colorName(dlg, n), QStringLiteral("Black"));
        for (int n = 2; n <= 4; ++n)
            QVERIFY(!box(dlg, QStringLiteral("IncludeCurve%1CheckBox").arg(n))->isChecked());
        QVERIFY(!box(dlg, "PlotRatingPointsCheckBox")->isChecked());
        QVERIFY(!box(dlg, "PlotFactoryCurveCheckBox")->isChecked());
        QVERIFY(!box(dlg, "ConnectRatingPointsCheckBox")->isChecked());
        QVERIFY(!box(dlg, "ConnectRatingPointsCheckBox")->isEnabled());
        for (const char* id : {"Company", "Location", "Pump", "Test"}) {
            QVERIFY(box(dlg, QStringLiteral("PrintSummary%1IDCheckBox").arg(id))->isChecked());
            QVERIFY(box(dlg, QStringLiteral("PrintDetail%1IDCheckBox").arg(id))->isChecked());
        }
        QVERIFY(box(dlg, "PrintReportPageNumberCheckBox")->isChecked());
        auto* line1 = entry(dlg, "CompanyInfo1Field");
        QCOMPARE(line1->accessibleDescription(), QStringLiteral("CompanyInfo1"));
        bool hasBuddy = false;
        for (QLabel* l : dlg.findChildren<QLabel*>())
            hasBuddy = hasBuddy || (l->buddy() == line1 && l->text() == "Line 1:");
        QVERIFY(hasBuddy);

        // OK without a change picks the highest print quality and changes nothing else.
        pressOk(dlg);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        PreferencesRecord expected = newRecord();
        expected.setCurvePrintQuality(4);
        QCOMPARE(record.bytes(), expected.bytes());
    }

    void reportBoxesRoundTrip() {
        PreferencesRecord record = newRecord();
        record.setPrintDetailPumpID(false);
        {
            TPreferencesDlg dlg(record);
            QVERIFY(!box(dlg, "PrintDetailPumpIDCheckBox")->isChecked());
            box(dlg, "PrintReportPageNumberCheckBox")->click();
            pressOk(dlg);
        }
        QVERIFY(!record.printReportPageNumber());
        TPreferencesDlg again(record);
        QVERIFY(!box(again, "PrintReportPageNumberCheckBox")->isChecked());
        QVERIFY(!box(again, "PrintDetailPumpIDCheckBox")->isChecked());
        QVERIFY(box(again, "PrintDetailTestIDCheckBox")->isChecked());
        QVERIFY(box(again, "PrintSummaryPumpIDCheckBox")->isChecked());
    }

    void typedEntriesAreStoredWithinTheirFields() {
        PreferencesRecord record = newRecord();
        const QString line = QString(50, QLatin1Char('A')) + QString(30, QLatin1Char('b'));
        {
            TPreferencesDlg dlg(record);
            QTest::keyClicks(entry(dlg, "CompanyInfo1Field"), line);
            QCOMPARE(entry(dlg, "CompanyInfo1Field")->text(), line); // the entry takes all 80
            QTest::keyClicks(entry(dlg, "Tester2StateField"), "tx");
            QTest::keyClick(entry(dlg, "VoltMeterCalDateField"), Qt::Key_Home);
            QTest::keyClicks(entry(dlg, "VoltMeterCalDateField"), "070423");
            entry(dlg, "SizeField")->selectAll();
            QTest::keyClicks(entry(dlg, "SizeField"), "1.7505"); // last digit refused
            QTest::keyClicks(entry(dlg, "Legend3Field"), QString(45, QLatin1Char('L')));
            radio(dlg, "LowRadioBtn")->click();
            radio(dlg, "Actual2RadioBtn")->click();
            radio(dlg, "StraightRadioBtn")->click();
            pressOk(dlg);
        }
        QCOMPARE(int(record.byteAt(0)), 40);
        QCOMPARE(record.companyInfo(1), line.left(40));
        QCOMPARE(record.testerState(2), QStringLiteral("TX"));
        QCOMPARE(record.voltMeterCalDate(), QStringLiteral("07/04/23"));
        QCOMPARE(record.pressureGaugeCalDate(), QString()); // untouched dates stay empty
        QCOMPARE(record.defaultNozzleSize(), 1.75f);
        QCOMPARE(record.legend(3), QString(40, QLatin1Char('L')));
        QCOMPARE(record.curvePrintQuality(), 2);
        QVERIFY(!record.corrected(2));
        QVERIFY(record.corrected(1));
        QVERIFY(!record.curvedLines());

        TPreferencesDlg again(record);
        QCOMPARE(entry(again, "CompanyInfo1Field")->text(), line.left(40));
        QCOMPARE(entry(again, "VoltMeterCalDateField")->text(), QStringLiteral("07/04/23"));
        QCOMPARE(entry(again, "SizeField")->text(), QStringLiteral("1.75"));
        QVERIFY(radio(again, "LowRadioBtn")->isChecked());
        QVERIFY(radio(again, "Actual2RadioBtn")->isChecked());
        QVERIFY(radio(again, "StraightRadioBtn")->isChecked());
    }

    void enterMovesOnAndEscCancels() {
        PreferencesRecord record = newRecord();
        const QByteArray before = record.bytes();
        TPreferencesDlg dlg(record);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto* line1 = entry(dlg, "CompanyInfo1Field");
        line1->setFocus();
        QTest::keyClicks(line1, "Acme");
        QTest::keyClick(line1, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), entry(dlg, "CompanyInfo2Field"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), entry(dlg, "CompanyInfo3Field"));
        QVERIFY(dlg.isVisible());

        // Enter on the OK button moves on as well; only a click or Space presses it.
        auto* ok = child<QPushButton>(dlg, "OKBtn");
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QVERIFY(!ok->hasFocus());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(record.bytes(), before);
    }

    void ratingPointsAndFactoryCurveExcludeEachOther() {
        PreferencesRecord record = newRecord();
        record.setPlotRatingPoints(true);
        record.setConnectRatingPoints(true);
        {
            TPreferencesDlg dlg(record);
            auto* rating = box(dlg, "PlotRatingPointsCheckBox");
            auto* connect = box(dlg, "ConnectRatingPointsCheckBox");
            auto* factory = box(dlg, "PlotFactoryCurveCheckBox");
            QVERIFY(rating->isChecked());
            QVERIFY(connect->isChecked() && connect->isEnabled());

            factory->click();
            QVERIFY(factory->isChecked());
            QVERIFY(!rating->isChecked());
            QVERIFY(!connect->isChecked());
            QVERIFY(!connect->isEnabled());

            rating->click();
            QVERIFY(rating->isChecked());
            QVERIFY(!factory->isChecked());
            QVERIFY(connect->isEnabled());
            QVERIFY(!connect->isChecked());

            // Unchecking rating points disables the connect box but keeps its mark, and
            // the mark is stored even though the box is disabled.
            connect->click();
            rating->click();
            QVERIFY(connect->isChecked() && !connect->isEnabled());
            pressOk(dlg);
        }
        QVERIFY(!record.plotRatingPoints());
        QVERIFY(record.connectRatingPoints());
        QVERIFY(!record.plotFactoryCurve());

        // A record claiming both opens with the factory curve alone.
        record.setPlotRatingPoints(true);
        record.setPlotFactoryCurve(true);
        TPreferencesDlg dlg(record);
        QVERIFY(box(dlg, "PlotFactoryCurveCheckBox")->isChecked());
        QVERIFY(!box(dlg, "PlotRatingPointsCheckBox")->isChecked());
        QVERIFY(!box(dlg, "ConnectRatingPointsCheckBox")->isChecked());
        QVERIFY(!box(dlg, "ConnectRatingPointsCheckBox")->isEnabled());
    }

    void coloursShowTheirFirstName() {
        PreferencesRecord record = newRecord();
        record.setColor(1, NamedColors::rgb(160, 160, 164));
        record.setColor(2, NamedColors::rgb(128, 128, 128));
        record.setColor(3, NamedColors::rgb(192, 192, 192));
        record.setColor(4, NamedColors::rgb(1, 2, 3)); // no entry stands for it
        record.setColor(5, NamedColors::rgb(255, 251, 240));
        TPreferencesDlg dlg(record);
        QCOMPARE(colorName(dlg, 1), QStringLiteral("Medium Gray"));
        QCOMPARE(colorName(dlg, 2), QStringLiteral("Gray"));
        QCOMPARE(colorName(dlg, 3), QStringLiteral("Silver"));
        QCOMPARE(colorName(dlg, 4), QStringLiteral("Black"));
        QCOMPARE(colorName(dlg, 5), QStringLiteral("Cream"));
        child<ColorComboBox>(dlg, "Color2ComboBox")->setCurrentIndex(20);
        pressOk(dlg);
        QCOMPARE(record.color(1), NamedColors::rgb(160, 160, 164));
        QCOMPARE(record.color(2), NamedColors::rgb(166, 202, 240)); // Sky Blue
        QCOMPARE(record.color(4), 0u);
    }

    void cancelLeavesTheRecordAlone() {
        PreferencesRecord record = newRecord();
        record.setTester(1, QStringLiteral("J. Smith"));
        const QByteArray before = record.bytes();
        TPreferencesDlg dlg(record);
        entry(dlg, "Tester1Field")->setText(QStringLiteral("Someone Else"));
        box(dlg, "UseTestTimeCheckBox")->click();
        radio(dlg, "DraftRadioBtn")->click();
        QTest::mouseClick(child<QPushButton>(dlg, "CancelBtn"), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(record.bytes(), before);
    }
};

QTEST_MAIN(PreferencesDialogTest)
#include "preferences_dialog_test.moc"
