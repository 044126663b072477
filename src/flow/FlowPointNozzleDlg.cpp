#include "flow/FlowPointNozzleDlg.h"

#include "eval/FlowPointColumns.h"
#include "flow/FlowEntry.h"
#include "flow/FlowMath.h"

#include "prefs/PreferencesRecord.h"
#include <QPushButton>

namespace nerova {

TFlowPointNozzleDlg1::TFlowPointNozzleDlg1(Table& flow, const PreferencesRecord& prefs,
                                           QWidget* parent)
    : FlowPointDeviceDialog(flow, QStringLiteral("Flow Points - Nozzles"),
                            QStringLiteral("FlowPointNozzleDlg1"),
                            {{kNozzleSizeStem, "#.###", "Size%1Field", "Size", "inch"},
                             {kCoefficientStem, "#.###", "Coef%1Field", "Coef", ""},
                             {kPitotPressureStem, "###.#", "Pitot%1Field", "Pitot", "psi"}},
                            70, parent),
      m_prefs(prefs) {
    CoefFields = entries(kCoefficientStem);
    QList<QWidget*> order;
    for (int i = 0; i < kNozzleCount; ++i)
        order << SizeFields[i] << CoefFields[i] << PitotFields[i];
    order << OKBtn << CancelBtn << ClearAllBtn << RestoreDefaultsBtn;
    setFocusOrder(order);
}

void TFlowPointNozzleDlg1::putDefaults() {
    const double size = preferenceValue(m_prefs.defaultNozzleSize());
    const double coefficient = preferenceValue(m_prefs.defaultNozzleCoefficient());
    for (int i = 0; i < kNozzleCount; ++i) {
        SizeFields[i]->setValue(size);
        CoefFields[i]->setValue(coefficient);
    }
}

double TFlowPointNozzleDlg1::rowFlow(int i) const {
    return dischargeFlow(SizeFields[i]->value(), CoefFields[i]->value(), PitotFields[i]->value(),
                         kNozzleConstant);
}

} // namespace nerova
