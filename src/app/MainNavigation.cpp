// Moving between records and pages of the main window.
#include "app/ContactPage.h"
#include "app/MainForm.h"
#include "app/Notebook.h"
#include "app/PumpPage.h"
#include "app/TestPage.h"
#include "controls/Prompt.h"
#include "eval/TestInitializationU.h"
#include "prefs/PreferencesRecord.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace nerova {

namespace {

const QString kLeavePageText =
    QStringLiteral("Changed data must be Saved or Cancelled before changing pages.");

// Enabled states of the "Electric Driver" and "Diesel/Gas Driver" sub-pages by driver type;
// an unknown type leaves them as they are.
bool driverPages(int typeIndex, bool& electric, bool& diesel) {
    switch (typeIndex) {
    case 0: // Electric
        electric = true;
        diesel = false;
        return true;
    case 1: // Diesel
    case 2: // Gas
        electric = false;
        diesel = true;
        return true;
    case 3: // Electric & Diesel
        electric = diesel = true;
        return true;
    case 4: // Other
        electric = diesel = false;
        return true;
    default:
        return false;
    }
}

const QStringList kDriverTypes = {QStringLiteral("Electric"), QStringLiteral("Diesel"),
                                  QStringLiteral("Gas"), QStringLiteral("Electric & Diesel"),
                                  QStringLiteral("Other")};

} // namespace

void TMainForm1::FirstBtnClick() {
    Table& t = pageTable(MainNotebook->currentIndex());
    if (!t.isOpen() || t.bof() || t.recNo() <= 1)
        return;
    t.first();
}

void TMainForm1::PriorBtnClick() {
    Table& t = pageTable(MainNotebook->currentIndex());
    if (!t.isOpen() || t.bof())
        return;
    t.prior();
}

void TMainForm1::NextBtnClick() {
    Table& t = pageTable(MainNotebook->currentIndex());
    if (!t.isOpen() || t.eof())
        return;
    t.next();
}

void TMainForm1::LastBtnClick() {
    Table& t = pageTable(MainNotebook->currentIndex());
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

void TMainForm1::startNewRecord(int page) {
    Table& t = pageTable(page);
    if (!t.isOpen())
        return;
    QWidget* id = identifierField(page);
    id->setEnabled(true);
    t.insert();
    if (page == 1) {
        t.setValue(QStringLiteral("LocationID"), QStringLiteral("*"));
        t.setValue(QStringLiteral("SameAsCompany"), true);
    }
    if (page == 3) {
        t.setValue(QStringLiteral("Velocity Pressure"), false);
        id->setFocus(Qt::OtherFocusReason);
        InitializeTest(t, m_prefs);
        return;
    }
    focusIdentifier(page);
}

void TMainForm1::focusIdentifier(int page) {
    QWidget* id = identifierField(page);
    id->setFocus(Qt::OtherFocusReason);
    // The "*" a new location starts with is a placeholder: typing replaces it.
    if (auto* edit = qobject_cast<QLineEdit*>(id))
        edit->selectAll();
}

void TMainForm1::MainNotebookPageChanged(int k) {
    switch (k) {
    case 0:
        ShowRecordCount(1);
        break;
    case 1:
        if (m_tables.location.isOpen() && m_tables.location.asString("LocationID").isEmpty())
            startNewRecord(1);
        ShowRecordCount(2);
        break;
    case 2:
        if (m_tables.pump.isOpen() && m_tables.pump.asString("PumpID").isEmpty())
            startNewRecord(2);
        UpdateDriverPages();
        ShowRecordCount(3);
        break;
    case 3: {
        if (m_tables.test.isOpen() && m_tables.test.asString("TestID").isEmpty())
            startNewRecord(3);
        Table& pump = m_tables.pump;
        const QString pumpType = pump.isOpen() ? pump.asString("Pump Type") : QString();
        if (pumpType == QLatin1String("Vertical Turbine"))
            testPage->setSuctionHeader(QStringLiteral("Water"), QStringLiteral("Level"));
        else
            testPage->setSuctionHeader(QStringLiteral("Suction"), QStringLiteral("Press"));
        const QString driver = pump.isOpen() ? pump.asString("Driver Type") : QString();
        testPage->setElectricalEnabled(driver == QLatin1String("Electric") ||
                                       driver == QLatin1String("Electric & Diesel") ||
                                       driver.isEmpty());
        testPage->setTimeEnabled(m_prefs.useTestTime());
        ShowRecordCount(4);
        break;
    }
    default:
        break;
    }
    CurrentPage = k;
    // The lookup items keep the page's enabled states between openings of the menu, so
    // their shortcuts obey them too.
    LookupMenuPopup();
}

void TMainForm1::UpdateDriverPages() {
    const QString driver =
        m_tables.pump.isOpen() ? m_tables.pump.asString("Driver Type") : QString();
    bool electric = false;
    bool diesel = false;
    if (!driverPages(static_cast<int>(kDriverTypes.indexOf(driver)), electric, diesel))
        return;
    pumpPage->pumpNotebook()->setPageEnabled(0, electric);
    pumpPage->pumpNotebook()->setPageEnabled(1, diesel);
}

void TMainForm1::DriverTypeComboBoxChange(int index) {
    bool electric = false;
    bool diesel = false;
    if (!driverPages(index, electric, diesel))
        return;
    pumpPage->pumpNotebook()->setPageEnabled(0, electric);
    pumpPage->pumpNotebook()->setPageEnabled(1, diesel);
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
