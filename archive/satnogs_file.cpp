#include "archive/satnogs_file.h"

#include "intake/whole_file.h"
#include "intake/frame_recognition.h"
#include "telemetry/hex_text.h"

#include <cctype>

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kTimeLength = 19;         // "2021-02-06 14:00:00"
constexpr std::size_t kFrameStart = kTimeLength + 1;  // behind one separator

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

bool MatchesTimePattern(std::string_view time) {
    constexpr std::string_view kPattern = "dddd-dd-dd dd:dd:dd";
    for (std::size_t i = 0; i < kPattern.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(time[i])) != 0;
        if (kPattern[i] == 'd' ? !digit : time[i] != kPattern[i]) return false;
    }
    return true;
}

}  // namespace

bool HasBareLineFeedsOnly(std::string_view text) {
    return text.find(kCrLf) == std::string_view::npos && text.find('\n') != std::string_view::npos;
}

std::string WithCrLf(std::string_view text) {
    std::string converted;
    converted.reserve(text.size() + text.size() / 64);
    for (const char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

std::string_view WithoutByteOrderMark(std::string_view firstLine) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    return firstLine.starts_with(kUtf8Mark) ? firstLine.substr(kUtf8Mark.size()) : firstLine;
}

bool IsRecordLine(std::string_view line) {
    return line.size() > kFrameStart && MatchesTimePattern(line.substr(0, kTimeLength)) && !FrameHexOf(line).empty();
}

std::vector<std::string_view> SatnogsRecordLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(kCrLf, start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + kCrLf.size();
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();  // nothing after the last line break
    if (!lines.empty()) lines.front() = WithoutByteOrderMark(lines.front());
    if (!lines.empty() && !IsRecordLine(lines.front())) lines.erase(lines.begin());  // a heading
    return lines;
}

std::vector<std::string_view> RemoveAdjacentDuplicates(const std::vector<std::string_view>& lines) {
    std::vector<std::string_view> records;
    records.reserve(lines.size());
    for (const std::string_view line : lines) {
        if (records.empty() || line != records.back()) records.push_back(line);
    }
    return records;
}

std::string_view FrameHexOf(std::string_view line) {
    if (line.size() <= kFrameStart) return {};
    const std::string_view rest = line.substr(kFrameStart);
    std::size_t length = 0;
    while (length < rest.size() && IsHexDigit(rest[length])) ++length;
    return rest.substr(0, length);
}

std::optional<DecodeResult> DecodeSatnogsRecord(DecoderContext& context, std::string_view line) {
    ProgramState& state = context.state;
    const std::string_view hex = FrameHexOf(line);
    state.rxTimeText.assign(line.substr(0, kTimeLength));
    if (context.log.satnogsSetsFrameHex) state.frameHex.assign(hex);
    return DecodeTelemetryFrame(context, BytesFromHex(hex));
}

SatnogsOutcome DecodeSatnogsRecords(DecoderContext& context, const std::vector<std::string_view>& records,
                                    const std::function<void(int)>& progress) {
    SatnogsOutcome outcome;
    for (auto k = static_cast<int>(records.size()); k >= 1; --k) {
        if (k % 100 == 0) progress(k);
        if (const auto result = DecodeSatnogsRecord(context, records[static_cast<std::size_t>(k - 1)]))
            ++(*result == DecodeResult::Stored ? outcome.stored : outcome.refused);
    }
    return outcome;
}

namespace {

// A bare-LF export is rewritten in place, only ever with the whole converted text; the lines
// read are the same either way.
std::string_view WithCrLfOnDisk(const QString& path, std::string_view text, std::string& converted,
                                const SatnogsFileSteps& steps) {
    if (!HasBareLineFeedsOnly(text)) return text;
    converted = WithCrLf(text);
    if (const QString error = WriteFileSafely(path, converted); !error.isEmpty())
        steps.note(path + " could not be rewritten with CR LF line ends (" + error + "); it is left as it was");
    return converted;
}

}  // namespace

SatnogsFileOutcome ReadSatnogsFile(DecoderContext& context, const QString& path, const SatnogsFileSteps& steps) {
    const WholeFile file = ReadWholeFile(path);
    std::string converted;
    const std::string_view text = WithCrLfOnDisk(path, ByteView(file.bytes), converted, steps);

    const std::vector<std::string_view> lines = SatnogsRecordLines(text);
    context.view.AppendFrameLog("records from SatNOGS: " + std::to_string(lines.size()));
    const std::vector<std::string_view> records = RemoveAdjacentDuplicates(lines);
    context.view.AppendFrameLog("after removing duplicates: " + std::to_string(records.size()));
    steps.counted(static_cast<int>(records.size()));

    const SatnogsOutcome decoded = DecodeSatnogsRecords(context, records, steps.progress);
    return {.read = file.read,
            .error = file.error,
            .recordLines = static_cast<int>(lines.size()),
            .records = static_cast<int>(records.size()),
            .stored = decoded.stored,
            .refused = decoded.refused};
}
