// Commands reached from buttons, lists and windows being shown: a table that cannot be read
// ends the command in an error box, and the window goes on working.
#include "controls/CommandGuard.h"
#include "data/Schema.h"
#include "data/TableChain.h"
#include "flow/FlowPointFlowMeterDlg.h"
#include "flow/FlowPointHoseMonsterDlg.h"
#include "flow/FlowPointNozzleDlg.h"
#include "prefs/PreferencesRecord.h"
#include "print/PrintCurveFrm.h"
#include "print/PrintDlg.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>
#include <stdexcept>

using namespace nerova;
using namespace nerova::test;

namespace {

void click(QWidget& window, const char* name) {
    auto* button = window.findChild<QAbstractButton*>(QLatin1String(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class ErrorsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void unreadableTableEndsEachCommandInAnErrorBox() {
        TempDatabase tdb;
        ScriptedPrompt prompt;
        PreferencesRecord prefs;
        // Any other failure inside a command is shown the same way.
        prompt.buttons.enqueue(Prompt::Button::Ok);
        runGuarded([] { throw std::runtime_error("Disk full"); });
        QCOMPARE(prompt.lastText(), QStringLiteral("Disk full"));

        // The test table goes missing while nothing holds it open.
        if (tdb.isServer()) {
            Table any(tdb.db(), TableId::Company); // the connection for the statement
            any.open();
            tdb.db().exec("ALTER TABLE \"NRVA2002test\" RENAME TO \"elsewhere\"");
        } else {
            const QString file = tableDef(TableId::Test).fileName();
            QVERIFY(QFile::rename(QDir(tdb.dataDir()).filePath(file), tdb.path(file)));
        }
        for (int box = 0; box < 4; ++box)
            prompt.buttons.enqueue(Prompt::Button::Ok);

        TPrintDlg dlg(tdb.db(), prefs, {"ABC Paint Company", "*", "01", "20010731"});
        dlg.show();
        prompt.dialogs.enqueue([](QDialog& curve) {
            curve.show();
            for (const char* name : {"SaveAsPdfBtn", "StraightRadioButton", "LinearRadioButton",
                                     "PrintGridLinesSpinUp", "CancelBtn"})
                click(curve, name);
            return curve.result();
        });
        for (const char* name : {"DetailReportBtn", "SummaryReportBtn", "CurveBtn",
                                 "PlotFactoryCurveCheckBox", "PlotRatingPointsCheckBox"})
            click(dlg, name);
        auto* tabs = dlg.findChild<QTabBar*>();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(dlg.isVisible());
        QCOMPARE(prompt.messages.size(), 5);
        for (qsizetype i = 1; i < prompt.messages.size(); ++i) {
            QCOMPARE(prompt.messages[i].kind, Prompt::Kind::Error);
            QVERIFY(prompt.messages[i].text.startsWith(QStringLiteral("Table does not exist.")));
        }
        QVERIFY(prompt.buttons.isEmpty());
        QVERIFY(prompt.dialogs.isEmpty());
        click(dlg, "CloseBtn");
        QCOMPARE(dlg.result(), int(QDialog::Accepted));

        // The flow dialogs on cursors that cannot open: every button still answers.
        TableChain chain(tdb.db());
        TFlowPointNozzleDlg1 nozzle(chain.flow, prefs);
        TFlowPointHoseMonsterDlg1 monster(chain.flow, chain.test);
        TFlowPointFLowMeterDlg1 meter(chain.flow);
        for (FlowPointDialog* flowDlg :
             {static_cast<FlowPointDialog*>(&nozzle), static_cast<FlowPointDialog*>(&monster),
              static_cast<FlowPointDialog*>(&meter)}) {
            flowDlg->FormShow();
            const QList<QPushButton*> buttons = flowDlg->findChildren<QPushButton*>();
            for (QPushButton* button : buttons) {
                flowDlg->show();
                QTest::mouseClick(button, Qt::LeftButton);
            }
        }
        QCOMPARE(prompt.messages.size(), 5);
    }
};

QTEST_MAIN(ErrorsTest)
#include "errors_test.moc"
