#pragma once

#include "telemetry/channel_table.h"

#include <array>

// Three related channels charted side by side; choosing any of them with Shift (or the right
// mouse button) charts all three, in this order.
struct ChartGroup {
    std::array<int, 3> channels;

    bool Contains(int channel) const {
        return channels[0] == channel || channels[1] == channel || channels[2] == channel;
    }
};

// The groups the satellite's channels fall into; each program chooses which it knows.
namespace chart_group {
using namespace channel;
inline constexpr ChartGroup kBatteryVolts{{Battery1Volt, Battery2Volt, Battery3Volt}};
inline constexpr ChartGroup kBatteryTemperatures{{Battery1Temp, Battery2Temp, Battery3Temp}};
inline constexpr ChartGroup kBatteryCurrents{{Battery1Curr, Battery2Curr, Battery3Curr}};
inline constexpr ChartGroup kMinusPanelVolts{{XMinusTriVolt, YMinusTriVolt, ZMinusVolt}};
inline constexpr ChartGroup kMinusPanelCurrents{{XMinusTriCurr, YMinusTriCurr, ZMinusCurr}};
inline constexpr ChartGroup kMinusPanelTemperatures{{XMinusTemperature, YMinusTemperature, ZMinusTemperature}};
inline constexpr ChartGroup kPlusPanelVolts{{XPlusTriVolt, YPlusTriVolt, ZPlusVolt}};
inline constexpr ChartGroup kPlusPanelCurrents{{XPlusTriCurr, YPlusTriCurr, ZPlusCurr}};
inline constexpr ChartGroup kPlusPanelTemperatures{{XPlusTemperature, YPlusTemperature, ZPlusTemperature}};
}  // namespace chart_group
