#include "archive/satnogs_stream.h"

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
    if (crLf > 0) return LineEnds{"\r\n", static_cast<int>(crLf + 1)};
    return LineEnds{"\n", static_cast<int>(lineFeeds + 1)};
}

// Hands every line to take, the last first, with its number counted from 1.
bool ForEachLineFromTheEnd(QFileDevice& file, const LineEnds& ends, const std::function<void(std::string_view, int)>& take,
                           const std::function<void(qint64)>& read) {
    const std::string_view separator = ends.separator;
    std::string buffer, start;  // start: the beginning of the line that goes on before the blocks read
    int number = ends.lines;
    for (qint64 position = file.size(); position > 0;) {
        const qint64 length = std::min(kBlockBytes, position);
        position -= length;
        buffer.resize(static_cast<std::size_t>(length));
        if (!file.seek(position) || file.read(buffer.data(), length) != length) return false;
        read(file.size() - position);
        buffer += start;
        std::size_t end = buffer.size();
        for (std::size_t found; end >= separator.size() &&
                                (found = buffer.rfind(separator, end - separator.size())) != std::string::npos;
             end = found) {
            const std::size_t first = found + separator.size();
            take(std::string_view(buffer).substr(first, end - first), number--);
        }
        start.assign(buffer, 0, std::min(end, kLongestLine));
    }
    take(start, number);
    return true;
}

}  // namespace

SatnogsFileOutcome StreamSatnogsFile(DecoderContext& context, QFileDevice& file, const SatnogsStreamSteps& steps) {
    SatnogsFileOutcome outcome;
    const std::optional<LineEnds> ends = ScanLineEnds(file);
    std::string held;  // the line before, in the file's order after, held until a different one comes
    int heldNumber = 0;
    const auto decodeHeld = [&] {
        ++outcome.records;
        steps.beforeRecord(heldNumber);
        if (const auto result = DecodeSatnogsRecord(context, held))
            ++(*result == DecodeResult::Stored ? outcome.stored : outcome.refused);
    };
    const auto take = [&](std::string_view line, int number) {
        if (number == ends->lines && line.empty()) return;  // nothing after the last line end
        if (number == 1) line = WithoutByteOrderMark(line);
        if (number == 1 && !IsRecordLine(line)) return;  // a heading
        ++outcome.recordLines;
        const bool repeat = heldNumber > 0 && line == held;
        if (!repeat && heldNumber > 0) decodeHeld();
        if (!repeat) held.assign(line);
        heldNumber = number;
    };
    outcome.read = ends && ForEachLineFromTheEnd(file, *ends, take, steps.read);
    if (!outcome.read) {
        outcome.error = file.errorString();
        return outcome;
    }
    if (heldNumber > 0) decodeHeld();
    return outcome;
}
