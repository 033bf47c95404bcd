#pragma once

#include "telemetry/channel_table.h"

#include <algorithm>
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
    {channel::PacketNumber, 31, Encoding::BinaryText, 1},
    {channel::PacketTotal, 35, Encoding::BinaryText, 1},
    {channel::Status, 47, Encoding::U32, 1},
    {channel::BeaconsSinceReset, 51, Encoding::U32, 1},
    {channel::NumberOfResets, 55, Encoding::U32, 1},
    {channel::BeaconInterval, 65, Encoding::U32, 1},
    {channel::FileCount, 70, Encoding::U16, 1},
    {channel::CamReset, 72, Encoding::U8, 1},
    {channel::UhfPreset, 73, Encoding::U8, 1},
    {channel::VhfPreset, 74, Encoding::U8, 1},
    {channel::UhfTemperature, 75, Encoding::S8, 1},
    {channel::VhfTemperature, 76, Encoding::S8, 1},
    {channel::Urbv, 77, Encoding::U16, 1000},
    {channel::Urbi, 79, Encoding::U16, 1},
    {channel::UrbvTrans, 81, Encoding::U16, 1000},
    {channel::UrbiTrans, 83, Encoding::U16, 1},
    {channel::Battery1Volt, 85, Encoding::U16, 1000},
    {channel::Battery1Temp, 87, Encoding::S8, 1},
    {channel::Battery1Curr, 88, Encoding::U16, 1},
    {channel::Battery2Volt, 90, Encoding::U16, 1000},
    {channel::Battery2Temp, 92, Encoding::S8, 1},
    {channel::Battery2Curr, 93, Encoding::U16, 1},
    {channel::Battery3Volt, 95, Encoding::U16, 1000},
    {channel::Battery3Temp, 97, Encoding::S8, 1},
    {channel::Battery3Curr, 98, Encoding::U16, 1},
    {channel::XMinusTriVolt, 100, Encoding::U16, 1000},
    {channel::XMinusTriCurr, 102, Encoding::U16, 1},
    {channel::XMinusSpecVolt, 104, Encoding::U16, 1000},
    {channel::XMinusSpecCurr, 106, Encoding::U16, 1},
    {channel::XMinusTemperature, 108, Encoding::S8, 1},
    {channel::XPlusTriVolt, 109, Encoding::U16, 1000},
    {channel::XPlusTriCurr, 111, Encoding::U16, 1},
    {channel::XPlusSpecVolt, 113, Encoding::U16, 1000},
    {channel::XPlusSpecCurr, 115, Encoding::U16, 1},
    {channel::XPlusTemperature, 117, Encoding::S8, 1},
    {channel::YMinusTriVolt, 118, Encoding::U16, 1000},
    {channel::YMinusTriCurr, 120, Encoding::U16, 1},
    {channel::YMinusSpecVolt, 122, Encoding::U16, 1000},
    {channel::YMinusSpecCurr, 124, Encoding::U16, 1},
    {channel::YMinusTemperature, 126, Encoding::S8, 1},
    {channel::YPlusTriVolt, 127, Encoding::U16, 1000},
    {channel::YPlusTriCurr, 129, Encoding::U16, 1},
    {channel::YPlusSpecVolt, 131, Encoding::U16, 1000},
    {channel::YPlusSpecCurr, 133, Encoding::U16, 1},
    {channel::YPlusTemperature, 135, Encoding::S8, 1},
    {channel::ZMinusVolt, 136, Encoding::U16, 1000},
    {channel::ZMinusCurr, 138, Encoding::U16, 1},
    {channel::ZMinusTemperature, 140, Encoding::S8, 1},
    {channel::ZPlusVolt, 141, Encoding::U16, 1000},
    {channel::ZPlusCurr, 143, Encoding::U16, 1},
    {channel::ZPlusTemperature, 145, Encoding::S8, 1},
}};

// On-board date and time: year within the century, month, day, hour, minute, second.
inline constexpr int kObcTimeOffset = 59;
inline constexpr int kObcTimeLength = 6;

// The payload's text part, shown above the tabs; it overlaps the Packet # and JOB ID bytes.
inline constexpr int kPayloadTextOffset = 17;
inline constexpr int kPayloadTextLength = 30;

// A frame must reach past the last field; anything shorter would leave channels unread.
inline constexpr int kLayoutEnd = [] {
    int end = 0;
    for (const Field& field : kBeaconLayout) end = std::max(end, field.offset + FieldSize(field.encoding));
    return end;
}();
static_assert(kLayoutEnd == 146);

inline constexpr int kBeaconFrameLength = 216;
inline constexpr int kBeaconHeaderLength = 16;
inline constexpr int kBeaconPayloadLength = kBeaconFrameLength - kBeaconHeaderLength;
