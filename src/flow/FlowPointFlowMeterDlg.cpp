#include "flow/FlowPointFlowMeterDlg.h"

#include "data/Table.h"
#include "eval/FlowPointColumns.h"
#include "flow/FlowEntry.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace nerova {

TFlowPointFLowMeterDlg1::TFlowPointFLowMeterDlg1(Table& flow, QWidget* parent)
    : FlowPointDialog(flow, QStringLiteral("Flow Points - Flow Meter"), parent) {
    setObjectName(QStringLiteral("FlowPointFLowMeterDlg1"));
    FlowMeterField =
        new FlowEntry(QStringLiteral("#,###"), QString::fromLatin1(kFlowMeterColumn), this);
    FlowMeterField->setObjectName(QStringLiteral("FlowMeterField"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(FlowPointNumberLabel, 0, 0, 1, 2);
    auto* caption = new QLabel(QStringLiteral("Flow Meter"), this);
    caption->setAlignment(Qt::AlignCenter);
    caption->setBuddy(FlowMeterField);
    auto* unit = new QLabel(QStringLiteral("gpm"), this);
    unit->setAlignment(Qt::AlignCenter);
    grid->addWidget(caption, 1, 0, 1, 2);
    grid->addWidget(unit, 2, 0, 1, 2);
    grid->addWidget(FlowMeterField, 3, 0, 1, 2);
    grid->addWidget(OKBtn, 4, 0);
    grid->addWidget(CancelBtn, 4, 1);

    setFocusOrder({OKBtn, CancelBtn, FlowMeterField});
}

QWidget* TFlowPointFLowMeterDlg1::firstFocus() const {
    return FlowMeterField;
}

void TFlowPointFLowMeterDlg1::FormShow() {
    FlowMeterField->setValue(FlowRowFound ? m_flow.asFloat(QString::fromLatin1(kFlowMeterColumn))
                                          : 0.0);
    FlowMeterField->setFocus(Qt::OtherFocusReason);
}

void TFlowPointFLowMeterDlg1::SaveFlowRow(Table& flow) {
    flow.setValue(QString::fromLatin1(kFlowMeterColumn), FlowMeterField->value());
}

} // namespace nerova
