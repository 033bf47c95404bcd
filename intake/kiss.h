#pragma once

#include <string>
#include <string_view>

// KISS framing: frames between FEND bytes, with FEND and FESC inside a frame escaped.
inline constexpr char kFend = '\xC0';
inline constexpr char kFesc = '\xDB';
inline constexpr char kTfend = '\xDC';  // after FESC: a data byte FEND
inline constexpr char kTfesc = '\xDD';  // after FESC: a data byte FESC

// Undoes the escapes into bytes (replacing what they held): FESC TFEND gives FEND, FESC
// TFESC gives FESC. Any other byte after FESC stays as it is, the FESC too.
void KissUnescape(std::string_view frame, std::string& bytes);

// A data frame as a KISS frame: FEND, the command byte, the frame with FEND and FESC
// escaped, FEND.
std::string KissDataFrame(std::string_view frame, char command = '\0');
