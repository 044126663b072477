#pragma once

#include "app/WindowPlacesHolder.h"
#include "data/FreshRowsHolder.h"
#include "data/TableChain.h"
#include "eval/DomainValues.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QCloseEvent;
class QLabel;
class QMenu;
class QPushButton;
class QSessionManager;
class QComboBox;

namespace nerova {

class ContactPage;
class FlowPointDispatcher;
class Database;
class Notebook;
class PreferencesRecord;
class PumpPage;
class ShortcutsHolder;
class TTablesExistCreateFrm;
class TestPage;

// The main window: four pages over the company, location, pump and test tables, the
// navigation and editing buttons, the record-count and identifier panels, and the menu
// commands. Every modal box goes through the prompt seam.
class TMainForm1 : public QMainWindow {
    Q_OBJECT
public:
    // db: the table engine; prefs: the process-wide preferences record; startupDir: the
    // folder of the preferences file.
    TMainForm1(Database& db, PreferencesRecord& prefs, const QString& startupDir,
               QWidget* parent = nullptr);
    ~TMainForm1() override;

    // Remembers the window's place and the records shown in the settings file at path, and
    // takes the window's place from it at once (the records when the tables open). Without
    // a file nothing is remembered.
    void usePlacesFile(const QString& path);
    bool exitRequested() const { return m_exitRequested; }
    bool selectPage(int k); // as a click on the page's tab
    int currentPage() const { return CurrentPage; }
    // The status line's count of pumps overdue and due soon; empty when there are none.
    QString testsDueStatus() const;
    // The status line's note of the company lookup in force; empty while there is none.
    QString filterStatus() const;

    TableChain& tables() { return m_tables; }
    Table& pageTable(int page);
    Database& database() { return m_db; }

protected:
    void showEvent(QShowEvent* event) override;
    // A close request (the frame's close box, the desktop) is refused like File | Exit
    // while an edit is pending, so the edit is never lost without a word.
    void closeEvent(QCloseEvent* event) override;

private:
    // ---- start-up, frame and shutdown
    void FormCreate();
    void FormShow();
    bool CheckTableState();
    // True while any of the company, location, pump and test tables is being edited.
    bool editPending();
    void ShowRecordCount(int level);
    void Exit1Click();

    // ---- pages and navigation
    void FirstBtnClick();
    void PriorBtnClick();
    void NextBtnClick();
    void LastBtnClick();
    bool MainNotebookPageChange(int to);
    void MainNotebookPageChanged(int k);
    bool TestNotebookPageChange(int to);
    void UpdateDriverPages();
    void DriverTypeComboBoxChange(int index);

    // ---- editing
    void SetBrowseButtons();
    void SetEditButtons();
    void InsertBtnClick();
    void SaveBtnClick();
    void CancelBtnClick();
    void DeleteBtnClick();
    // On the Test page: a new test of the pump filled in as its latest test was set up,
    // its readings, times and notes starting as a new test's do.
    void NewTestFromLast1Click();
    void CalculateTest(int n);

    // ---- menu commands
    void Backup1Click();
    void Restore1Click();
    // The former program's tables (a folder of them or its backup archive) into ours.
    void ImportOldData1Click();
    void ChangeID1Click();
    void LookupClick(const QString& criterion); // "ID", "Name", "City", "State"
    void LookupAllClick();
    // Finds a pump by its serial number and shows it on the Pump page.
    void LookupSerialClick();
    // The Tests Due window; a pump chosen there is shown on the Pump page.
    void TestsDue1Click();
    // Stands the company, location and pump levels on the pump with these identifiers and
    // shows the Pump page; false when the pump is not there.
    bool showPump(const QString& companyId, const QString& locationId, const QString& pumpId);
    void Browse1Click();
    void Print1Click();
    void Preferences1Click();
    void About1Click();
    void KeyboardShortcuts1Click(); // an information box listing the shortcuts
    void FlowPointDialogs(int n);
    void LookupMenuPopup();

    void buildFrame();
    void buildMenus();
    void connectTables();
    void levelScrolled(TableId level);
    void storeRecordCount(TableId level);
    void enableDriverPages(DriverPages pages);
    void refreshIdentifierPanel(TableId level);
    QLabel* identifierPanel(TableId level) const;
    TableId shownLevel() const;
    QWidget* identifierField(TableId level) const;
    QWidget* pageField(TableId level, const QString& column) const;
    void openTables();
    void closeTables();
    // Runs the backup or restore window with the tables closed, back on the same records.
    void runArchiveWindow(const std::function<void()>& window);
    void afterInsert(TableId level);
    void enableNewTestFromLast();
    void afterPost(TableId level);
    void afterCancel(TableId level);
    void showPageCount();
    void startNewRecord(TableId level);
    void deleteCascade(TableId level);
    void focusField(TableId level, const QString& column);
    void focusIdentifier(TableId level);
    void commitData(QSessionManager& manager);
    void showTestsDueStatus(const QString& text);
    void showFilterStatus();
    void countTestsDue();

    Database& m_db;
    PreferencesRecord& m_prefs;
    QString m_startupDir;
    TableChain m_tables;
    std::unique_ptr<FlowPointDispatcher> m_flow;
    FreshRowsHolder* m_fresh = nullptr;
    std::array<int, kRecordLevelCount> m_recNo{}; // by levelIndex
    std::array<int, kRecordLevelCount> m_recCount{};
    bool m_shown = false;
    bool m_exitRequested = false;
    bool m_aliasMissing = false;
    WindowPlacesHolder m_places;
    ShortcutsHolder* m_shortcuts = nullptr;

    int CurrentPage = 0;

    // The controls; other code finds them by their object names.
    QWidget* MainPanel = nullptr;
    QLabel* RecCountPanel = nullptr;
    QLabel* CompanyIDPanel = nullptr;
    QLabel* LocationIDPanel = nullptr;
    QLabel* PumpIDPanel = nullptr;
    QLabel* TestIdPanel = nullptr;
    QLabel* TestsDueStatus = nullptr;
    QLabel* FilterStatus = nullptr;
    Notebook* MainNotebook = nullptr;
    QPushButton* FirstBtn = nullptr;
    QPushButton* PriorBtn = nullptr;
    QPushButton* NextBtn = nullptr;
    QPushButton* LastBtn = nullptr;
    QPushButton* InsertBtn = nullptr;
    QPushButton* DeleteBtn = nullptr;
    QPushButton* SaveBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    ContactPage* m_companyPage = nullptr;
    ContactPage* m_locationPage = nullptr;
    PumpPage* m_pumpPage = nullptr;
    TestPage* m_testPage = nullptr;
    TTablesExistCreateFrm* m_tablesExistCreateFrm = nullptr;

    QMenu* FileMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QMenu* LookupMenu = nullptr;
    QAction* Backup1 = nullptr;
    QAction* Restore1 = nullptr;
    QAction* ImportOldData1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* ChangeID1 = nullptr;
    QAction* NewTestFromLast1 = nullptr;
    QAction* LookupID1 = nullptr;
    QAction* LookupName1 = nullptr;
    QAction* LookupCity1 = nullptr;
    QAction* LookupState1 = nullptr;
    QAction* LookupAll1 = nullptr;
    QAction* LookupSerial1 = nullptr;
    QAction* TestsDue1 = nullptr;
    QAction* Browse1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* Preferences1 = nullptr;
    QAction* About1 = nullptr;
    QAction* KeyboardShortcuts1 = nullptr;
};

// Doubles every "&" so that a text shown in a mnemonic-aware label appears literally.
QString literalCaption(const QString& text);

} // namespace nerova
