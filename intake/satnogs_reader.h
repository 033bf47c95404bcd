#pragma once

#include "intake/satnogs_file.h"

#include <QFileDevice>

#include <functional>

// What a caller of the reader learns on the way.
struct SatnogsStreamSteps {
    // When set, a first pass counts the lines before any is decoded: recordLines, records
    // and longLines of the outcome.
    std::function<void(const SatnogsFileOutcome& counts)> counted;
    std::function<void(int lineNumber)> beforeRecord;  // the line, counted from 1, about to be decoded
    std::function<void(qint64 bytes)> read;           // bytes read so far from the end
};

// Reads a SatNOGS export of any size, holding a block and a line at a time: lines end in
// CR LF, or in LF alone in a file without CR LF; the heading and the nothing after the last
// line break are left out; repeats of the line before are dropped (the first of them kept);
// records are decoded from the last up. A line past 64 KiB, which no record comes near, is
// skipped whole and counted. The file must be open and seekable.
SatnogsFileOutcome StreamSatnogsFile(DecoderContext& context, QFileDevice& file, const SatnogsStreamSteps& steps);

// Rewrites a file whose lines end in LF alone with CR LF line ends, through a new file renamed
// over it only when whole. Why it could not, or nothing; a file that needs no rewrite, or
// cannot be read, is left to the reader.
QString RewriteWithCrLf(const QString& path);

// How the window follows a long read: it logs the notes and shows the count and the
// progress, and lets pending events run at each progress call.
struct SatnogsFileSteps {
    std::function<void(const QString& line)> note;  // a line about the file itself, for the frame log
    std::function<void(int records)> counted;       // the records to decode, before the first
    std::function<void(int record)> progress;       // before every 100th record, counted from the first
};

// Reads one SatNOGS export into the window's store: a file whose lines end in LF alone is first
// rewritten with CR LF (when that fails it stays as it was, with a note, and is read all the
// same); its record lines are counted on the frame log before and after dropping repeats; and
// the records are decoded from the last to the first.
SatnogsFileOutcome ReadSatnogsFile(DecoderContext& context, const QString& path, const SatnogsFileSteps& steps);
