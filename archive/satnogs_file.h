#pragma once

#include "telemetry/beacon_decoder.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A SatNOGS frame export: one frame a line, "2021-02-06 14:00:00|8C8E...", newer exports with
// more fields after the frame ("...|848A82...||station"), CR LF line ends, and no heading line
// unless a tool added one.

// Exports that passed through other tools may end their lines in LF alone.
bool HasBareLineFeedsOnly(std::string_view text);
std::string WithCrLf(std::string_view text);

// Tools that save exports as UTF-8 may put a byte-order mark before the first line.
std::string_view WithoutByteOrderMark(std::string_view firstLine);

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

struct SatnogsOutcome {
    int stored = 0;
    int refused = 0;  // telemetry frames the full store turned away
};

// Decodes one record line: its first 19 characters are the reception time. Gives nothing
// for a frame that is not telemetry.
std::optional<DecodeResult> DecodeSatnogsRecord(DecoderContext& context, std::string_view line);

// Decodes the records from the last to the first, the way the export lists newest first.
// Before every 100th record (counted from the first) the progress function gets its number.
SatnogsOutcome DecodeSatnogsRecords(DecoderContext& context, const std::vector<std::string_view>& records,
                                    const std::function<void(int)>& progress);

// What reading one SatNOGS file did.
struct SatnogsFileOutcome {
    bool read = false;  // false: the file could not be read, see error; nothing was decoded
    QString error;
    int recordLines = 0;  // lines read as records
    int records = 0;      // left after dropping adjacent repeats
    int stored = 0;
    int refused = 0;
};

// How a caller follows a long read: the window logs the notes and shows the count and the
// progress, and lets pending events run at each progress call.
struct SatnogsFileSteps {
    std::function<void(const QString& line)> note;  // a line about the file itself, for the frame log
    std::function<void(int records)> counted;       // the records to decode, before the first
    std::function<void(int record)> progress;       // before every 100th record, as for DecodeSatnogsRecords
};

// Reads one SatNOGS export into the store: a file with bare LF line ends is first rewritten
// with CR LF (through a new file renamed over it only when whole; when that fails it stays as
// it was, with a note, and its lines are read all the same), its record lines are counted on the frame log before and after dropping adjacent
// repeats, and the records are decoded from the last to the first.
SatnogsFileOutcome ReadSatnogsFile(DecoderContext& context, const QString& path, const SatnogsFileSteps& steps);
