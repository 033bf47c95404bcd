#include "intake/satnogs_file.h"

#include "intake/frame_recognition.h"
#include "telemetry/hex_text.h"

#include <cctype>

namespace {

constexpr std::size_t kTimeLength = 19;         // "2021-02-06 14:00:00"
constexpr std::size_t kFrameStart = kTimeLength + 1;  // behind one separator

bool IsHexDigit(char c) { return HexDigitValue(c) >= 0; }

bool MatchesTimePattern(std::string_view time) {
    constexpr std::string_view kPattern = "dddd-dd-dd dd:dd:dd";
    for (std::size_t i = 0; i < kPattern.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(time[i])) != 0;
        if (kPattern[i] == 'd' ? !digit : time[i] != kPattern[i]) return false;
    }
    return true;
}

}  // namespace

std::string_view WithoutByteOrderMark(std::string_view firstLine) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    return firstLine.starts_with(kUtf8Mark) ? firstLine.substr(kUtf8Mark.size()) : firstLine;
}

bool IsRecordLine(std::string_view line) {
    return line.size() > kFrameStart && MatchesTimePattern(line.substr(0, kTimeLength)) && !FrameHexOf(line).empty();
}

std::string_view FrameHexOf(std::string_view line) {
    if (line.size() <= kFrameStart) return {};
    const std::string_view rest = line.substr(kFrameStart);
    std::size_t length = 0;
    while (length < rest.size() && IsHexDigit(rest[length])) ++length;
    return rest.substr(0, length);
}

std::optional<DecodeResult> DecodeSatnogsRecord(DecoderContext& context, std::string_view line, int number) {
    std::string& frame = context.frame;
    const std::string_view rest = line.size() > kFrameStart ? line.substr(kFrameStart) : std::string_view();
    const std::string_view hex = rest.substr(0, BytesFromLeadingHex(rest, frame));
    // a newer export names the receiving station in its last field: "...|848A82...||N0CALL"
    const std::string_view after = rest.substr(hex.size());
    const std::size_t lastField = after.rfind('|');
    const bool named = lastField != std::string_view::npos && lastField > 0;
    const FrameFacts facts{line.substr(0, kTimeLength), context.log.satnogsSetsFrameHex ? hex : std::string_view(),
                           context.source, ':', number, named ? after.substr(lastField + 1) : std::string_view()};
    if (context.view.satelliteFrame && (IsTelemetryLength(frame.size()) || IsSatelliteBeacon(frame)))
        context.view.TakeSatelliteFrame(frame, facts);
    return DecodeTelemetryFrame(context, frame, facts);
}
