#include "app/MainForm.h"

#include "app/ContactPage.h"
#include "app/Notebook.h"
#include "app/PumpPage.h"
#include "app/ShortcutsHolder.h"
#include "app/TablesExistCreateFrm.h"
#include "app/TestPage.h"
#include "controls/CommandGuard.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Global.h"
#include "data/TablesExistCreate.h"
#include "eval/FlowPointColumns.h"
#include "flow/FlowPointDispatcher.h"
#include "flow/FlowPointFlowMeterDlg.h"
#include "flow/FlowPointHoseMonsterDlg.h"
#include "flow/FlowPointNozzleDlg.h"
#include "prefs/PreferencesRecord.h"
#include "prompt/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace nerova {

QString literalCaption(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('&'), QLatin1String("&&"));
    return out;
}

TMainForm1::TMainForm1(Database& db, PreferencesRecord& prefs, const QString& startupDir,
                       QWidget* parent)
    : QMainWindow(parent), m_db(db), m_prefs(prefs), m_startupDir(startupDir), m_tables(db),
      m_places(*this, m_tables) {
    setObjectName(QStringLiteral("MainForm1"));
    setWindowTitle(QStringLiteral("Nerova 2002"));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    setFont(f);
    resize(808, 623);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        move(r.center() - QPoint(808 / 2, 623 / 2));
    }
    buildFrame();
    showTestsDueStatus({});
    showFilterStatus();
    buildMenus();
    m_shortcuts = new ShortcutsHolder(*this, *MainPanel);
    connectTables();
    // On an office server other testers' saves show by themselves, unless a modal window
    // is over this one.
    m_fresh = new FreshRowsHolder(
        m_tables, [] { return QApplication::activeModalWidget() == nullptr; }, this);
    connect(m_fresh, &FreshRowsHolder::refreshed, this, [this] { showPageCount(); });
    FormCreate();
    // The windows that live as long as the program.
    m_flow = std::make_unique<FlowPointDispatcher>(
        m_tables, m_prefs, [this](int n) { CalculateTest(n); }, this);
    m_tablesExistCreateFrm = new TTablesExistCreateFrm(this);
    SetBrowseButtons();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TMainForm1::commitData);
}

void TMainForm1::usePlacesFile(const QString& path) {
    m_places.useFile(path);
}

TMainForm1::~TMainForm1() {
    // Closing here keeps the tables' notifications from reaching half-destroyed pages.
    for (const TableId id : kAllTables)
        m_tables.table(id).disableNotifications();
}

void TMainForm1::buildFrame() {
    MainPanel = new QWidget(this);
    MainPanel->setObjectName(QStringLiteral("MainPanel"));
    setCentralWidget(MainPanel);
    auto* column = new QVBoxLayout(MainPanel);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);

    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    auto makeButton = [this, top](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, MainPanel);
        b->setObjectName(QString::fromLatin1(name));
        b->setFixedSize(56, 20);
        b->setFocusPolicy(Qt::TabFocus);
        top->addWidget(b);
        return b;
    };
    FirstBtn = makeButton(QStringLiteral("F&irst"), "FirstBtn");
    PriorBtn = makeButton(QStringLiteral("P&rior"), "PriorBtn");
    RecCountPanel = new QLabel(QStringLiteral("9999 of 999"), MainPanel);
    RecCountPanel->setObjectName(QStringLiteral("RecCountPanel"));
    RecCountPanel->setFixedSize(89, 20);
    RecCountPanel->setAlignment(Qt::AlignCenter);
    RecCountPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    top->addWidget(RecCountPanel);
    NextBtn = makeButton(QStringLiteral("&Next"), "NextBtn");
    LastBtn = makeButton(QStringLiteral("L&ast"), "LastBtn");
    top->addSpacing(16);
    InsertBtn = makeButton(QStringLiteral("Insert"), "InsertBtn");
    DeleteBtn = makeButton(QStringLiteral("Delete"), "DeleteBtn");
    SaveBtn = makeButton(QStringLiteral("Save"), "SaveBtn");
    CancelBtn = makeButton(QStringLiteral("Cancel"), "CancelBtn");
    top->addStretch(1);
    column->addLayout(top);

    MainNotebook = new Notebook(MainPanel);
    MainNotebook->setObjectName(QStringLiteral("MainNotebook"));
    m_companyPage = new ContactPage(m_tables.company, false, MainNotebook);
    m_locationPage = new ContactPage(m_tables.location, true, MainNotebook);
    m_pumpPage = new PumpPage(m_tables.pump, MainNotebook);
    m_testPage = new TestPage(m_tables.test, MainNotebook);
    m_companyPage->setObjectName(QStringLiteral("CompanyPage"));
    m_locationPage->setObjectName(QStringLiteral("LocationPage"));
    m_pumpPage->setObjectName(QStringLiteral("PumpPage"));
    m_testPage->setObjectName(QStringLiteral("TestPage"));
    MainNotebook->addPage(m_companyPage, QStringLiteral("Company"));
    MainNotebook->addPage(m_locationPage, QStringLiteral("Location"));
    MainNotebook->addPage(m_pumpPage, QStringLiteral("Pump"));
    MainNotebook->addPage(m_testPage, QStringLiteral("Test"));
    column->addWidget(MainNotebook, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(2);
    auto makePanel = [this, bottom](const char* name) {
        auto* p = new QLabel(MainPanel);
        p->setObjectName(QString::fromLatin1(name));
        p->setFixedWidth(195);
        p->setMinimumHeight(20);
        p->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Plain text without a buddy: an identifier such as "R&D" shows its ampersand.
        p->setTextFormat(Qt::PlainText);
        bottom->addWidget(p);
        return p;
    };
    CompanyIDPanel = makePanel("CompanyIDPanel");
    LocationIDPanel = makePanel("LocationIDPanel");
    PumpIDPanel = makePanel("PumpIDPanel");
    TestIdPanel = makePanel("TestIdPanel");
    bottom->addStretch(1);
    column->addLayout(bottom);

    connect(FirstBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { FirstBtnClick(); }); });
    connect(PriorBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { PriorBtnClick(); }); });
    connect(NextBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { NextBtnClick(); }); });
    connect(LastBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { LastBtnClick(); }); });
    connect(InsertBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { InsertBtnClick(); }); });
    connect(DeleteBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { DeleteBtnClick(); }); });
    connect(SaveBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { SaveBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { CancelBtnClick(); }); });

    MainNotebook->setGuard([this](int to) { return MainNotebookPageChange(to); });
    connect(MainNotebook, &Notebook::currentChanged, this,
            [this](int k) { runGuarded([this, k] { MainNotebookPageChanged(k); }); });
    m_testPage->testNotebook()->setGuard([this](int to) { return TestNotebookPageChange(to); });
    QComboBox* driverType = m_pumpPage->driverTypeComboBox();
    // An editable list selects the entry whose text was typed when editing ends, and
    // reports that as a pick. Typed text must switch no driver page, so only a real pick
    // (from the drop-down or with the arrow keys) may do it.
    if (QLineEdit* typed = driverType->lineEdit())
        disconnect(typed, &QLineEdit::editingFinished, driverType, nullptr);
    connect(driverType, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { DriverTypeComboBoxChange(index); });
    connect(m_testPage, &TestPage::pointInputChanged, this,
            [this](int n) { runGuarded([this, n] { CalculateTest(n); }); });
    connect(m_testPage, &TestPage::velocityPressureChanged, this, [this] {
        runGuarded([this] {
            for (int n = 1; n <= kFlowPointCount; ++n)
                CalculateTest(n);
        });
    });
    connect(m_testPage, &TestPage::flowDialogRequested, this,
            [this](int n) { runGuarded([this, n] { FlowPointDialogs(n); }); });
}

void TMainForm1::buildMenus() {
    QMenuBar* bar = menuBar();
    auto add = [this](QMenu* menu, const QString& caption, const char* name,
                      const std::function<void()>& handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, handler] { runGuarded(handler); });
        return a;
    };
    FileMenu = bar->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    Backup1 = add(FileMenu, QStringLiteral("&Backup"), "Backup1", [this] { Backup1Click(); });
    Restore1 = add(FileMenu, QStringLiteral("&Restore"), "Restore1", [this] { Restore1Click(); });
    ImportOldData1 = add(FileMenu, QStringLiteral("&Import Old Data…"), "ImportOldData1",
                         [this] { ImportOldData1Click(); });
    FileMenu->addSeparator();
    Exit1 = add(FileMenu, QStringLiteral("E&xit"), "Exit1", [this] { Exit1Click(); });
    EditMenu = bar->addMenu(QStringLiteral("&Edit"));
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    ChangeID1 =
        add(EditMenu, QStringLiteral("&Change ID"), "ChangeID1", [this] { ChangeID1Click(); });
    NewTestFromLast1 = add(EditMenu, QStringLiteral("New Test from &Last"), "NewTestFromLast1",
                           [this] { NewTestFromLast1Click(); });
    LookupMenu = bar->addMenu(QStringLiteral("&Lookup"));
    LookupMenu->setObjectName(QStringLiteral("LookupMenu"));
    LookupID1 = add(LookupMenu, QStringLiteral("&ID"), "LookupID1",
                    [this] { LookupClick(QStringLiteral("ID")); });
    LookupName1 = add(LookupMenu, QStringLiteral("&Name"), "LookupName1",
                      [this] { LookupClick(QStringLiteral("Name")); });
    LookupCity1 = add(LookupMenu, QStringLiteral("&City"), "LookupCity1",
                      [this] { LookupClick(QStringLiteral("City")); });
    LookupState1 = add(LookupMenu, QStringLiteral("&State"), "LookupState1",
                       [this] { LookupClick(QStringLiteral("State")); });
    LookupSerial1 = add(LookupMenu, QStringLiteral("&Pump Serial\u2026"), "LookupSerial1",
                        [this] { LookupSerialClick(); });
    TestsDue1 = add(LookupMenu, QStringLiteral("Tests &Due\u2026"), "TestsDue1",
                    [this] { TestsDue1Click(); });
    LookupMenu->addSeparator();
    LookupAll1 =
        add(LookupMenu, QStringLiteral("&All"), "LookupAll1", [this] { LookupAllClick(); });
    connect(LookupMenu, &QMenu::aboutToShow, this, &TMainForm1::LookupMenuPopup);
    // Menus without items act when their title is chosen.
    auto addCommand = [this, bar](const QString& caption, const char* name,
                                  const std::function<void()>& handler) {
        QAction* a = bar->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, handler] { runGuarded(handler); });
        return a;
    };
    Browse1 = addCommand(QStringLiteral("&Browse"), "Browse1", [this] { Browse1Click(); });
    Print1 = addCommand(QStringLiteral("&Print"), "Print1", [this] { Print1Click(); });
    Preferences1 =
        addCommand(QStringLiteral("&Preferences"), "Preferences1", [this] { Preferences1Click(); });
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    KeyboardShortcuts1 = add(help, QStringLiteral("Keyboard Shortcuts"), "KeyboardShortcuts1",
                             [this] { KeyboardShortcuts1Click(); });
    About1 = add(help, QStringLiteral("About"), "About1", [this] { About1Click(); });
}

void TMainForm1::KeyboardShortcuts1Click() {
    Prompt::instance().message(Prompt::Kind::Information, m_shortcuts->helpText(),
                               {Prompt::Button::Ok}, tr("Keyboard Shortcuts"));
}

void TMainForm1::connectTables() {
    for (const TableId level : kRecordLevels) {
        Table& t = m_tables.table(level);
        connect(&t, &Table::afterScroll, this, [this, level] { levelScrolled(level); });
        connect(&t, &Table::afterEdit, this, [this] { SetEditButtons(); });
        connect(&t, &Table::afterInsert, this, [this, level] { afterInsert(level); });
        connect(&t, &Table::afterPost, this, [this, level] { afterPost(level); });
        connect(&t, &Table::afterCancel, this, [this, level] { afterCancel(level); });
    }
    // A company saved or deleted changes what the filter leaves.
    for (auto signal :
         {&Table::afterPost, &Table::afterDelete, &Table::afterOpen, &Table::afterClose})
        connect(&m_tables.company, signal, this, &TMainForm1::showFilterStatus);
}

// ---- start-up -------------------------------------------------------------------------------

void TMainForm1::FormCreate() {
    m_aliasMissing = !m_db.aliasExists(QString::fromLatin1(kAliasName));
    if (m_aliasMissing) {
        Prompt::error(QStringLiteral("Alias NRVA2002 does not exist"));
        return;
    }
    CurrentPage = 0;
    setStartupDirectory(m_startupDir);
    try {
        LoadPreferences(m_prefs, m_startupDir);
    } catch (const EngineError& e) {
        Prompt::error(e.text());
    }
}

void TMainForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown || event->spontaneous())
        return;
    m_shown = true;
    runGuarded([this] { FormShow(); });
}

void TMainForm1::FormShow() {
    if (m_aliasMissing) {
        // Already reported at creation; without a database folder there is nothing to
        // check, and the check would only report the same fault again.
        ShowRecordCount(1);
        return;
    }
    bool open = false;
    try {
        open = TablesExist(m_db, *m_tablesExistCreateFrm);
    } catch (const EngineError& e) {
        m_tablesExistCreateFrm->hideWindow();
        RecCountPanel->clear(); // no table is open: there is nothing to count
        if (e.code() != EngineError::Code::Io)
            throw;
        // A server that does not answer, a folder that cannot be read: say which alias
        // leads there and where it is written, so the user knows what to mend.
        Prompt::error(QStringLiteral("%1\n\nThe alias %2 leads there (%3): check that it is "
                                     "running and reachable, or correct the alias in %4, then "
                                     "start the program again.")
                          .arg(e.text(), QString::fromLatin1(kAliasName), m_db.displayName(),
                               QDir::toNativeSeparators(m_db.registryPath())));
        return;
    } catch (...) {
        // The error box follows; an empty progress window must not stay behind it.
        m_tablesExistCreateFrm->hideWindow();
        throw;
    }
    if (!open) {
        const bool create = Prompt::askYesNo(
            Prompt::Kind::Error,
            QStringLiteral("One or more data tables or their associated files are missing.\n"
                           "If this is a new installation, click on Yes to create new tables.\n"
                           "If this is an existing installation, please call Technical "
                           "Support.\n\nDo you wish to create new Tables?"));
        if (create)
            open = TablesCreate(m_db, *m_tablesExistCreateFrm,
                                [](const QString& text) { Prompt::error(text); });
    }
    if (open) {
        openTables();
        m_places.restoreRecords();
        // Once the window is up: on a large database the count takes a moment.
        QTimer::singleShot(0, this, &TMainForm1::countTestsDue);
    }
    ShowRecordCount(1);
}

void TMainForm1::openTables() {
    m_tables.open(TableId::Flow);
}

void TMainForm1::closeTables() {
    m_tables.close();
}

bool TMainForm1::editPending() {
    for (const TableId level : kRecordLevels)
        if (m_tables.table(level).isEditing())
            return true;
    return false;
}

bool TMainForm1::CheckTableState() {
    if (!editPending())
        return true;
    Prompt::information(
        QStringLiteral("Changed data must be Saved or Cancelled before proceeding."));
    return false;
}

void TMainForm1::closeEvent(QCloseEvent* event) {
    if (!m_exitRequested) {
        if (!CheckTableState()) {
            event->ignore();
            return;
        }
        m_places.remember();
    }
    QMainWindow::closeEvent(event);
}

void TMainForm1::commitData(QSessionManager& manager) {
    // The desktop is ending the session. Nothing is saved on the user's behalf: with an edit
    // pending the user is told and the logout is stopped, so the edit can be finished.
    if (!editPending() || !manager.allowsInteraction())
        return;
    CheckTableState();
    manager.release();
    manager.cancel();
}

void TMainForm1::ShowRecordCount(int level) {
    if (level < 1 || level > kRecordLevelCount)
        return;
    const auto i = std::size_t(level - 1);
    RecCountPanel->setText(QStringLiteral("%1 of %2").arg(m_recNo[i]).arg(m_recCount[i]));
}

QLabel* TMainForm1::identifierPanel(TableId level) const {
    switch (level) {
    case TableId::Company:
        return CompanyIDPanel;
    case TableId::Location:
        return LocationIDPanel;
    case TableId::Pump:
        return PumpIDPanel;
    case TableId::Test:
        return TestIdPanel;
    case TableId::Flow:
        break;
    }
    return nullptr;
}

void TMainForm1::refreshIdentifierPanel(TableId level) {
    Table& t = m_tables.table(level);
    const QString id = t.isOpen() ? t.asString(identifierColumn(level)) : QString();
    identifierPanel(level)->setText(id);
}

void TMainForm1::storeRecordCount(TableId level) {
    Table& t = m_tables.table(level);
    m_recNo[std::size_t(levelIndex(level))] = t.recNo();
    m_recCount[std::size_t(levelIndex(level))] = t.recordCount();
    ShowRecordCount(levelIndex(level) + 1);
}

void TMainForm1::levelScrolled(TableId level) {
    storeRecordCount(level);
    if (level == TableId::Pump)
        UpdateDriverPages();
    if (level == TableId::Company)
        showFilterStatus(); // the companies the filter leaves may have changed
    refreshIdentifierPanel(level);
}

void TMainForm1::Exit1Click() {
    if (!CheckTableState())
        return;
    m_places.remember();
    closeTables();
    m_exitRequested = true;
    close();
    QCoreApplication::exit(0);
}

Table& TMainForm1::pageTable(int page) {
    return m_tables.table(levelAt(std::clamp(page, 0, kRecordLevelCount - 1)));
}

TableId TMainForm1::shownLevel() const {
    return levelAt(std::clamp(MainNotebook->currentIndex(), 0, kRecordLevelCount - 1));
}

QWidget* TMainForm1::identifierField(TableId level) const {
    switch (level) {
    case TableId::Company:
        return m_companyPage->identifierField();
    case TableId::Location:
        return m_locationPage->identifierField();
    case TableId::Pump:
        return m_pumpPage->identifierField();
    case TableId::Test:
        return m_testPage->identifierField();
    case TableId::Flow:
        break;
    }
    return nullptr;
}

QWidget* TMainForm1::pageField(TableId level, const QString& column) const {
    switch (level) {
    case TableId::Company:
        return m_companyPage->field(column);
    case TableId::Location:
        return m_locationPage->field(column);
    case TableId::Pump:
        return m_pumpPage->field(column);
    case TableId::Test:
        return m_testPage->field(column);
    case TableId::Flow:
        break;
    }
    return nullptr;
}

void TMainForm1::focusField(TableId level, const QString& column) {
    if (QWidget* w = pageField(level, column))
        w->setFocus(Qt::OtherFocusReason);
}

} // namespace nerova
