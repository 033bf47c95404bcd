#pragma once

#include "telemetry/beacon_decoder.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A SatNOGS frame export: one frame a line, "2021-02-06 14:00:00|8C8E...", newer exports with
// more fields after the frame ("...|848A82...||station"), CR LF line ends, and no heading line
// unless a tool added one.

// Tools that save exports as UTF-8 may put a byte-order mark before the first line.
std::string_view WithoutByteOrderMark(std::string_view firstLine);

// 19 characters of date and time, one separator, then the frame in hexadecimal digits.
bool IsRecordLine(std::string_view line);

// The frame's hexadecimal text: from the 21st character to the first one that is no
// hexadecimal digit, so the fields after the frame don't lengthen it.
std::string_view FrameHexOf(std::string_view line);

// Decodes one record line, the line numbered so in its file: its first 19 characters are the
// reception time. Gives nothing for a frame that is not telemetry.
std::optional<DecodeResult> DecodeSatnogsRecord(DecoderContext& context, std::string_view line, int number);

// What reading one SatNOGS file did.
struct SatnogsFileOutcome {
    bool read = false;  // false: the file could not be read, see error; nothing was decoded
    QString error;
    int recordLines = 0;  // lines read as records
    int records = 0;      // left after dropping adjacent repeats
    int stored = 0;
    int refused = 0;
    int longLines = 0;    // lines too long for any record: skipped whole
};
