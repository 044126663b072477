#include "flow/FlowPointDeviceDialog.h"

#include "controls/CommandGuard.h"
#include "data/Table.h"
#include "eval/FlowPointColumns.h"
#include "flow/FlowEntry.h"
#include "flow/FlowMath.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <cstring>
#include <stdexcept>
#include <string>

namespace nerova {

FlowPointDeviceDialog::FlowPointDeviceDialog(Table& flow, const QString& caption,
                                             const QString& objectName,
                                             const std::vector<EntryColumn>& columns,
                                             int columnWidth, QWidget* parent)
    : FlowPointDialog(flow, caption, parent), m_columns(columns), m_entries(columns.size()) {
    setObjectName(objectName);
    for (int i = 0; i < kNozzleCount; ++i) {
        const int k = i + 1;
        for (std::size_t c = 0; c < m_columns.size(); ++c) {
            const EntryColumn& column = m_columns[c];
            auto* entry = new FlowEntry(QString::fromLatin1(column.picture),
                                        flowPointColumn(column.stem, k), this);
            entry->setObjectName(QString::fromLatin1(column.objectName).arg(k));
            connect(entry, &FlowEntry::valueChanged, this,
                    [this, k] { runGuarded([this, k] { Calculate(k); }); });
            m_entries[c][i] = entry;
        }
        FlowLabels[i] = new QLabel(this);
        FlowLabels[i]->setObjectName(QStringLiteral("Flow%1Label").arg(k));
        FlowLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    SizeFields = entries(kNozzleSizeStem);
    PitotFields = entries(kPitotPressureStem);
    TotalFlowLabel = new QLabel(this);
    TotalFlowLabel->setObjectName(QStringLiteral("TotalFlowLabel"));
    TotalFlowLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ClearAllBtn = makeButton(QStringLiteral("Clear All"));
    RestoreDefaultsBtn = makeButton(QStringLiteral("Restore Defaults"));
    connect(ClearAllBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { ClearAllBtnClick(); }); });
    connect(RestoreDefaultsBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { RestoreDefaultsBtnClick(); }); });
    buildLayout(columnWidth);
    showFlows();
}

const std::array<FlowEntry*, kNozzleCount>& FlowPointDeviceDialog::entries(const char* stem) const {
    for (std::size_t c = 0; c < m_columns.size(); ++c)
        if (std::strcmp(m_columns[c].stem, stem) == 0)
            return m_entries[c];
    throw std::logic_error("no entry column for " + std::string(stem));
}

void FlowPointDeviceDialog::buildLayout(int columnWidth) {
    // Row number, the entries, then the flow.
    const int flowColumn = int(m_columns.size()) + 1;
    auto* grid = new QGridLayout(this);
    grid->addWidget(FlowPointNumberLabel, 0, 0, 1, flowColumn + 1);
    auto addHead = [&](const char* head, const char* unit, int c) {
        for (int r = 0; r < 2; ++r) {
            auto* label = new QLabel(QString::fromLatin1(r == 0 ? head : unit), this);
            label->setAlignment(Qt::AlignCenter);
            grid->addWidget(label, r + 1, c);
        }
    };
    addHead("Nozzle", "#", 0);
    for (int c = 1; c < flowColumn; ++c)
        addHead(m_columns[c - 1].head, m_columns[c - 1].unit, c);
    addHead("Flow", "gpm", flowColumn);
    for (int i = 0; i < kNozzleCount; ++i) {
        const int row = i + 3;
        auto* number = new QLabel(QString::number(i + 1), this);
        number->setAlignment(Qt::AlignCenter);
        grid->addWidget(number, row, 0);
        for (int c = 1; c < flowColumn; ++c)
            grid->addWidget(m_entries[c - 1][i], row, c);
        grid->addWidget(FlowLabels[i], row, flowColumn);
        // Each caption names its entries for mnemonics and screen readers.
        number->setBuddy(SizeFields[i]);
    }
    grid->addWidget(TotalFlowLabel, 11, flowColumn);
    grid->addWidget(OKBtn, 12, 1);
    grid->addWidget(CancelBtn, 12, flowColumn - 1);
    grid->addWidget(ClearAllBtn, 13, 1);
    grid->addWidget(RestoreDefaultsBtn, 13, flowColumn - 1);
    for (int c = 1; c <= flowColumn; ++c)
        grid->setColumnMinimumWidth(c, columnWidth);
}

QWidget* FlowPointDeviceDialog::firstFocus() const {
    return SizeFields[0];
}

void FlowPointDeviceDialog::FormShow() {
    // The entries recompute as they are filled; the working values and displays are set
    // afterwards, so a stored point shows its stored flows and total, not fresh ones.
    if (!FlowRowFound) {
        putDefaults();
        for (FlowEntry* e : PitotFields)
            e->setValue(0);
        DeviceFlow.fill(0);
        TotalFlow = 0;
    } else {
        for (int i = 0; i < kNozzleCount; ++i)
            for (std::size_t c = 0; c < m_columns.size(); ++c)
                m_entries[c][i]->setValue(
                    m_flow.asFloat(flowPointColumn(m_columns[c].stem, i + 1)));
        for (int i = 0; i < kNozzleCount; ++i)
            DeviceFlow[i] = m_flow.asFloat(flowPointColumn(kCalculatedFlowStem, i + 1));
        TotalFlow = m_flow.asFloat(QString::fromLatin1(kFlowMeterColumn));
    }
    showFlows();
    SizeFields[0]->setFocus(Qt::OtherFocusReason);
}

void FlowPointDeviceDialog::Calculate(int k) {
    if (k < 1 || k > kNozzleCount)
        return;
    const int i = k - 1;
    DeviceFlow[i] = rowFlow(i);
    TotalFlow = totalOfRoundedFlows(DeviceFlow);
    FlowLabels[i]->setText(flowDisplayText(DeviceFlow[i]));
    TotalFlowLabel->setText(flowDisplayText(TotalFlow));
}

void FlowPointDeviceDialog::showFlows() {
    for (int i = 0; i < kNozzleCount; ++i)
        FlowLabels[i]->setText(flowDisplayText(DeviceFlow[i]));
    TotalFlowLabel->setText(flowDisplayText(TotalFlow));
}

void FlowPointDeviceDialog::ClearAllBtnClick() {
    for (int i = 0; i < kNozzleCount; ++i)
        for (const auto& column : m_entries)
            column[i]->setValue(0);
    DeviceFlow.fill(0);
    TotalFlow = 0;
    showFlows();
}

void FlowPointDeviceDialog::RestoreDefaultsBtnClick() {
    putDefaults();
    for (int k = 1; k <= kNozzleCount; ++k)
        Calculate(k);
}

void FlowPointDeviceDialog::SaveFlowRow(Table& flow) {
    // Only the columns this dialog edits: another device's columns keep what it stored.
    for (std::size_t c = 0; c < m_columns.size(); ++c)
        for (int k = 1; k <= kNozzleCount; ++k)
            flow.setValue(flowPointColumn(m_columns[c].stem, k), m_entries[c][k - 1]->value());
    for (int k = 1; k <= kNozzleCount; ++k)
        flow.setValue(flowPointColumn(kCalculatedFlowStem, k), DeviceFlow[k - 1]);
    flow.setValue(QString::fromLatin1(kFlowMeterColumn), TotalFlow);
}

} // namespace nerova
