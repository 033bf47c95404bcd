#pragma once

#include <array>
#include <string_view>

// The 52 telemetry channels of the beacon. A channel's number is its index here, in a
// record's values and in every per-channel control of the window.
struct Channel {
    std::string_view name;
    std::string_view unit;  // empty for counters and bytes
};

// Channels by name, for code that means one channel: channel::Urbi is 14.
namespace channel {
enum Id : int {
    PacketNumber, PacketTotal, JobId, Status,
    BeaconsSinceReset, NumberOfResets, BeaconInterval, FileCount,
    CamReset, UhfPreset, VhfPreset, UhfTemperature,
    VhfTemperature, Urbv, Urbi, UrbvTrans,
    UrbiTrans, Battery1Volt, Battery1Temp, Battery1Curr,
    Battery2Volt, Battery2Temp, Battery2Curr, Battery3Volt,
    Battery3Temp, Battery3Curr, XMinusTriVolt, XMinusTriCurr,
    XMinusSpecVolt, XMinusSpecCurr, XMinusTemperature, XPlusTriVolt,
    XPlusTriCurr, XPlusSpecVolt, XPlusSpecCurr, XPlusTemperature,
    YMinusTriVolt, YMinusTriCurr, YMinusSpecVolt, YMinusSpecCurr,
    YMinusTemperature, YPlusTriVolt, YPlusTriCurr, YPlusSpecVolt,
    YPlusSpecCurr, YPlusTemperature, ZMinusVolt, ZMinusCurr,
    ZMinusTemperature, ZPlusVolt, ZPlusCurr, ZPlusTemperature,
};
}  // namespace channel

inline constexpr int kChannelCount = 52;

inline constexpr std::array<Channel, kChannelCount> kChannels{{
    {"Packet #", ""},
    {"Packet Total", ""},
    {"JOB ID", ""},
    {"Status", ""},
    {"Beacons since Reset", ""},
    {"Number of Resets", ""},
    {"Beacon Interval", "s"},
    {"File Count", ""},
    {"CAM Reset", ""},
    {"UHF Preset", ""},
    {"VHF Preset", ""},
    {"UHF Temperature", "C"},
    {"VHF Temperature", "C"},
    {"Urbv", "V"},
    {"Urbi", "mA"},
    {"Urbv trans", "V"},
    {"Urbi trans", "mA"},
    {"Battery 1 Volt", "V"},
    {"Battery 1 Temp", "C"},
    {"Battery 1 Curr", "mA"},
    {"Battery 2 Volt", "V"},
    {"Battery 2 Temp", "C"},
    {"Battery 2 Curr", "mA"},
    {"Battery 3 Volt", "V"},
    {"Battery 3 Temp", "C"},
    {"Battery 3 Curr", "mA"},
    {"X- TRI Volt", "V"},
    {"X- TRI Curr", "mA"},
    {"X- SPEC Volt", "V"},
    {"X- SPEC Curr", "mA"},
    {"X- Temperature", "C"},
    {"X+ TRI Volt", "V"},
    {"X+ TRI Curr", "mA"},
    {"X+ SPEC Volt", "V"},
    {"X+ SPEC Curr", "mA"},
    {"X+ Temperature", "C"},
    {"Y- TRI Volt", "V"},
    {"Y- TRI Curr", "mA"},
    {"Y- SPEC Volt", "V"},
    {"Y- SPEC Curr", "mA"},
    {"Y- Temperature", "C"},
    {"Y+ TRI Volt", "V"},
    {"Y+ TRI Curr", "mA"},
    {"Y+ SPEC Volt", "V"},
    {"Y+ SPEC Curr", "mA"},
    {"Y+ Temperature", "C"},
    {"Z- Volt", "V"},
    {"Z- Curr", "mA"},
    {"Z- Temperature", "C"},
    {"Z+ Volt", "V"},
    {"Z+ Curr", "mA"},
    {"Z+ Temperature", "C"},
}};

static_assert(channel::ZPlusTemperature == kChannelCount - 1);

// JOB ID has no bytes of its own in the beacon: its value stays 0, its text empty.
inline constexpr int kJobIdChannel = channel::JobId;
// The 32-bit status word, shown in hexadecimal.
inline constexpr int kStatusChannel = channel::Status;
