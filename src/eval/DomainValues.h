#pragma once

#include "eval/FlowPointColumns.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace nerova {

// The values the pump and test lists offer, each spelled once: the entry pages list them,
// the navigation and the evaluation decide by them. Code switches on the value, never on
// its place in a list, so the lists may be reordered freely.

enum class DriverType { Electric, Diesel, Gas, ElectricAndDiesel, Other };

inline const QStringList& driverTypeNames() {
    static const QStringList names = {QStringLiteral("Electric"), QStringLiteral("Diesel"),
                                      QStringLiteral("Gas"), QStringLiteral("Electric & Diesel"),
                                      QStringLiteral("Other")};
    return names;
}

// The driver type a stored text names, exactly as listed; none for a blank or other text.
inline std::optional<DriverType> driverTypeOf(const QString& text) {
    static constexpr DriverType kOrder[] = {DriverType::Electric, DriverType::Diesel,
                                            DriverType::Gas, DriverType::ElectricAndDiesel,
                                            DriverType::Other};
    const qsizetype i = driverTypeNames().indexOf(text);
    if (i < 0)
        return std::nullopt;
    return kOrder[i];
}

// Which driver sub-pages a driver type uses.
struct DriverPages {
    bool electric = false;
    bool diesel = false;
};

constexpr DriverPages driverPagesOf(DriverType type) {
    switch (type) {
    case DriverType::Electric:
        return {true, false};
    case DriverType::Diesel:
    case DriverType::Gas:
        return {false, true};
    case DriverType::ElectricAndDiesel:
        return {true, true};
    case DriverType::Other:
        break;
    }
    return {false, false};
}

// Whether a pump's driver takes electrical readings; a pump whose driver type was never
// chosen is given the benefit of the doubt.
inline bool hasElectricDriver(const QString& driverType) {
    if (driverType.isEmpty())
        return true;
    const std::optional<DriverType> type = driverTypeOf(driverType);
    return type && driverPagesOf(*type).electric;
}

inline constexpr const char* kVerticalTurbinePump = "Vertical Turbine";

inline const QStringList& pumpTypeNames() {
    static const QStringList names = {QStringLiteral("Horizontal"),
                                      QString::fromLatin1(kVerticalTurbinePump),
                                      QStringLiteral("End Suction"), QStringLiteral("In-Line")};
    return names;
}

inline constexpr const char* kPlaypipesDevice = "Playpipes";

inline const QStringList& dischargeDeviceNames() {
    static const QStringList names = {
        QString::fromLatin1(kPlaypipesDevice),       QString::fromLatin1(kHoseMonster2_5Device),
        QString::fromLatin1(kHoseMonster1_75Device), QString::fromLatin1(kHoseMonster1_125Device),
        QString::fromLatin1(kFlowMeterDevice),       QStringLiteral("Other")};
    return names;
}

} // namespace nerova
