#include "flow/FlowPointNozzleDlg.h"

#include "controls/CommandGuard.h"
#include "data/Table.h"
#include "flow/FlowColumns.h"
#include "flow/FlowEntry.h"
#include "flow/FlowMath.h"
#include "settings/PreferencesRecord.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace nerova {

TFlowPointNozzleDlg1::TFlowPointNozzleDlg1(Table& flow, const PreferencesRecord& prefs,
                                           QWidget* parent)
    : FlowPointDialog(flow, QStringLiteral("Flow Points - Nozzles"), parent), m_prefs(prefs) {
    setObjectName(QStringLiteral("FlowPointNozzleDlg1"));
    for (int i = 0; i < kNozzleCount; ++i) {
        const int k = i + 1;
        SizeFields[i] =
            new FlowEntry(QStringLiteral("#.###"), nozzleColumn(kNozzleSizeStem, k), this);
        CoefFields[i] =
            new FlowEntry(QStringLiteral("#.###"), nozzleColumn(kCoefficientStem, k), this);
        PitotFields[i] =
            new FlowEntry(QStringLiteral("###.#"), nozzleColumn(kPitotPressureStem, k), this);
        SizeFields[i]->setObjectName(QStringLiteral("Size%1Field").arg(k));
        CoefFields[i]->setObjectName(QStringLiteral("Coef%1Field").arg(k));
        PitotFields[i]->setObjectName(QStringLiteral("Pitot%1Field").arg(k));
        for (FlowEntry* e : {SizeFields[i], CoefFields[i], PitotFields[i]})
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

    QList<QWidget*> order;
    for (int i = 0; i < kNozzleCount; ++i)
        order << SizeFields[i] << CoefFields[i] << PitotFields[i];
    order << OKBtn << CancelBtn << ClearAllBtn << RestoreDefaultsBtn;
    setFocusOrder(order);
    showFlows();
}

void TFlowPointNozzleDlg1::buildLayout() {
    auto* grid = new QGridLayout(this);
    grid->addWidget(FlowPointNumberLabel, 0, 0, 1, 5);
    const char* heads[2][5] = {{"Nozzle", "Size", "Coef", "Pitot", "Flow"},
                               {"#", "inch", "", "psi", "gpm"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 5; ++c) {
            auto* head = new QLabel(QString::fromLatin1(heads[r][c]), this);
            head->setAlignment(Qt::AlignCenter);
            grid->addWidget(head, r + 1, c);
        }
    for (int i = 0; i < kNozzleCount; ++i) {
        const int row = i + 3;
        auto* number = new QLabel(QString::number(i + 1), this);
        number->setAlignment(Qt::AlignCenter);
        grid->addWidget(number, row, 0);
        grid->addWidget(SizeFields[i], row, 1);
        grid->addWidget(CoefFields[i], row, 2);
        grid->addWidget(PitotFields[i], row, 3);
        grid->addWidget(FlowLabels[i], row, 4);
        // Each caption names its entries for mnemonics and screen readers.
        number->setBuddy(SizeFields[i]);
    }
    grid->addWidget(TotalFlowLabel, 11, 4);
    grid->addWidget(OKBtn, 12, 1);
    grid->addWidget(CancelBtn, 12, 3);
    grid->addWidget(ClearAllBtn, 13, 1);
    grid->addWidget(RestoreDefaultsBtn, 13, 3);
    for (int c = 1; c <= 4; ++c)
        grid->setColumnMinimumWidth(c, 70);
}

QWidget* TFlowPointNozzleDlg1::firstFocus() const {
    return SizeFields[0];
}

double TFlowPointNozzleDlg1::preferredSize() const {
    return preferenceValue(m_prefs.defaultNozzleSize());
}

double TFlowPointNozzleDlg1::preferredCoefficient() const {
    return preferenceValue(m_prefs.defaultNozzleCoefficient());
}

void TFlowPointNozzleDlg1::FormShow() {
    // The entries recompute as they are filled; the working values and displays are set
    // afterwards, so a stored point shows its stored flows and total, not fresh ones.
    if (!FlowRowFound) {
        const double size = preferredSize();
        const double coefficient = preferredCoefficient();
        for (int i = 0; i < kNozzleCount; ++i) {
            SizeFields[i]->setValue(size);
            CoefFields[i]->setValue(coefficient);
            PitotFields[i]->setValue(0);
        }
        NozzleFlow.fill(0);
        TotalFlow = 0;
    } else {
        for (int i = 0; i < kNozzleCount; ++i) {
            const int k = i + 1;
            SizeFields[i]->setValue(m_flow.asFloat(nozzleColumn(kNozzleSizeStem, k)));
            CoefFields[i]->setValue(m_flow.asFloat(nozzleColumn(kCoefficientStem, k)));
            PitotFields[i]->setValue(m_flow.asFloat(nozzleColumn(kPitotPressureStem, k)));
        }
        for (int i = 0; i < kNozzleCount; ++i)
            NozzleFlow[i] = m_flow.asFloat(nozzleColumn(kCalculatedFlowStem, i + 1));
        TotalFlow = m_flow.asFloat(QString::fromLatin1(kFlowMeterColumn));
    }
    showFlows();
    SizeFields[0]->setFocus(Qt::OtherFocusReason);
}

void TFlowPointNozzleDlg1::Calculate(int k) {
    if (k < 1 || k > kNozzleCount)
        return;
    const int i = k - 1;
    NozzleFlow[i] = dischargeFlow(SizeFields[i]->value(), CoefFields[i]->value(),
                                  PitotFields[i]->value(), kNozzleConstant);
    TotalFlow = totalOfRoundedFlows(NozzleFlow);
    FlowLabels[i]->setText(flowDisplayText(NozzleFlow[i]));
    TotalFlowLabel->setText(flowDisplayText(TotalFlow));
}

void TFlowPointNozzleDlg1::showFlows() {
    for (int i = 0; i < kNozzleCount; ++i)
        FlowLabels[i]->setText(flowDisplayText(NozzleFlow[i]));
    TotalFlowLabel->setText(flowDisplayText(TotalFlow));
}

void TFlowPointNozzleDlg1::ClearAllBtnClick() {
    for (int i = 0; i < kNozzleCount; ++i) {
        SizeFields[i]->setValue(0);
        CoefFields[i]->setValue(0);
        PitotFields[i]->setValue(0);
    }
    NozzleFlow.fill(0);
    TotalFlow = 0;
    showFlows();
}

void TFlowPointNozzleDlg1::RestoreDefaultsBtnClick() {
    const double size = preferredSize();
    const double coefficient = preferredCoefficient();
    for (int i = 0; i < kNozzleCount; ++i) {
        SizeFields[i]->setValue(size);
        CoefFields[i]->setValue(coefficient);
    }
    for (int k = 1; k <= kNozzleCount; ++k)
        Calculate(k);
}

void TFlowPointNozzleDlg1::SaveFlowRow(Table& flow) {
    for (int k = 1; k <= kNozzleCount; ++k)
        flow.setValue(nozzleColumn(kNozzleSizeStem, k), SizeFields[k - 1]->value());
    for (int k = 1; k <= kNozzleCount; ++k)
        flow.setValue(nozzleColumn(kCoefficientStem, k), CoefFields[k - 1]->value());
    for (int k = 1; k <= kNozzleCount; ++k)
        flow.setValue(nozzleColumn(kPitotPressureStem, k), PitotFields[k - 1]->value());
    for (int k = 1; k <= kNozzleCount; ++k)
        flow.setValue(nozzleColumn(kCalculatedFlowStem, k), NozzleFlow[k - 1]);
    flow.setValue(QString::fromLatin1(kFlowMeterColumn), TotalFlow);
}

} // namespace nerova
