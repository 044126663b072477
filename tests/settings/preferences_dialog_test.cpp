#include "controls/ColorComboBox.h"
#include "prefs/NamedColors.h"
#include "prefs/PreferencesRecord.h"
#include "settings/PreferencesDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
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

} // namespace

// Looks a control up by name; the test stops there, naming it, when the dialog has none.
#define FIND(type, var, dlg, name)                                                                 \
    type* var = (dlg).findChild<type*>(name);                                                      \
    QVERIFY2(var, qPrintable(QStringLiteral("no " #type " named ") + QString(name)))

class PreferencesDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void newRecordShowsTheStartingChoices() {
        PreferencesRecord record = newRecord();
        TPreferencesDlg dlg(record);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Preferences"));
        QCOMPARE(dlg.size(), QSize(464, 442));
        FIND(QTabWidget, notebook, dlg, "Notebook");
        QStringList tabs;
        for (int i = 0; i < notebook->count(); ++i)
            tabs << notebook->tabText(i);
        QCOMPARE(tabs, QStringList({"Company", "Curves", "Gauges/Meters", "Graph", "Nozzles",
                                    "Reports", "Testers", "Time"}));
        QCOMPARE(notebook->currentIndex(), 0);

        for (QLineEdit* e : dlg.findChildren<QLineEdit*>()) {
            if (e->objectName() == QLatin1String("SizeField") ||
                e->objectName() == QLatin1String("CoefficentField"))
                QCOMPARE(e->text(), QStringLiteral("0.000"));
            else
                QVERIFY2(
                    e->displayText().remove(QLatin1Char('/')).remove(QLatin1Char('_')).isEmpty(),
                    qPrintable(e->objectName()));
            // Every entry names its field and is named by a caption or an accessible name.
            QVERIFY(!e->accessibleDescription().isEmpty());
        }
        // Every button the starting choices set, and its mark.
        QMap<QString, bool> marks{{"CurvedRadioBtn", true},
                                  {"ExponentialRadioBtn", true},
                                  {"DraftRadioBtn", false},
                                  {"LowRadioBtn", false},
                                  {"MediumRadioBtn", false},
                                  {"HighRadioBtn", false},
                                  {"UseTestTimeCheckBox", false},
                                  {"PlotRatingPointsCheckBox", false},
                                  {"PlotFactoryCurveCheckBox", false},
                                  {"ConnectRatingPointsCheckBox", false},
                                  {"PrintReportPageNumberCheckBox", true}};
        for (int n = 1; n <= 4; ++n) {
            marks.insert(QStringLiteral("Corrected%1RadioBtn").arg(n), true);
            marks.insert(QStringLiteral("Actual%1RadioBtn").arg(n), false);
        }
        for (int n = 2; n <= 4; ++n)
            marks.insert(QStringLiteral("IncludeCurve%1CheckBox").arg(n), false);
        for (const char* id : {"Company", "Location", "Pump", "Test"}) {
            marks.insert(QStringLiteral("PrintSummary%1IDCheckBox").arg(id), true);
            marks.insert(QStringLiteral("PrintDetail%1IDCheckBox").arg(id), true);
        }
        for (auto it = marks.cbegin(); it != marks.cend(); ++it) {
            FIND(QAbstractButton, button, dlg, it.key());
            QVERIFY2(button->isChecked() == it.value(), qPrintable(it.key()));
        }
        FIND(QCheckBox, connect, dlg, "ConnectRatingPointsCheckBox");
        QVERIFY(!connect->isEnabled());
        for (int n = 1; n <= 5; ++n) {
            FIND(ColorComboBox, color, dlg, QStringLiteral("Color%1ComboBox").arg(n));
            QCOMPARE(color->currentText(), QStringLiteral("Black"));
        }
        FIND(QLineEdit, line1, dlg, "CompanyInfo1Field");
        QCOMPARE(line1->accessibleDescription(), QStringLiteral("CompanyInfo1"));
        bool hasBuddy = false;
        for (QLabel* l : dlg.findChildren<QLabel*>())
            hasBuddy = hasBuddy || (l->buddy() == line1 && l->text() == "Line 1:");
        QVERIFY(hasBuddy);

        // OK without a change picks the highest print quality and changes nothing else.
        FIND(QPushButton, ok, dlg, "OKBtn");
        QTest::mouseClick(ok, Qt::LeftButton);
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
            FIND(QCheckBox, detailPump, dlg, "PrintDetailPumpIDCheckBox");
            FIND(QCheckBox, pageNumber, dlg, "PrintReportPageNumberCheckBox");
            FIND(QPushButton, ok, dlg, "OKBtn");
            QVERIFY(!detailPump->isChecked());
            pageNumber->click();
            QTest::mouseClick(ok, Qt::LeftButton);
        }
        QVERIFY(!record.printReportPageNumber());
        TPreferencesDlg again(record);
        const QMap<QString, bool> marks{{"PrintReportPageNumberCheckBox", false},
                                        {"PrintDetailPumpIDCheckBox", false},
                                        {"PrintDetailTestIDCheckBox", true},
                                        {"PrintSummaryPumpIDCheckBox", true}};
        for (auto it = marks.cbegin(); it != marks.cend(); ++it) {
            FIND(QCheckBox, box, again, it.key());
            QVERIFY2(box->isChecked() == it.value(), qPrintable(it.key()));
        }
    }

    void typedEntriesAreStoredWithinTheirFields() {
        PreferencesRecord record = newRecord();
        const QString line = QString(50, QLatin1Char('A')) + QString(30, QLatin1Char('b'));
        {
            TPreferencesDlg dlg(record);
            FIND(QLineEdit, line1, dlg, "CompanyInfo1Field");
            FIND(QLineEdit, state2, dlg, "Tester2StateField");
            FIND(QLineEdit, voltDate, dlg, "VoltMeterCalDateField");
            FIND(QLineEdit, size, dlg, "SizeField");
            FIND(QLineEdit, legend3, dlg, "Legend3Field");
            FIND(QRadioButton, low, dlg, "LowRadioBtn");
            FIND(QRadioButton, actual2, dlg, "Actual2RadioBtn");
            FIND(QRadioButton, straight, dlg, "StraightRadioBtn");
            FIND(QPushButton, ok, dlg, "OKBtn");
            QTest::keyClicks(line1, line);
            QCOMPARE(line1->text(), line); // the entry takes all 80
            QTest::keyClicks(state2, "tx");
            QTest::keyClick(voltDate, Qt::Key_Home);
            QTest::keyClicks(voltDate, "070423");
            size->selectAll();
            QTest::keyClicks(size, "1.7505"); // last digit refused
            QTest::keyClicks(legend3, QString(45, QLatin1Char('L')));
            low->click();
            actual2->click();
            straight->click();
            QTest::mouseClick(ok, Qt::LeftButton);
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
        const QMap<QString, QString> texts{{"CompanyInfo1Field", line.left(40)},
                                           {"VoltMeterCalDateField", "07/04/23"},
                                           {"SizeField", "1.750"}}; // as the main window shows it
        for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
            FIND(QLineEdit, e, again, it.key());
            QCOMPARE(e->text(), it.value());
        }
        for (const char* name : {"LowRadioBtn", "Actual2RadioBtn", "StraightRadioBtn"}) {
            FIND(QRadioButton, r, again, name);
            QVERIFY2(r->isChecked(), name);
        }
    }

    void enterMovesOnAndEscCancels() {
        PreferencesRecord record = newRecord();
        const QByteArray before = record.bytes();
        TPreferencesDlg dlg(record);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        FIND(QLineEdit, line1, dlg, "CompanyInfo1Field");
        FIND(QLineEdit, line2, dlg, "CompanyInfo2Field");
        FIND(QLineEdit, line3, dlg, "CompanyInfo3Field");
        FIND(QPushButton, ok, dlg, "OKBtn");
        line1->setFocus();
        QTest::keyClicks(line1, "Acme");
        QTest::keyClick(line1, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), line2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), line3);
        QVERIFY(dlg.isVisible());

        // Enter on the OK button moves on as well; only a click or Space presses it.
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
            FIND(QCheckBox, rating, dlg, "PlotRatingPointsCheckBox");
            FIND(QCheckBox, connect, dlg, "ConnectRatingPointsCheckBox");
            FIND(QCheckBox, factory, dlg, "PlotFactoryCurveCheckBox");
            FIND(QPushButton, ok, dlg, "OKBtn");
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
            QTest::mouseClick(ok, Qt::LeftButton);
        }
        QVERIFY(!record.plotRatingPoints());
        QVERIFY(record.connectRatingPoints());
        QVERIFY(!record.plotFactoryCurve());

        // A record claiming both opens with the factory curve alone.
        record.setPlotRatingPoints(true);
        record.setPlotFactoryCurve(true);
        TPreferencesDlg dlg(record);
        FIND(QCheckBox, rating, dlg, "PlotRatingPointsCheckBox");
        FIND(QCheckBox, connect, dlg, "ConnectRatingPointsCheckBox");
        FIND(QCheckBox, factory, dlg, "PlotFactoryCurveCheckBox");
        QVERIFY(factory->isChecked());
        QVERIFY(!rating->isChecked());
        QVERIFY(!connect->isChecked());
        QVERIFY(!connect->isEnabled());
    }

    void coloursShowTheirFirstName() {
        PreferencesRecord record = newRecord();
        record.setColor(1, NamedColors::rgb(160, 160, 164));
        record.setColor(2, NamedColors::rgb(128, 128, 128));
        record.setColor(3, NamedColors::rgb(192, 192, 192));
        record.setColor(4, NamedColors::rgb(1, 2, 3)); // no entry stands for it
        record.setColor(5, NamedColors::rgb(255, 251, 240));
        TPreferencesDlg dlg(record);
        const QStringList names{"Medium Gray", "Gray", "Silver", "Black", "Cream"};
        for (int n = 1; n <= 5; ++n) {
            FIND(ColorComboBox, color, dlg, QStringLiteral("Color%1ComboBox").arg(n));
            QCOMPARE(color->currentText(), names[n - 1]);
        }
        FIND(ColorComboBox, color2, dlg, "Color2ComboBox");
        FIND(QPushButton, ok, dlg, "OKBtn");
        color2->setCurrentIndex(20);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(record.color(1), NamedColors::rgb(160, 160, 164));
        QCOMPARE(record.color(2), NamedColors::rgb(166, 202, 240)); // Sky Blue
        QCOMPARE(record.color(4), 0u);
    }

    // A click into an entry selects what it holds, so typing replaces it.
    void clickedEntryIsReplacedByTyping_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nozzle size") << "SizeField"
                                     << "2.5"
                                     << "2.5";
        QTest::newRow("calibration date") << "AmpProbeCalDateField"
                                          << "070423"
                                          << "07/04/23";
        QTest::newRow("tester state") << "Tester1StateField"
                                      << "tx"
                                      << "TX";
    }
    void clickedEntryIsReplacedByTyping() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        PreferencesRecord record = newRecord();
        record.setDefaultNozzleSize(1.75f);
        record.setAmpProbeCalDate(QStringLiteral("01/02/03"));
        record.setTesterState(1, QStringLiteral("FL"));
        TPreferencesDlg dlg(record);
        FIND(QLineEdit, entry, dlg, field);
        FIND(QTabWidget, notebook, dlg, QString());
        notebook->setCurrentWidget(entry->parentWidget());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::mouseClick(entry, Qt::LeftButton, {}, QPoint(3, entry->height() / 2));
        QVERIFY(entry->hasFocus());
        QCOMPARE(entry->selectedText(), entry->text());
        QTest::keyClicks(entry, typed);
        QCOMPARE(entry->displayText(), shown);
    }

    void cancelLeavesTheRecordAlone() {
        PreferencesRecord record = newRecord();
        record.setTester(1, QStringLiteral("J. Smith"));
        const QByteArray before = record.bytes();
        TPreferencesDlg dlg(record);
        FIND(QLineEdit, tester1, dlg, "Tester1Field");
        FIND(QCheckBox, useTime, dlg, "UseTestTimeCheckBox");
        FIND(QRadioButton, draft, dlg, "DraftRadioBtn");
        FIND(QPushButton, cancel, dlg, "CancelBtn");
        tester1->setText(QStringLiteral("Someone Else"));
        useTime->click();
        draft->click();
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(record.bytes(), before);
    }
};

QTEST_MAIN(PreferencesDialogTest)
#include "preferences_dialog_test.moc"
