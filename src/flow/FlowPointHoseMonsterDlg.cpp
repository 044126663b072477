#include "flow/FlowPointHoseMonsterDlg.h"

#include "data/Table.h"
#include "eval/FlowPointColumns.h"
#include "flow/FlowEntry.h"
#include "flow/FlowMath.h"
#include "prompt/Prompt.h"

#include <QPushButton>

namespace nerova {

TFlowPointHoseMonsterDlg1::TFlowPointHoseMonsterDlg1(Table& flow, Table& test, QWidget* parent)
    : FlowPointDeviceDialog(flow, QStringLiteral("Flow Points - Hose Monster"),
                            QStringLiteral("FlowPointHoseMonsterDlg1"),
                            {{kNozzleSizeStem, "#.###", "Size%1Field", "Size", "inch"},
                             {kPitotPressureStem, "###.#", "Pitot%1Field", "Pitot", "psi"}},
                            80, parent),
      m_test(test) {
    // Sizes first, then the buttons, then the pitots: the sizes are usually set once per
    // test, the pitots read at every point.
    QList<QWidget*> order(SizeFields.begin(), SizeFields.end());
    order << OKBtn << CancelBtn << ClearAllBtn << RestoreDefaultsBtn;
    for (FlowEntry* e : PitotFields)
        order << e;
    setFocusOrder(order);
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

void TFlowPointHoseMonsterDlg1::putDefaults() {
    const double size =
        hoseMonsterDeviceSize(m_test.asString(QString::fromLatin1(kDischargeDeviceColumn)));
    for (FlowEntry* e : SizeFields)
        e->setValue(size);
}

double TFlowPointHoseMonsterDlg1::rowFlow(int i) const {
    const double size = SizeFields[i]->value();
    return dischargeFlow(size, hoseMonsterCoefficient(size), PitotFields[i]->value(),
                         kHoseMonsterConstant);
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

} // namespace nerova
