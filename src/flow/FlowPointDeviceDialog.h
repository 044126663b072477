#pragma once

#include "eval/FlowPointColumns.h"
#include "flow/FlowPointDialog.h"

#include <array>
#include <vector>

namespace nerova {

class FlowEntry;

// What the nozzle and hose-monster dialogs share: a row of entries for each of the eight
// outlets a point may flow through, each row's flow, the point's total as the sum of the
// rounded row flows, and the Clear All and Restore Defaults buttons. A dialog says which
// entries a row holds, what a new point starts from and how a row's flow follows from its
// entries.
class FlowPointDeviceDialog : public FlowPointDialog {
    Q_OBJECT
public:
    void FormShow() override;
    void SaveFlowRow(Table& flow) override;

    // Recomputes row k (1 to 8) and the total.
    void Calculate(int k);
    void ClearAllBtnClick();
    // Puts the default entries back and recomputes every row; the pitots stay.
    void RestoreDefaultsBtnClick();

    // The unrounded flow of row i (0 to 7) and the point's whole-number total: what OK
    // saves.
    double deviceFlow(int i) const { return DeviceFlow.at(static_cast<std::size_t>(i)); }
    double totalFlow() const { return TotalFlow; }

protected:
    // One column of entries: the flow column stem it edits, its picture, its object name
    // with %1 for the row, and its heading in two lines.
    struct EntryColumn {
        const char* stem;
        const char* picture;
        const char* objectName;
        const char* head;
        const char* unit;
    };

    // columns: the entries of a row from left to right; the size and pitot columns must be
    // among them. columnWidth: the least width of the entry and flow columns.
    FlowPointDeviceDialog(Table& flow, const QString& caption, const QString& objectName,
                          const std::vector<EntryColumn>& columns, int columnWidth,
                          QWidget* parent);

    // The entries of the column editing stem.
    const std::array<FlowEntry*, kNozzleCount>& entries(const char* stem) const;

    // Sets the entries a new point starts from (the pitots are cleared apart).
    virtual void putDefaults() = 0;
    // The unrounded flow of row i (0 to 7) from its entries.
    virtual double rowFlow(int i) const = 0;

    QWidget* firstFocus() const override;

    // Size1Field … Size8Field, Pitot1Field …, Flow1Label …, by index 0 to 7.
    std::array<FlowEntry*, kNozzleCount> SizeFields{};
    std::array<FlowEntry*, kNozzleCount> PitotFields{};
    std::array<QLabel*, kNozzleCount> FlowLabels{};
    QLabel* TotalFlowLabel = nullptr;
    QPushButton* ClearAllBtn = nullptr;
    QPushButton* RestoreDefaultsBtn = nullptr;

private:
    void buildLayout(int columnWidth);
    // Shows flows and total as they stand in the working values.
    void showFlows();

    std::vector<EntryColumn> m_columns;
    std::vector<std::array<FlowEntry*, kNozzleCount>> m_entries; // by column, then row
    std::array<double, kNozzleCount> DeviceFlow{};
    double TotalFlow = 0;
};

} // namespace nerova
