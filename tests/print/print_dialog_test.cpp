#include "data/Table.h"
#include "prefs/PreferencesRecord.h"
#include "print/DetailReportFrm.h"
#include "print/GraphControl.h"
#include "print/PrintCurveFrm.h"
#include "print/PrintDlg.h"
#include "print/SummaryReportFrm.h"
#include "print/TestReportRulesFormat.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <initializer_list>
#include <utility>

using namespace nerova;

namespace {

const QString kAbc = QStringLiteral("ABC Paint Company");
const QString kBeta = QStringLiteral("Beta Works");
const QStringList kDemoIds{kAbc, QStringLiteral("*"), QStringLiteral("01"),
                           QStringLiteral("20010731")};

// "Title1:" of a name and a test date, the date as every printout shows it.
QString title(const QString& name, QDate date) {
    return name + QStringLiteral(" - ") + TestReportRulesFormat::date(date);
}

void addRow(Database& db, TableId id,
            std::initializer_list<std::pair<const char*, QVariant>> values) {
    Table t(db, id);
    t.open();
    t.append();
    for (const auto& [column, value] : values)
        t.setValue(QString::fromLatin1(column), value);
    t.post();
}

// Beside the demonstration rows: a second test of the demonstration pump, and a company
// whose one location has a name of its own, with a pump of two tests and one of none.
void addRows(Database& db) {
    addRow(db, TableId::Test,
           {{"CompanyID", kAbc},
            {"LocationID", "*"},
            {"PumpID", "01"},
            {"TestID", "20020805"},
            {"Test Date", QDate(2002, 8, 5)}});
    addRow(db, TableId::Company, {{"CompanyID", kBeta}, {"Name", "Beta Works Inc"}});
    addRow(db, TableId::Location,
           {{"CompanyID", kBeta},
            {"LocationID", "North"},
            {"SameAsCompany", false},
            {"Name", "North Plant"}});
    for (const char* pump : {"P1", "P2"})
        addRow(db, TableId::Pump,
               {{"CompanyID", kBeta}, {"LocationID", "North"}, {"PumpID", pump}});
    addRow(db, TableId::Test,
           {{"CompanyID", kBeta},
            {"LocationID", "North"},
            {"PumpID", "P1"},
            {"TestID", "T1"},
            {"Test Date", QDate(2003, 1, 2)}});
    addRow(db, TableId::Test,
           {{"CompanyID", kBeta},
            {"LocationID", "North"},
            {"PumpID", "P1"},
            {"TestID", "T2"},
            {"Test Date", QDate(2004, 3, 4)}});
}

const char* const kLevels[4] = {"CompanyID", "LocationID", "PumpID", "TestID"};

QListWidget* list(QWidget& dlg, int level, int curve) {
    return dlg.findChild<QListWidget*>(
        QStringLiteral("%1List%2").arg(QLatin1String(kLevels[level - 1])).arg(curve));
}

// What the four lists of a page stand on.
QStringList shown(QWidget& dlg, int curve) {
    QStringList ids;
    for (int level = 1; level <= 4; ++level) {
        const QListWidgetItem* item = list(dlg, level, curve)->currentItem();
        ids << (item ? item->text() : QString());
    }
    return ids;
}

// Picks an entry of a list as a user's click would.
void pick(QWidget& dlg, int level, int curve, const QString& id) {
    QListWidget* l = list(dlg, level, curve);
    const auto items = l->findItems(id, Qt::MatchExactly);
    QVERIFY2(!items.isEmpty(), qPrintable(id));
    l->setCurrentItem(items.first());
}

QString text(QWidget& dlg, const char* name) {
    return dlg.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
}

QCheckBox* box(QWidget& dlg, const char* name) {
    return dlg.findChild<QCheckBox*>(QString::fromLatin1(name));
}

} // namespace

class PrintDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_prefs.clear();
        m_prefs.applyDefaults();
        m_tdb = std::make_unique<test::TempDatabase>();
        addRows(m_tdb->db());
    }
    void cleanup() { m_tdb.reset(); }

    void everyPageOpensOnTheMainWindowSelection() {
        QStringList ids = kDemoIds;
        ids[0] = kAbc.toLower(); // identifiers are found whatever their letter case
        TPrintDlg dlg(m_tdb->db(), m_prefs, ids);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Print Dialog"));
        QVERIFY(!(dlg.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(text(dlg, "Title1Edit"), title(kAbc, {2001, 7, 31}));
        QCOMPARE(text(dlg, "Title2Edit"), QStringLiteral("01"));
        for (int curve = 1; curve <= 4; ++curve) {
            dlg.showPage(curve - 1);
            QCOMPARE(shown(dlg, curve), kDemoIds);
            QCOMPARE(dlg.selection(curve).toList(), kDemoIds);
        }
        QCOMPARE(list(dlg, 4, 1)->count(), 2);

        // A location with a name of its own titles the sheet with that name.
        TPrintDlg beta(
            m_tdb->db(), m_prefs,
            {kBeta, QStringLiteral("North"), QStringLiteral("P1"), QStringLiteral("T2")});
        beta.show();
        QCOMPARE(text(beta, "Title1Edit"), title("North Plant", {2004, 3, 4}));
        QCOMPARE(text(beta, "Title2Edit"), QStringLiteral("P1"));
    }

    void eachPageKeepsItsOwnSelection() {
        TPrintDlg dlg(m_tdb->db(), m_prefs, kDemoIds);
        dlg.show();
        dlg.showPage(1);
        pick(dlg, 4, 2, QStringLiteral("20020805"));
        QCOMPARE(dlg.selection(2).testId, QStringLiteral("20020805"));
        for (int round = 0; round < 2; ++round) {
            dlg.showPage(0);
            QCOMPARE(shown(dlg, 1).last(), QStringLiteral("20010731"));
            dlg.showPage(4); // the rating page changes nothing
            dlg.showPage(1);
            QCOMPARE(shown(dlg, 2).last(), QStringLiteral("20020805"));
        }
        QCOMPARE(dlg.selection(1).toList(), kDemoIds);
        QCOMPARE(text(dlg, "Title1Edit"), title(kAbc, {2001, 7, 31}));

        // On the first page the lists retitle the sheet; typed titles last until then.
        dlg.showPage(0);
        dlg.findChild<QLineEdit*>(QStringLiteral("Title2Edit"))
            ->setText(QStringLiteral("Fire pump"));
        dlg.showPage(1);
        dlg.showPage(0);
        QCOMPARE(text(dlg, "Title2Edit"), QStringLiteral("Fire pump"));
        pick(dlg, 4, 1, QStringLiteral("20020805"));
        QCOMPARE(text(dlg, "Title1Edit"), title(kAbc, {2002, 8, 5}));
    }

    void anotherCompanyMovesTheLowerListsToTheirFirstRows() {
        TPrintDlg dlg(m_tdb->db(), m_prefs, kDemoIds);
        dlg.show();
        dlg.showPage(2);
        pick(dlg, 1, 3, kBeta);
        const QStringList first{kBeta, QStringLiteral("North"), QStringLiteral("P1"),
                                QStringLiteral("T1")};
        QCOMPARE(shown(dlg, 3), first);
        QCOMPARE(dlg.selection(3).toList(), first);
        QCOMPARE(list(dlg, 3, 3)->count(), 2);
        QCOMPARE(dlg.selection(1).toList(), kDemoIds);
    }

    void pumpWithoutTestsTitlesWithNameAndDash() {
        TPrintDlg dlg(m_tdb->db(), m_prefs, kDemoIds);
        dlg.show();
        pick(dlg, 1, 1, kBeta);
        pick(dlg, 3, 1, QStringLiteral("P2"));
        QCOMPARE(text(dlg, "Title1Edit"), QStringLiteral("North Plant - "));
        QCOMPARE(text(dlg, "Title2Edit"), QStringLiteral("P2"));
        QCOMPARE(list(dlg, 4, 1)->count(), 0);
        QCOMPARE(dlg.selection(1).testId, QString());
    }

    void reportsAreAlwaysOfCurveOnesTest() {
        test::ScriptedPrompt prompt;
        TPrintDlg dlg(m_tdb->db(), m_prefs, kDemoIds);
        dlg.show();
        dlg.showPage(1);
        pick(dlg, 4, 2, QStringLiteral("20020805"));

        QString detailTest;
        QString summaryTest;
        prompt.dialogs.enqueue([&](QDialog&) {
            detailTest = dlg.findChild<TDetailReportFrm*>()->feed().test().asString(
                QStringLiteral("TestID"));
            return int(QDialog::Rejected);
        });
        prompt.dialogs.enqueue([&](QDialog&) {
            summaryTest = dlg.findChild<TSummaryReportFrm*>()->feed().test().asString(
                QStringLiteral("TestID"));
            return int(QDialog::Rejected);
        });
        dlg.DetailReportBtnClick();
        dlg.SummaryReportBtnClick();
        QCOMPARE(detailTest, QStringLiteral("20010731"));
        QCOMPARE(summaryTest, QStringLiteral("20010731"));
        QCOMPARE(prompt.dialogTitles.size(), 2);
        // The holders are gone once their preview closed.
        QVERIFY(!dlg.findChild<TDetailReportFrm*>());
    }

    void curveIsPlottedOnlyWhenIncluded() {
        test::ScriptedPrompt prompt;
        m_prefs.setCorrected(2, true);
        m_prefs.setIncludeCurve(2, false);
        TPrintDlg dlg(m_tdb->db(), m_prefs, kDemoIds);
        dlg.show();
        dlg.findChild<QLineEdit*>(QStringLiteral("Title1Edit"))
            ->setText(QString(100, QLatin1Char('x')));

        CurveRequest r = dlg.curveRequest();
        QVERIFY(r.corrected[1]);
        QVERIFY(!r.included[1]);
        QCOMPARE(r.title1.size(), 80);
        QCOMPARE(r.selection[0].toList(), kDemoIds);

        QList<QPointF> series2;
        int series2Type = -1;
        auto inspect = [&](QDialog& d) {
            auto& frm = static_cast<TPrintCurveFrm&>(d);
            frm.show();
            frm.graph().setColumn(2);
            series2Type = frm.graph().columnType();
            series2.clear();
            for (const auto& row : frm.graph().seriesPoints(2))
                series2 << QPointF(row.x, row.y);
            frm.CancelBtnClick();
            return frm.result();
        };
        prompt.dialogs.enqueue(inspect);
        dlg.CurveBtnClick();
        QCOMPARE(series2Type, int(GraphProperties::kNotDrawn));
        QVERIFY(series2.isEmpty());

        box(dlg, "IncludeCurve2CheckBox")->setChecked(true);
        prompt.dialogs.enqueue(inspect);
        dlg.CurveBtnClick();
        QVERIFY(series2Type != int(GraphProperties::kNotDrawn));
        // The demonstration test's corrected points, the unmeasured ones left out.
        QCOMPARE(series2, (QList<QPointF>{{0, 54}, {372, 50}, {749, 45}, {1117, 36}}));
        // Cancel printed nothing: only the curve windows were run.
        QCOMPARE(prompt.dialogTitles, QStringList(2, QStringLiteral("Pump Curve(s)")));
        QVERIFY(dlg.isVisible());
    }

    void ratingSwitchesExcludeEachOther() {
        test::ScriptedPrompt prompt;
        m_prefs.setPlotRatingPoints(false);
        m_prefs.setConnectRatingPoints(true);
        m_prefs.setPlotFactoryCurve(false);
        TPrintDlg dlg(m_tdb->db(), m_prefs, kDemoIds);
        dlg.show();
        QCheckBox* rating = box(dlg, "PlotRatingPointsCheckBox");
        QCheckBox* connect = box(dlg, "ConnectRatingPointsCheckBox");
        QCheckBox* factory = box(dlg, "PlotFactoryCurveCheckBox");
        QVERIFY(connect->isChecked());
        QVERIFY(!connect->isEnabled());

        int ratingType = -1;
        prompt.dialogs.enqueue([&](QDialog& d) {
            auto& frm = static_cast<TPrintCurveFrm&>(d);
            frm.show();
            frm.graph().setColumn(5);
            ratingType = frm.graph().columnType();
            return int(QDialog::Rejected);
        });
        dlg.CurveBtnClick();
        QCOMPARE(ratingType, int(GraphProperties::kNotDrawn));

        factory->setChecked(true);
        rating->setChecked(true);
        QVERIFY(!factory->isChecked());
        QVERIFY(connect->isEnabled());
        connect->setChecked(true);
        factory->setChecked(true);
        QVERIFY(!rating->isChecked());
        QVERIFY(!connect->isChecked());
        QVERIFY(!connect->isEnabled());
        factory->setChecked(false);
        QVERIFY(!connect->isEnabled());

        // Preferences with both plots on open with the factory curve alone.
        m_prefs.setPlotRatingPoints(true);
        m_prefs.setPlotFactoryCurve(true);
        TPrintDlg both(m_tdb->db(), m_prefs, kDemoIds);
        both.show();
        QVERIFY(!box(both, "PlotRatingPointsCheckBox")->isChecked());
        QVERIFY(box(both, "PlotFactoryCurveCheckBox")->isChecked());
        QVERIFY(!box(both, "ConnectRatingPointsCheckBox")->isEnabled());
    }

private:
    PreferencesRecord m_prefs;
    std::unique_ptr<test::TempDatabase> m_tdb;
};

QTEST_MAIN(PrintDialogTest)
#include "print_dialog_test.moc"
