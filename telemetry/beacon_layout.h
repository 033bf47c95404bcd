#pragma once

#include <array>

// The byte layout of the 216-byte telemetry beacon: a 16-byte AX.25 header (addresses,
// control, PID) and a 200-byte payload. Offsets count from 0 at the first header byte;
// multi-byte numbers are big-endian and unsigned.

enum class Encoding {
    BinaryText,  // 4 characters, each "1" a binary one, first character weighing 8
    U8,
    S8,          // two's complement
    U16,
    U32,
};

constexpr int FieldSize(Encoding encoding) {
    switch (encoding) {
    case Encoding::U8:
    case Encoding::S8:
        return 1;
    case Encoding::U16:
        return 2;
    case Encoding::BinaryText:
    case Encoding::U32:
        return 4;
    }
    return 0;
}

struct Field {
    int channel;
    int offset;
    Encoding encoding;
    double divisor;  // 1000 turns millivolts into volts
};

// Every decoded channel, in channel order. Channel 2 (JOB ID) has no field: offsets 39 to 46
// lie between "Packet Total" and "Status" and are read by nobody, as are 69 and 146 onwards.
inline constexpr std::array<Field, 51> kBeaconLayout{{
    {0, 31, Encoding::BinaryText, 1},  // Packet #
    {1, 35, Encoding::BinaryText, 1},  // Packet Total
    {3, 47, Encoding::U32, 1},         // Status
    {4, 51, Encoding::U32, 1},         // Beacons since Reset
    {5, 55, Encoding::U32, 1},         // Number of Resets
    {6, 65, Encoding::U32, 1},         // Beacon Interval, s
    {7, 70, Encoding::U16, 1},         // File Count
    {8, 72, Encoding::U8, 1},          // CAM Reset
    {9, 73, Encoding::U8, 1},          // UHF Preset
    {10, 74, Encoding::U8, 1},         // VHF Preset
    {11, 75, Encoding::S8, 1},         // UHF Temperature, C
    {12, 76, Encoding::S8, 1},         // VHF Temperature, C
    {13, 77, Encoding::U16, 1000},     // Urbv, V
    {14, 79, Encoding::U16, 1},        // Urbi, mA
    {15, 81, Encoding::U16, 1000},     // Urbv trans, V
    {16, 83, Encoding::U16, 1},        // Urbi trans, mA
    {17, 85, Encoding::U16, 1000},     // Battery 1 Volt
    {18, 87, Encoding::S8, 1},         // Battery 1 Temp
    {19, 88, Encoding::U16, 1},        // Battery 1 Curr
    {20, 90, Encoding::U16, 1000},     // Battery 2 Volt
    {21, 92, Encoding::S8, 1},         // Battery 2 Temp
    {22, 93, Encoding::U16, 1},        // Battery 2 Curr
    {23, 95, Encoding::U16, 1000},     // Battery 3 Volt
    {24, 97, Encoding::S8, 1},         // Battery 3 Temp
    {25, 98, Encoding::U16, 1},        // Battery 3 Curr
    {26, 100, Encoding::U16, 1000},    // X- TRI Volt
    {27, 102, Encoding::U16, 1},       // X- TRI Curr
    {28, 104, Encoding::U16, 1000},    // X- SPEC Volt
    {29, 106, Encoding::U16, 1},       // X- SPEC Curr
    {30, 108, Encoding::S8, 1},        // X- Temperature
    {31, 109, Encoding::U16, 1000},    // X+ TRI Volt
    {32, 111, Encoding::U16, 1},       // X+ TRI Curr
    {33, 113, Encoding::U16, 1000},    // X+ SPEC Volt
    {34, 115, Encoding::U16, 1},       // X+ SPEC Curr
    {35, 117, Encoding::S8, 1},        // X+ Temperature
    {36, 118, Encoding::U16, 1000},    // Y- TRI Volt
    {37, 120, Encoding::U16, 1},       // Y- TRI Curr
    {38, 122, Encoding::U16, 1000},    // Y- SPEC Volt
    {39, 124, Encoding::U16, 1},       // Y- SPEC Curr
    {40, 126, Encoding::S8, 1},        // Y- Temperature
    {41, 127, Encoding::U16, 1000},    // Y+ TRI Volt
    {42, 129, Encoding::U16, 1},       // Y+ TRI Curr
    {43, 131, Encoding::U16, 1000},    // Y+ SPEC Volt
    {44, 133, Encoding::U16, 1},       // Y+ SPEC Curr
    {45, 135, Encoding::S8, 1},        // Y+ Temperature
    {46, 136, Encoding::U16, 1000},    // Z- Volt
    {47, 138, Encoding::U16, 1},       // Z- Curr
    {48, 140, Encoding::S8, 1},        // Z- Temperature
    {49, 141, Encoding::U16, 1000},    // Z+ Volt
    {50, 143, Encoding::U16, 1},       // Z+ Curr
    {51, 145, Encoding::S8, 1},        // Z+ Temperature
}};

// On-board date and time: year within the century, month, day, hour, minute, second.
inline constexpr int kObcTimeOffset = 59;
inline constexpr int kObcTimeLength = 6;

// The payload's text part, shown above the tabs; it overlaps the Packet # and JOB ID bytes.
inline constexpr int kPayloadTextOffset = 17;
inline constexpr int kPayloadTextLength = 30;

// A frame must reach past the last field; anything shorter would leave channels unread.
inline constexpr int kLayoutEnd = 146;

inline constexpr int kBeaconFrameLength = 216;
inline constexpr int kBeaconHeaderLength = 16;
inline constexpr int kBeaconPayloadLength = kBeaconFrameLength - kBeaconHeaderLength;
