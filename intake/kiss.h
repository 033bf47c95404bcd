#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// KISS framing: frames between FEND bytes, with FEND and FESC inside a frame escaped.
inline constexpr char kFend = '\xC0';
inline constexpr char kFesc = '\xDB';
inline constexpr char kTfend = '\xDC';  // after FESC: a data byte FEND
inline constexpr char kTfesc = '\xDD';  // after FESC: a data byte FESC

// Undoes the escapes: FESC TFEND gives FEND, FESC TFESC gives FESC. Any other byte after
// FESC stays as it is, the FESC too.
std::string KissUnescape(std::string_view frame);

// A data frame as a KISS frame: FEND, the command byte, the frame with FEND and FESC
// escaped, FEND.
std::string KissDataFrame(std::string_view frame, char command = '\0');

// Two upper-case hexadecimal digits.
std::string ByteToHex(std::uint8_t byte);

// The bytes as hexadecimal text, two upper-case digits each.
std::string HexText(std::string_view bytes);

// Hexadecimal text with an optional "0x" or "&H" prefix, read up to the first character
// that is not a hexadecimal digit; no digit gives 0.
std::int32_t HexToNumber(std::string_view text);

// The 23-byte AX.25 header of the satellite's text beacons, as hexadecimal text:
// NOCALL-7 from NOSAT-11 via WIDE2-2, a UI frame without layer 3.
inline constexpr std::string_view SatelliteHeaderHex = "9C9E86829898EE9C9EA682A84076AE92888A64406503F0";
