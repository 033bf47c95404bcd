#pragma once

#include <array>
#include <string_view>

// The 52 telemetry channels of the beacon. A channel's number is its index here, in a
// record's values and in every per-channel control of the window.
struct Channel {
    std::string_view name;
    std::string_view unit;  // empty for counters and bytes
};

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

// Channel 2 has no bytes of its own in the beacon: its value stays 0, its text empty.
inline constexpr int kJobIdChannel = 2;
// The 32-bit status word, shown in hexadecimal.
inline constexpr int kStatusChannel = 3;
