#include "flow/FlowPointHoseMonsterDlg.h"

#include "controls/CommandGuard.h"
#include "controls/Prompt.h"
#include "data/Table.h"
#include "flow/FlowColumns.h"
#include "flow/FlowEntry.h"
#include "flow/FlowMath.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace nerova {

TFlowPointHoseMonsterDlg1::TFlowPointHoseMonsterDlg1(Table& flow, Table& test, QWidget* parent)
    : FlowPointDialog(flow, QStringLiteral("Flow Points - Hose Monster"), parent), m_test(test) {
    setObjectName(QStringLiteral("FlowPointHoseMonsterDlg1"));
    for (int i = 0; i < kNozzleCount; ++i) {
        const int k = i + 1;
        SizeFields[i] =
            new FlowEntry(QStringLiteral("#.###"), nozzleColumn(kNozzleSizeStem, k), this);
        PitotFields[i] =
            new FlowEntry(QStringLiteral("###.#"), nozzleColumn(kPitotPressureStem, k), this);
        SizeFields[i]->setObjectName(QStringLiteral("Size%1Field").arg(k));
        PitotFields[i]->setObjectName(QStringLiteral("Pitot%1Field").arg(k));
        for (FlowEntry* e : {SizeFields[i], PitotFields[i]})
            connect(e, &FlowEntry::valueChanged, this,
                    [this, k] { runGuarded([this, k] { Calculate(k); }); });
        FlowLabels[i] = new QLabel(this);
        FlowLabels[i]->setObjectName(QStringLiteral("Flow%1Label").arg(k));
        FlowLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    TotalFlowLabel = new QLabel(this);
    TotalFlowLabel->setObjectName(QStringLiteral("TotalFlowLabel"));
    TotalFlowLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ClearAllBtn = makeButton(QStringLiteral("Clear All"));
    RestoreDefaultsBtn = makeButton(QStringLiteral("Restore Defaults"));
    connect(ClearAllBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { ClearAllBtnClick(); }); });
    connect(RestoreDefaultsBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { RestoreDefaultsBtnClick(); }); });
    buildLayout();

    // Sizes first, then the buttons, then the pitots: the sizes are usually set once per
    // test, the pitots read at every point.
    QList<QWidget*> order(SizeFields.begin(), SizeFields.end());
    order << OKBtn << CancelBtn << ClearAllBtn << RestoreDefaultsBtn;
    for (FlowEntry* e : PitotFields)
        order << e;
    setFocusOrder(order);
    showFlows();
}

void TFlowPointHoseMonsterDlg1::buildLayout() {
    auto* grid = new QGridLayout(this);
    grid->addWidget(FlowPointNumberLabel, 0, 0, 1, 4);
    const char* heads[2][4] = {{"Nozzle", "Size", "Pitot", "Flow"}, {"#", "inch", "psi", "gpm"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c) {
            auto* head = new QLabel(QString::fromLatin1(heads[r][c]), this);
            head->setAlignment(Qt::AlignCenter);
            grid->addWidget(head, r + 1, c);
        }
    for (int i = 0; i < kNozzleCount; ++i) {
        const int row = i + 3;
        auto* number = new QLabel(QString::number(i + 1), this);
        number->setAlignment(Qt::AlignCenter);
        number->setBuddy(SizeFields[i]);
        grid->addWidget(number, row, 0);
        grid->addWidget(SizeFields[i], row, 1);
        grid->addWidget(PitotFields[i], row, 2);
        grid->addWidget(FlowLabels[i], row, 3);
    }
    grid->addWidget(TotalFlowLabel, 11, 3);
    grid->addWidget(OKBtn, 12, 1);
    grid->addWidget(CancelBtn, 12, 2);
    grid->addWidget(ClearAllBtn, 13, 1);
    grid->addWidget(RestoreDefaultsBtn, 13, 2);
    for (int c = 1; c <= 3; ++c)
        grid->setColumnMinimumWidth(c, 80);
}

QWidget* TFlowPointHoseMonsterDlg1::firstFocus() const {
    return SizeFields[0];
}

double TFlowPointHoseMonsterDlg1::deviceSize() const {
    return hoseMonsterDeviceSize(m_test.asString(QString::fromLatin1(kDischargeDeviceColumn)));
}

QString TFlowPointHoseMonsterDlg1::incorrectSizeMessage() {
    return QStringLiteral("There is an incorrect Size!\n"
                          "\n"
                          "Sizes must be:\n"
                          "  2.5      (2-1/2) or\n"
                          "  1.75    (1-3/4) or\n"
                          "  1.125  (1-1/8) or\n"
                          "  0.0");
}

void TFlowPointHoseMonsterDlg1::FormShow() {
    if (!FlowRowFound) {
        const double size = deviceSize();
        for (int i = 0; i < kNozzleCount; ++i) {
            SizeFields[i]->setValue(size);
            PitotFields[i]->setValue(0);
        }
        MonsterFlow.fill(0);
        TotalFlow = 0;
    } else {
        for (int i = 0; i < kNozzleCount; ++i) {
            SizeFields[i]->setValue(m_flow.asFloat(nozzleColumn(kNozzleSizeStem, i + 1)));
            PitotFields[i]->setValue(m_flow.asFloat(nozzleColumn(kPitotPressureStem, i + 1)));
        }
        // Shown as stored, not recomputed.
        for (int i = 0; i < kNozzleCount; ++i)
            MonsterFlow[i] = m_flow.asFloat(nozzleColumn(kCalculatedFlowStem, i + 1));
        TotalFlow = m_flow.asFloat(QString::fromLatin1(kFlowMeterColumn));
    }
    showFlows();
    SizeFields[0]->setFocus(Qt::OtherFocusReason);
}

void TFlowPointHoseMonsterDlg1::Calculate(int k) {
    if (k < 1 || k > kNozzleCount)
        return;
    const int i = k - 1;
    const double size = SizeFields[i]->value();
    MonsterFlow[i] = dischargeFlow(size, hoseMonsterCoefficient(size), PitotFields[i]->value(),
                                   kHoseMonsterConstant);
    TotalFlow = totalOfRoundedFlows(MonsterFlow);
    FlowLabels[i]->setText(flowDisplayText(MonsterFlow[i]));
    TotalFlowLabel->setText(flowDisplayText(TotalFlow));
}

void TFlowPointHoseMonsterDlg1::showFlows() {
    for (int i = 0; i < kNozzleCount; ++i)
        FlowLabels[i]->setText(flowDisplayText(MonsterFlow[i]));
    TotalFlowLabel->setText(flowDisplayText(TotalFlow));
}

void TFlowPointHoseMonsterDlg1::OKBtnClick() {
    for (const FlowEntry* e : SizeFields) {
        if (!isHoseMonsterSize(e->value())) {
            Prompt::error(incorrectSizeMessage());
            return;
        }
    }
    accept();
}

void TFlowPointHoseMonsterDlg1::ClearAllBtnClick() {
    for (int i = 0; i < kNozzleCount; ++i) {
        SizeFields[i]->setValue(0);
        PitotFields[i]->setValue(0);
    }
    MonsterFlow.fill(0);
    TotalFlow = 0;
    showFlows();
}

void TFlowPointHoseMonsterDlg1::RestoreDefaultsBtnClick() {
    const double size = deviceSize();
    for (FlowEntry* e : SizeFields)
        e->setValue(size);
    for (int k = 1; k <= kNozzleCount; ++k)
        Calculate(k);
}

void TFlowPointHoseMonsterDlg1::SaveFlowRow(Table& flow) {
    // The coefficient columns belong to the nozzle dialog and keep what it stored.
    for (int k = 1; k <= kNozzleCount; ++k)
        flow.setValue(nozzleColumn(kNozzleSizeStem, k), SizeFields[k - 1]->value());
    for (int k = 1; k <= kNozzleCount; ++k)
        flow.setValue(nozzleColumn(kPitotPressureStem, k), PitotFields[k - 1]->value());
    for (int k = 1; k <= kNozzleCount; ++k)
        flow.setValue(nozzleColumn(kCalculatedFlowStem, k), MonsterFlow[k - 1]);
    flow.setValue(QString::fromLatin1(kFlowMeterColumn), TotalFlow);
}

} // namespace nerova
