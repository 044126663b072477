// Moving between records and pages of the main window.
#include "app/ContactPage.h"
#include "app/MainForm.h"
#include "app/Notebook.h"
#include "app/PumpPage.h"
#include "app/TestPage.h"
#include "eval/DomainValues.h"
#include "eval/TestInitialization.h"
#include "prefs/PreferencesRecord.h"
#include "prompt/Prompt.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace nerova {

namespace {

const QString kLeavePageText =
    QStringLiteral("Changed data must be Saved or Cancelled before changing pages.");

} // namespace

void TMainForm1::FirstBtnClick() {
    Table& t = m_tables.table(shownLevel());
    if (!t.isOpen() || t.bof() || t.recNo() <= 1)
        return;
    t.first();
}

void TMainForm1::PriorBtnClick() {
    Table& t = m_tables.table(shownLevel());
    if (!t.isOpen() || t.bof())
        return;
    t.prior();
}

void TMainForm1::NextBtnClick() {
    Table& t = m_tables.table(shownLevel());
    if (!t.isOpen() || t.eof())
        return;
    t.next();
}

void TMainForm1::LastBtnClick() {
    Table& t = m_tables.table(shownLevel());
    if (!t.isOpen() || t.eof() || t.recNo() == t.recordCount())
        return;
    t.last();
}

bool TMainForm1::selectPage(int k) {
    return MainNotebook->setCurrentIndex(k);
}

bool TMainForm1::MainNotebookPageChange(int to) {
    if (to == CurrentPage)
        return true;
    if (pageTable(CurrentPage).isEditing()) {
        Prompt::information(kLeavePageText);
        return false;
    }
    return true;
}

bool TMainForm1::TestNotebookPageChange(int) {
    if (m_tables.test.isEditing()) {
        Prompt::information(kLeavePageText);
        return false;
    }
    return true;
}

void TMainForm1::startNewRecord(TableId level) {
    Table& t = m_tables.table(level);
    if (!t.isOpen())
        return;
    QWidget* id = identifierField(level);
    id->setEnabled(true);
    t.insert();
    if (level == TableId::Location) {
        t.setValue(QStringLiteral("LocationID"), QStringLiteral("*"));
        t.setValue(QStringLiteral("SameAsCompany"), true);
    }
    if (level == TableId::Test) {
        t.setValue(QStringLiteral("Velocity Pressure"), false);
        id->setFocus(Qt::OtherFocusReason);
        InitializeTest(t, m_prefs);
        return;
    }
    focusIdentifier(level);
}

void TMainForm1::focusIdentifier(TableId level) {
    QWidget* id = identifierField(level);
    id->setFocus(Qt::OtherFocusReason);
    // The "*" a new location starts with is a placeholder: typing replaces it.
    if (auto* edit = qobject_cast<QLineEdit*>(id))
        edit->selectAll();
}

void TMainForm1::MainNotebookPageChanged(int k) {
    // Flow stands for "no page": the flow rows have none.
    switch (k >= 0 && k < kRecordLevelCount ? levelAt(k) : TableId::Flow) {
    case TableId::Company:
        ShowRecordCount(1);
        break;
    case TableId::Location:
        if (m_tables.location.isOpen() && m_tables.location.asString("LocationID").isEmpty())
            startNewRecord(TableId::Location);
        ShowRecordCount(2);
        break;
    case TableId::Pump:
        if (m_tables.pump.isOpen() && m_tables.pump.asString("PumpID").isEmpty())
            startNewRecord(TableId::Pump);
        UpdateDriverPages();
        ShowRecordCount(3);
        break;
    case TableId::Test: {
        if (m_tables.test.isOpen() && m_tables.test.asString("TestID").isEmpty())
            startNewRecord(TableId::Test);
        Table& pump = m_tables.pump;
        const QString pumpType = pump.isOpen() ? pump.asString("Pump Type") : QString();
        if (pumpType == QLatin1String(kVerticalTurbinePump))
            m_testPage->setSuctionHeader(QStringLiteral("Water"), QStringLiteral("Level"));
        else
            m_testPage->setSuctionHeader(QStringLiteral("Suction"), QStringLiteral("Press"));
        const QString driver = pump.isOpen() ? pump.asString("Driver Type") : QString();
        m_testPage->setElectricalEnabled(hasElectricDriver(driver));
        m_testPage->setTimeEnabled(m_prefs.useTestTime());
        ShowRecordCount(4);
        break;
    }
    case TableId::Flow:
        break;
    }
    CurrentPage = k;
    enableNewTestFromLast();
    // The lookup items keep the page's enabled states between openings of the menu, so
    // their shortcuts obey them too.
    LookupMenuPopup();
}

void TMainForm1::UpdateDriverPages() {
    const QString driver =
        m_tables.pump.isOpen() ? m_tables.pump.asString("Driver Type") : QString();
    // An unknown type leaves the driver sub-pages as they are.
    if (const std::optional<DriverType> type = driverTypeOf(driver))
        enableDriverPages(driverPagesOf(*type));
}

void TMainForm1::DriverTypeComboBoxChange(int index) {
    const QComboBox* list = m_pumpPage->driverTypeComboBox();
    if (!list || index < 0)
        return;
    if (const std::optional<DriverType> type = driverTypeOf(list->itemText(index)))
        enableDriverPages(driverPagesOf(*type));
}

void TMainForm1::enableDriverPages(DriverPages pages) {
    m_pumpPage->pumpNotebook()->setPageEnabled(0, pages.electric);
    m_pumpPage->pumpNotebook()->setPageEnabled(1, pages.diesel);
}

void TMainForm1::LookupMenuPopup() {
    const bool company = MainNotebook->currentIndex() == 0;
    LookupID1->setEnabled(true);
    LookupName1->setEnabled(company);
    LookupCity1->setEnabled(company);
    LookupState1->setEnabled(company);
    LookupAll1->setEnabled(company);
}

} // namespace nerova
