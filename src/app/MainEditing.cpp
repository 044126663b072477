// Inserting, saving, cancelling and deleting records, and the live evaluation of a test's
// flow points as readings are typed.
#include "app/ContactPage.h"
#include "app/MainForm.h"
#include "app/Notebook.h"
#include "app/PumpPage.h"
#include "app/TestPage.h"
#include "data/Cascade.h"
#include "data/EngineError.h"
#include "eval/Calculations.h"
#include "eval/FlowPointColumns.h"
#include "eval/FlowPointRows.h"
#include "eval/LatestTestSetup.h"
#include "eval/TestInitialization.h"
#include "flow/FlowPointDispatcher.h"
#include "flow/FlowPointFlowMeterDlg.h"
#include "flow/FlowPointHoseMonsterDlg.h"
#include "flow/FlowPointNozzleDlg.h"
#include "prefs/PreferencesRecord.h"
#include "prompt/Prompt.h"

#include <QAction>
#include <QPushButton>

namespace nerova {

namespace {

const QString kDeleteTexts[kRecordLevelCount] = {
    QStringLiteral("Delete this COMPANY and all associated LOCATIONS, PUMPS, TESTS, FLOW "
                   "POINTS?\nThis deletion is permanent!"),
    QStringLiteral("Delete this LOCATION and all associated PUMPS, TESTS, FLOW POINTS?\nThis "
                   "deletion is permanent!"),
    QStringLiteral("Delete this PUMP and all associated TESTS, FLOW POINTS?\nThis deletion is "
                   "permanent!"),
    QStringLiteral("Delete this TEST and all associated FLOW POINTS?\nThis deletion is permanent!"),
};

} // namespace

void TMainForm1::SetBrowseButtons() {
    for (QPushButton* b : {FirstBtn, PriorBtn, NextBtn, LastBtn, InsertBtn, DeleteBtn})
        b->setEnabled(true);
    SaveBtn->setEnabled(false);
    CancelBtn->setEnabled(false);
    enableNewTestFromLast();
}

void TMainForm1::SetEditButtons() {
    for (QPushButton* b : {FirstBtn, PriorBtn, NextBtn, LastBtn, InsertBtn, DeleteBtn})
        b->setEnabled(false);
    SaveBtn->setEnabled(true);
    CancelBtn->setEnabled(true);
    enableNewTestFromLast();
}

void TMainForm1::enableNewTestFromLast() {
    // Like Insert on the Test page: refused while a record is being edited.
    if (NewTestFromLast1)
        NewTestFromLast1->setEnabled(MainNotebook && MainNotebook->currentIndex() == 3 &&
                                     InsertBtn->isEnabled());
}

void TMainForm1::afterInsert(TableId level) {
    SetEditButtons();
    switch (level) {
    case TableId::Company:
        focusField(level, QStringLiteral("Name"));
        break;
    case TableId::Location:
        m_tables.location.setValue(QStringLiteral("SameAsCompany"), true);
        focusField(level, QStringLiteral("Name"));
        break;
    case TableId::Pump:
        focusField(level, QStringLiteral("Pump SN"));
        break;
    case TableId::Test:
        focusField(level, QStringLiteral("Test Date"));
        break;
    case TableId::Flow:
        break;
    }
}

void TMainForm1::afterPost(TableId level) {
    SetBrowseButtons();
    identifierField(level)->setEnabled(false);
    refreshIdentifierPanel(level);
}

void TMainForm1::afterCancel(TableId level) {
    identifierField(level)->setEnabled(false);
    SetBrowseButtons();
}

void TMainForm1::InsertBtnClick() {
    const TableId level = shownLevel();
    Table& t = m_tables.table(level);
    QWidget* id = identifierField(level);
    id->setEnabled(true);
    t.insert();
    // The new row belongs to the rows the pages above stand on: it takes their keys, each
    // from its own level's cursor.
    if (level != TableId::Company) {
        const QStringList key = tableDef(parentOf(level)).keyNames();
        for (qsizetype i = 0; i < key.size(); ++i)
            t.setValue(key[i], m_tables.table(levelAt(int(i))).value(key[i]));
    }
    switch (level) {
    case TableId::Location:
        t.setValue(QStringLiteral("LocationID"), QStringLiteral("*"));
        t.setValue(QStringLiteral("SameAsCompany"), true);
        break;
    case TableId::Test:
        t.setValue(QStringLiteral("Velocity Pressure"), false);
        InitializeTest(t, m_prefs);
        break;
    case TableId::Company:
    case TableId::Pump:
    case TableId::Flow:
        break;
    }
    focusIdentifier(level);
}

void TMainForm1::NewTestFromLast1Click() {
    Table& pump = m_tables.pump;
    if (shownLevel() != TableId::Test || editPending() || !pump.isOpen() || pump.recNo() == 0)
        return;
    // Read before the insert, which leaves no test of the pump current.
    const std::optional<LatestTestSetup> setup = latestTestSetup(
        m_db, pump.asString(QStringLiteral("CompanyID")),
        pump.asString(QStringLiteral("LocationID")), pump.asString(QStringLiteral("PumpID")));
    InsertBtnClick();
    if (!setup || m_tables.test.state() != TableState::Insert)
        return; // the pump's first test starts as any new test does
    applyTestSetup(m_tables.test, *setup);
    m_flow->setStartingDevices(setup->devices);
}

void TMainForm1::SaveBtnClick() {
    // A refused save throws: the record stays in edit with what was typed, the buttons stay
    // in edit mode, and the engine's text is shown by the caller. A test is saved with the
    // flow readings of its edit, in one transaction.
    if (shownLevel() == TableId::Test)
        m_flow->postTest();
    else
        m_tables.table(shownLevel()).post();
    showPageCount();
}

void TMainForm1::CancelBtnClick() {
    if (!Prompt::askYesNo(Prompt::Kind::Confirmation, QStringLiteral("Lose changed data?")))
        return;
    m_tables.table(shownLevel()).cancel();
    showPageCount();
}

void TMainForm1::showPageCount() {
    // Posting a master re-reads its details, whose notifications write their own figures
    // into the panel; the page's own table has the last word.
    storeRecordCount(shownLevel());
}

void TMainForm1::DeleteBtnClick() {
    const TableId level = shownLevel();
    // Enter after Delete keeps the record: the default answer is No.
    if (!Prompt::askYesNo(Prompt::Kind::Confirmation, kDeleteTexts[levelIndex(level)], {},
                          Prompt::Button::No))
        return;
    deleteCascade(level);
}

void TMainForm1::deleteCascade(TableId level) {
    Table& t = m_tables.table(level);
    if (!t.isOpen() || t.isEmpty())
        throw EngineError(QStringLiteral("Cannot perform this operation on an empty table."));
    QVariantList key;
    for (const QString& column : t.def().keyNames())
        key << t.value(column);
    // One transaction for the whole cascade: an error part-way leaves every row in place
    // instead of orphans or a half-deleted company.
    try {
        // Refused when another user changed the record since it was shown.
        deleteWithDependants(m_db, t.id(), key, {}, t.rowVersion());
    } catch (const EngineError& e) {
        // Another user changed the record meanwhile: show it as it is now.
        if (e.code() == EngineError::Code::Conflict)
            t.refresh();
        throw;
    }
    t.refresh(); // the next row (or none) becomes current; the levels below follow
}

void TMainForm1::CalculateTest(int n) {
    Table& test = m_tables.test;
    test.edit();
    if (n < 1 || n > kFlowPointCount)
        return;
    const FlowPointInputs in = flowPointInputsFrom(m_tables.pump, test, n);
    const FlowPointResults r = evaluateFlowPoint(in);
    test.setValue(flowPointColumn(kNetPressureStem, n), r.netPressure);
    test.setValue(flowPointColumn(kCorrectedFlowStem, n), r.correctedFlow);
    test.setValue(flowPointColumn(kCorrectedNetPressureStem, n), r.correctedNetPressure);
    test.setValue(flowPointColumn(kPercentRatedFlowStem, n), r.percentRatedFlow);
}

} // namespace nerova
