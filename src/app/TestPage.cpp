#include "app/TestPage.h"

#include "app/EvaluationPage.h"
#include "app/FlowsGrid.h"
#include "app/Notebook.h"
#include "app/TestSubPages.h"
#include "app/VerdictLine.h"
#include "data/Table.h"
#include "eval/DomainValues.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace nerova {

namespace {

const QList<FieldEntry> kWhenSpecs = {
    {"ID:", "TestID", FieldKind::Text, {}, 20},
    {"Date:", "Test Date", FieldKind::Date},
    {"Start:", "Test Start Time", FieldKind::Time},
    {"End:", "Test End Time", FieldKind::Time},
};

const QList<FieldEntry> kHowSpecs = {
    {.caption = "Method:",
     .column = "Test Method",
     .kind = FieldKind::ListOrText,
     .items = {"Devices with hose", "Devices on test header", "Open butt", "Fire hydrant",
               "Standpipe"}},
    {.caption = "Discharge Devices:",
     .column = "Discharge Device",
     .kind = FieldKind::ListOrText,
     .items = dischargeDeviceNames()},
    {"Suction Pressure Loc:", "Suction Pressure Loc", FieldKind::Text, {}, 25},
    {"Discharge Pressure Loc:", "Discharge Pressure Loc", FieldKind::Text, {}, 25},
};

} // namespace

TestPage::TestPage(Table& test, QWidget* parent) : QWidget(parent), m_fields(test) {
    auto* when = new QWidget(this);
    m_fields.addGrid(when, kWhenSpecs)->setContentsMargins(0, 0, 0, 0);
    auto* how = new QWidget(this);
    m_fields.addGrid(how, kHowSpecs)->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    top->addWidget(when);
    top->addSpacing(24);
    top->addWidget(how);
    top->addStretch(1);
    m_verdict = new VerdictLine(test, this);
    top->addWidget(m_verdict, 0, Qt::AlignTop);

    m_notebook = new Notebook(this);
    m_notebook->setObjectName(QStringLiteral("TestNotebook"));
    m_flows = new FlowsGrid(m_fields);
    m_notebook->addPage(m_flows, tr("Flows"));
    addTestSubPages(*m_notebook, m_fields);
    m_evaluation = new EvaluationPage(test);
    m_notebook->addPage(m_evaluation, tr("Evaluation"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_notebook, 1);

    connect(m_flows, &FlowsGrid::pointInputChanged, this, &TestPage::pointInputChanged);
    connect(m_flows, &FlowsGrid::velocityPressureChanged, this, &TestPage::velocityPressureChanged);
    connect(m_flows, &FlowsGrid::flowDialogRequested, this, &TestPage::flowDialogRequested);

    m_fields.chainTabOrder();
    m_identifier = m_fields.field(QStringLiteral("TestID"));
    m_identifier->setEnabled(false);
}

void TestPage::setSuctionHeader(const QString& line1, const QString& line2) {
    m_flows->setSuctionHeader(line1, line2);
}

QString TestPage::suctionHeaderText() const {
    return m_flows->suctionHeaderText();
}

void TestPage::setElectricalEnabled(bool enabled) {
    m_flows->setElectricalEnabled(enabled);
}

bool TestPage::electricalEnabled() const {
    return m_flows->electricalEnabled();
}

void TestPage::setTimeEnabled(bool enabled) {
    m_flows->setTimeEnabled(enabled);
}

QWidget* TestPage::flowField(int n) const {
    return m_flows->flowField(n);
}

QWidget* TestPage::velocityPressureBox() const {
    return m_flows->velocityPressureBox();
}

} // namespace nerova
