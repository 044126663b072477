#include "flow/FlowMath.h"

#include "controls/NumberPicture.h"
#include "eval/FlowPointColumns.h"

#include <cmath>

namespace nerova {

double dischargeFlow(double size, double coefficient, double pitot, long double constant) {
    if (!(pitot > 0)) // also refuses a NaN
        return 0;
    const long double s = size;
    return static_cast<double>(s * s * constant * static_cast<long double>(coefficient) *
                               std::sqrt(static_cast<long double>(pitot)));
}

double totalOfRoundedFlows(const std::array<double, kNozzleCount>& flows) {
    long long total = 0;
    for (const double f : flows)
        total += static_cast<long long>(roundHalfEven(f));
    return static_cast<double>(total);
}

double hoseMonsterCoefficient(double size) {
    if (size == 2.5)
        return 0.905;
    if (size == 1.75)
        return 0.975;
    if (size == 1.125)
        return 0.99;
    return 0;
}

bool isHoseMonsterSize(double size) {
    return size == 0 || hoseMonsterCoefficient(size) != 0;
}

double hoseMonsterDeviceSize(const QString& device) {
    if (device == QLatin1String(kHoseMonster2_5Device))
        return 2.5;
    if (device == QLatin1String(kHoseMonster1_75Device))
        return 1.75;
    if (device == QLatin1String(kHoseMonster1_125Device))
        return 1.125;
    return 0;
}

bool isHoseMonsterDevice(const QString& device) {
    return hoseMonsterDeviceSize(device) != 0;
}

QString flowDisplayText(double flow) {
    static const NumberPicture picture(QStringLiteral("#,###"));
    return picture.format(roundHalfEven(flow), true);
}

double preferenceValue(float value) {
    return QString::number(static_cast<double>(value), 'g', 7).toDouble();
}

} // namespace nerova
