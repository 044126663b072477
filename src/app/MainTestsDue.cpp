// Which pumps are due for their yearly test: the Tests Due window, the way from one of its
// rows to the pump, and the count of what is due on the status line.
#include "app/MainForm.h"
#include "app/TestsDueDialog.h"
#include "app/TestsDueModel.h"
#include "data/EngineError.h"
#include "data/Global.h"
#include "prefs/PreferencesRecord.h"
#include "print/TestReportFeedSource.h"
#include "prompt/Prompt.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>

namespace nerova {

void TMainForm1::TestsDue1Click() {
    if (!CheckTableState())
        return;
    const TestReportFeedSource source(m_prefs, false);
    TestsDueDialog dlg(m_db, source.fieldAsString(QStringLiteral("TestingCompanyName")), this);
    const bool chosen = Prompt::instance().runDialog(dlg) == QDialog::Accepted;
    // The window read every pump just now, with the settings it closed with.
    showTestsDueStatus(dueStatusLine(dlg.model().pumps(), dlg.settings().warningDays,
                                     TestsDue1->shortcut().toString(QKeySequence::NativeText)));
    const QStringList ids = dlg.chosenPump();
    if (chosen && ids.size() == 3)
        showPump(ids[0], ids[1], ids[2]);
}

bool TMainForm1::showPump(const QString& companyId, const QString& locationId,
                          const QString& pumpId) {
    Table& company = m_tables.company;
    if (!company.isOpen())
        return false;
    const QStringList companyKey = {QStringLiteral("CompanyID")};
    if (!company.locate(companyKey, {companyId})) {
        // Hidden by the company lookup; like any lookup, this one replaces it.
        company.clearFilter();
        if (!company.locate(companyKey, {companyId}))
            return false;
    }
    const bool found = m_tables.location.locate({QStringLiteral("LocationID")}, {locationId}) &&
                       m_tables.pump.locate({QStringLiteral("PumpID")}, {pumpId});
    selectPage(2);
    ShowRecordCount(3);
    return found;
}

QString TMainForm1::testsDueStatus() const {
    return TestsDueStatus ? TestsDueStatus->text() : QString();
}

void TMainForm1::showTestsDueStatus(const QString& text) {
    // The status line is there from the start, empty or not: appearing later it would make
    // the window taller than the place it was given.
    if (!TestsDueStatus) {
        TestsDueStatus = new QLabel(this);
        TestsDueStatus->setObjectName(QStringLiteral("TestsDueStatus"));
        statusBar()->addWidget(TestsDueStatus, 1);
    }
    TestsDueStatus->setText(text);
}

void TMainForm1::countTestsDue() {
    // The backup, restore and import windows work on the table files with the tables
    // closed; a count arriving meanwhile (the one queued at start-up runs inside their event
    // loops) would read, or even write, a file being archived or replaced. It waits for the
    // tables to be back, and runArchiveWindow counts again then.
    if (!m_tables.test.isOpen())
        return;
    try {
        QList<DuePump> pumps = readPumpsDue(m_db, today());
        const DueSettings settings = TestsDueDialog::savedSettings();
        scheduleDue(pumps, settings, today());
        showTestsDueStatus(dueStatusLine(pumps, settings.warningDays,
                                         TestsDue1->shortcut().toString(QKeySequence::NativeText)));
    } catch (const EngineError&) {
        // A reminder, not a command: when the tables cannot be counted the window opens as
        // ever, and the Tests Due window will say what is wrong.
        showTestsDueStatus({});
    }
}

} // namespace nerova
