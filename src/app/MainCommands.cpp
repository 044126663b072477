// The menu commands of the main window: each checks for pending changes first, hides the
// working area while its own window is open, and always brings the window back usable.
#include "app/AboutBox.h"
#include "app/MainForm.h"
#include "app/OldBackupOffer.h"
#include "app/TableReopen.h"
#include "backup/DatabaseArchive.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "flow/FlowPointDispatcher.h"
#include "flow/FlowPointFlowMeterDlg.h"
#include "flow/FlowPointHoseMonsterDlg.h"
#include "flow/FlowPointNozzleDlg.h"
#include "olddata/ImportOldDataDialog.h"
#include "prefs/PreferencesRecord.h"
#include "print/PrintDlg.h"
#include "prompt/Prompt.h"
#include "settings/PreferencesDlg.h"

namespace nerova {

namespace {

// Shows the panel again however the command ends.
struct PanelHidden {
    QWidget* panel;
    explicit PanelHidden(QWidget* p) : panel(p) { panel->hide(); }
    ~PanelHidden() { panel->show(); }
};

} // namespace

void TMainForm1::Backup1Click() {
    QString done;
    runArchiveWindow([this, &done] { done = backupDatabase(m_db, this); });
    // Once the window is gone and the records are back: where the archive went, and how
    // much it holds.
    if (!done.isEmpty())
        Prompt::information(done);
}

void TMainForm1::Restore1Click() {
    runArchiveWindow([this] { restoreDatabase(m_db, this, oldDataImportOffer(m_db, this)); });
}

void TMainForm1::ImportOldData1Click() {
    runArchiveWindow([this] {
        ImportOldDataDialog dlg(m_db, this);
        Prompt::instance().runDialog(dlg);
    });
}

void TMainForm1::runArchiveWindow(const std::function<void()>& window) {
    if (!CheckTableState())
        return;
    // The tables are closed while the files are archived or replaced, and the window comes
    // back on the same records: the next test typed in must not land under another
    // company's pump.
    runWithTablesClosed(
        m_tables, [this] { closeTables(); }, [this] { openTables(); },
        [this, &window] {
            PanelHidden hidden(MainPanel);
            try {
                window();
            } catch (const EngineError& e) {
                Prompt::error(e.text());
            }
        });
    // Reopening moved every level, the test level last; the panel shows the page's own.
    showPageCount();
    // What is due may have changed with the tables, and a count put off meanwhile is owed.
    countTestsDue();
}

void TMainForm1::Print1Click() {
    if (!CheckTableState())
        return;
    QStringList ids;
    for (const TableId level : kRecordLevels) {
        Table& t = m_tables.table(level);
        ids << (t.isOpen() ? t.asString(identifierColumn(level)) : QString());
    }
    PanelHidden hidden(MainPanel);
    TPrintDlg dlg(m_db, m_prefs, ids, this);
    Prompt::instance().runDialog(dlg);
}

void TMainForm1::Browse1Click() {
    CheckTableState();
}

void TMainForm1::Preferences1Click() {
    if (!CheckTableState())
        return;
    PanelHidden hidden(MainPanel);
    TPreferencesDlg dlg(m_prefs, this);
    if (Prompt::instance().runDialog(dlg) != QDialog::Accepted)
        return;
    try {
        SavePreferences(m_prefs, m_startupDir);
    } catch (const EngineError& e) {
        // The record keeps what the dialog accepted; only the file is behind.
        Prompt::error(e.text());
    }
}

void TMainForm1::About1Click() {
    AboutBox box(m_db, this);
    Prompt::instance().runDialog(box);
}

void TMainForm1::FlowPointDialogs(int n) {
    m_flow->FlowPointDialogs(n);
}

} // namespace nerova
