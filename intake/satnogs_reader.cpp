#include "intake/satnogs_reader.h"

#include "intake/whole_file.h"
#include "telemetry/vector_state.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr qint64 kBlockBytes = 1 << 20;
constexpr std::size_t kLongestLine = 1 << 16;

struct LineEnds {
    std::string_view separator;
    int lines;  // the pieces the separators cut the file into, the last one empty after a final line end
    bool bareLineFeedsOnly;
};

// One pass forward: which line end the file is read with, and how many lines it has.
std::optional<LineEnds> ScanLineEnds(QFileDevice& file) {
    std::string block(kBlockBytes, '\0');
    qint64 crLf = 0, lineFeeds = 0;
    char before = '\0';  // the byte before the block
    if (!file.seek(0)) return std::nullopt;
    for (qint64 length; (length = file.read(block.data(), kBlockBytes)) > 0;) {
        const char* const end = block.data() + length;
        for (const char* at = block.data(); (at = static_cast<const char*>(std::memchr(at, '\n', end - at))); ++at) {
            ++lineFeeds;
            if ((at == block.data() ? before : at[-1]) == '\r') ++crLf;
        }
        before = end[-1];
    }
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    if (crLf > 0) return LineEnds{"\r\n", static_cast<int>(crLf + 1), false};
    return LineEnds{"\n", static_cast<int>(lineFeeds + 1), lineFeeds > 0};
}

// A line as the passes hand it on: its text, or nothing and tooLong for one past kLongestLine.
using LineSink = std::function<void(std::string_view line, int number, bool tooLong)>;

// Hands every line on in the file's order, with its number counted from 1.
bool ForEachLine(QFileDevice& file, const LineEnds& ends, const LineSink& take) {
    const bool crLf = ends.separator.size() == 2;
    std::string block(kBlockBytes, '\0'), line;
    bool tooLong = false;
    const auto add = [&](const char* from, std::size_t length) {
        if (!tooLong && line.size() + length > kLongestLine + 1) line.clear(), tooLong = true;  // + 1: a CR of the line end
        if (!tooLong) line.append(from, length);
    };
    char before = '\0';  // the byte before the block
    int number = 1;
    if (!file.seek(0)) return false;
    for (qint64 length; (length = file.read(block.data(), kBlockBytes)) > 0;) {
        const char* at = block.data();
        const char* const end = at + length;
        for (const char* feed; (feed = static_cast<const char*>(std::memchr(at, '\n', end - at))); at = feed + 1) {
            // in a CR LF file a bare LF is the line's own
            const bool lineEnd = !crLf || (feed == block.data() ? before : feed[-1]) == '\r';
            add(at, static_cast<std::size_t>(feed - at) + (lineEnd ? 0 : 1));
            if (!lineEnd) continue;
            if (crLf && !tooLong) line.pop_back();
            take(line, number++, tooLong || line.size() > kLongestLine);
            line.clear();
            tooLong = false;
        }
        add(at, static_cast<std::size_t>(end - at));
        before = end[-1];
    }
    if (file.error() != QFileDevice::NoError) return false;
    take(line, number, tooLong || line.size() > kLongestLine);
    return true;
}

// The last place of a byte before `before`, or npos: the GNU C library looks a block at a time.
std::size_t FindLastByte(std::string_view text, char byte, std::size_t before) {
#ifdef __GLIBC__
    const auto* found = static_cast<const char*>(memrchr(text.data(), byte, before));
    return found ? static_cast<std::size_t>(found - text.data()) : std::string::npos;
#else
    return before == 0 ? std::string::npos : text.rfind(byte, before - 1);
#endif
}

// Where the last separator that ends by `end` starts, or npos: found by its last byte, and not
// by comparing the separator at each place, as rfind does.
std::size_t FindLast(std::string_view text, std::string_view separator, std::size_t end) {
    for (std::size_t before = end; before >= separator.size();) {
        const std::size_t last = FindLastByte(text, separator.back(), before);
        if (last == std::string::npos || last + 1 < separator.size()) return std::string::npos;
        const std::size_t start = last + 1 - separator.size();
        if (text.substr(start, separator.size()) == separator) return start;
        before = last;
    }
    return std::string::npos;
}

// Hands every line on, the last first, with its number counted from 1.
bool ForEachLineFromTheEnd(QFileDevice& file, const LineEnds& ends, const LineSink& take,
                           const std::function<void(qint64)>& read) {
    const std::string_view separator = ends.separator;
    // rest: the start of the line that goes on after the blocks read so far; of a line too
    // long, only what may complete a separator split between two blocks
    std::string buffer, rest;
    bool restTooLong = false;
    int number = ends.lines;
    for (qint64 position = file.size(); position > 0;) {
        const qint64 length = std::min(kBlockBytes, position);
        position -= length;
        buffer.resize(static_cast<std::size_t>(length));
        if (!file.seek(position) || file.read(buffer.data(), length) != length) return false;
        read(file.size() - position);
        ClearUpperVectorHalves();
        buffer += rest;
        bool lastTooLong = restTooLong;  // the piece at the buffer's end continues the line of rest
        std::size_t end = buffer.size();
        for (std::size_t found; (found = FindLast(buffer, separator, end)) != std::string::npos; end = found) {
            const std::size_t first = found + separator.size();
            const bool tooLong = std::exchange(lastTooLong, false) || end - first > kLongestLine;
            take(tooLong ? std::string_view() : std::string_view(buffer).substr(first, end - first), number--, tooLong);
        }
        restTooLong = lastTooLong || end > kLongestLine;
        rest.assign(buffer, 0, restTooLong ? std::min(end, separator.size() - 1) : end);
    }
    take(restTooLong ? std::string_view() : rest, number, restTooLong);
    return true;
}

enum class LineKind { None, TooLong, Record };

// The rules both passes follow: the nothing after the last line end and a heading are no
// lines of the export; a line past the bound is skipped and counted; any other is a record
// line, decoded or not.
LineKind KindOf(std::string_view& line, int number, int lines, bool tooLong) {
    if (tooLong) return LineKind::TooLong;
    if (number == lines && line.empty()) return LineKind::None;
    if (number == 1) line = WithoutByteOrderMark(line);
    if (number == 1 && !IsRecordLine(line)) return LineKind::None;
    return LineKind::Record;
}

bool CountLines(QFileDevice& file, const LineEnds& ends, SatnogsFileOutcome& counts) {
    std::string before;
    bool first = true;  // no line before to repeat
    return ForEachLine(file, ends, [&](std::string_view line, int number, bool tooLong) {
        switch (KindOf(line, number, ends.lines, tooLong)) {
        case LineKind::None:
            return;
        case LineKind::TooLong:
            ++counts.longLines;
            first = true;
            return;
        case LineKind::Record:
            ++counts.recordLines;
            if (first || line != before) ++counts.records;
            before.assign(line);
            first = false;
        }
    });
}

}  // namespace

SatnogsFileOutcome StreamSatnogsFile(DecoderContext& context, QFileDevice& file, const SatnogsStreamSteps& steps) {
    SatnogsFileOutcome outcome;
    const std::optional<LineEnds> ends = ScanLineEnds(file);
    outcome.read = ends && (!steps.counted || CountLines(file, *ends, outcome));
    if (!outcome.read) {
        outcome.error = file.errorString();
        return outcome;
    }
    if (steps.counted) {
        steps.counted(outcome);
        outcome = SatnogsFileOutcome{};  // the decoding pass counts again, as it goes
        outcome.read = true;
    }

    std::string held;  // the line before, in the file's order after, held until a different one comes
    int heldNumber = 0;
    const auto decodeHeld = [&] {
        ++outcome.records;
        if (steps.beforeRecord) steps.beforeRecord(heldNumber);
        if (const auto result = DecodeSatnogsRecord(context, held, heldNumber))
            ++(*result == DecodeResult::Stored ? outcome.stored : outcome.refused);
        heldNumber = 0;
    };
    const auto take = [&](std::string_view line, int number, bool tooLong) {
        const LineKind kind = KindOf(line, number, ends->lines, tooLong);
        if (kind == LineKind::None) return;
        const bool repeat = kind == LineKind::Record && heldNumber > 0 && line == held;
        if (!repeat && heldNumber > 0) decodeHeld();
        if (kind == LineKind::TooLong) return void(++outcome.longLines);
        ++outcome.recordLines;
        if (!repeat) held.assign(line);
        heldNumber = number;
    };
    outcome.read = ForEachLineFromTheEnd(file, *ends, take, steps.read ? steps.read : [](qint64) {});
    if (!outcome.read) {
        outcome.error = file.errorString();
        return outcome;
    }
    if (heldNumber > 0) decodeHeld();
    return outcome;
}

QString RewriteWithCrLf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const std::optional<LineEnds> ends = ScanLineEnds(file);
    if (!ends || !ends->bareLineFeedsOnly || !file.seek(0)) return {};
    FileReplacement converted(path);
    if (const QString error = converted.Open(); !error.isEmpty()) return error;
    std::string block(kBlockBytes, '\0'), crLf;
    for (qint64 length; (length = file.read(block.data(), kBlockBytes)) > 0;) {
        crLf.clear();
        for (const char c : std::string_view(block.data(), static_cast<std::size_t>(length))) {
            if (c == '\n') crLf += '\r';
            crLf += c;
        }
        converted.Write(crLf);
    }
    if (file.error() != QFileDevice::NoError) converted.Fail(file.errorString());
    return converted.Commit();
}

SatnogsFileOutcome ReadSatnogsFile(DecoderContext& context, const QString& path, const SatnogsFileSteps& steps) {
    if (const QString error = RewriteWithCrLf(path); !error.isEmpty())
        steps.note(path + " could not be rewritten with CR LF line ends (" + error + "); it is left as it was");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SatnogsFileOutcome unread;
        unread.error = file.errorString();
        return unread;
    }
    int next = 0;  // the record about to be decoded, counted from the first
    const auto counted = [&](const SatnogsFileOutcome& counts) {
        context.view.LogFrame("records from SatNOGS: " + std::to_string(counts.recordLines));
        context.view.LogFrame("after removing duplicates: " + std::to_string(counts.records));
        steps.counted(counts.records);
        next = counts.records + 1;
    };
    return StreamSatnogsFile(context, file, {.counted = counted, .beforeRecord = [&](int) {
                                                 if (--next % 100 == 0) steps.progress(next);
                                             }, .read = {}});
}
