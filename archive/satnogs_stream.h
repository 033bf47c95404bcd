#pragma once

#include "archive/satnogs_file.h"

#include <QFileDevice>

#include <functional>

// What a caller of the streaming read learns on the way.
struct SatnogsStreamSteps {
    std::function<void(int lineNumber)> beforeRecord;  // the line, counted from 1, about to be decoded
    std::function<void(qint64 bytes)> read;           // bytes read so far from the end
};

// Reads a SatNOGS export of any size as the window reads it, holding a block and a line at a
// time: the same line ends (CR LF, or LF alone in a file without CR LF), the heading and the
// nothing after the last line break left out, repeats of the line before dropped (the first of
// them kept), records decoded from the last up. The file must be open and seekable; a line
// past 64 KiB, which no record is, keeps only its start.
SatnogsFileOutcome StreamSatnogsFile(DecoderContext& context, QFileDevice& file, const SatnogsStreamSteps& steps);
