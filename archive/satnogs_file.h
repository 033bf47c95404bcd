#pragma once

#include "telemetry/beacon_decoder.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A SatNOGS frame export: one frame a line, "2021-02-06 14:00:00|8C8E...", newer exports with
// more fields after the frame ("...|848A82...||station"), CR LF line ends, and no heading line
// unless a tool added one.

// Exports that passed through other tools may end their lines in LF alone.
bool HasBareLineFeedsOnly(std::string_view text);
std::string WithCrLf(std::string_view text);

// 19 characters of date and time, one separator, then the frame in hexadecimal digits.
bool IsRecordLine(std::string_view line);

// The lines of the file that are records: all of them, but a first line that is a heading
// and the nothing after a last line break.
std::vector<std::string_view> SatnogsRecordLines(std::string_view text);

// Drops each line equal to the line before it; a repeat further down stays.
std::vector<std::string_view> RemoveAdjacentDuplicates(const std::vector<std::string_view>& lines);

// The frame's hexadecimal text: from the 21st character to the first one that is no
// hexadecimal digit, so the fields after the frame don't lengthen it.
std::string_view FrameHexOf(std::string_view line);

// Bytes of hexadecimal text, two digits each; a single last digit makes a byte alone.
std::string FrameFromHex(std::string_view hex);

struct SatnogsOutcome {
    int stored = 0;
    int refused = 0;  // telemetry frames the full store turned away
};

// Decodes the records from the last to the first, the way the export lists newest first.
// Before every 100th record (counted from the first) the progress function gets its number.
SatnogsOutcome DecodeSatnogsRecords(DecoderContext& context, const std::vector<std::string_view>& records,
                                    const std::function<void(int)>& progress);
