#include "intake/frame_recognition.h"

#include "telemetry/beacon_layout.h"
#include "telemetry/hex_text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

bool IsTelemetryLength(std::size_t length) { return length == kBeaconFrameLength || length == kBeaconPayloadLength; }

namespace {

using Padded = std::array<char, kBeaconFrameLength>;

// The frame as the layout reads it: a 200-byte frame lacks its header, so pad it so the
// payload takes its offsets.
std::string_view WithHeader(std::string_view frame, Padded& padded) {
    if (frame.size() != kBeaconPayloadLength) return frame;
    std::memset(padded.data(), ' ', kBeaconHeaderLength);
    std::memcpy(padded.data() + kBeaconHeaderLength, frame.data(), frame.size());
    return {padded.data(), padded.size()};
}

}  // namespace

std::optional<DecodeResult> DecodeTelemetryFrame(DecoderContext& context, std::string_view frame, const FrameFacts& facts) {
    if (!IsTelemetryLength(frame.size())) return std::nullopt;
    Padded padded;
    return DecodeBeacon(context, WithHeader(frame, padded), facts);
}

bool DecodeTelemetryRecord(std::string_view frame, std::string_view rxTimeText, TelemetryRecord& record) {
    Padded padded;
    return IsTelemetryLength(frame.size()) && DecodeRecord(WithHeader(frame, padded), rxTimeText, record) == DecodeResult::Stored;
}

bool IsSatelliteBeacon(std::string_view frame) {
    // searched on the bytes, where a match is a whole header, never one half a digit off
    static const std::string bytes = BytesFromHex(SatelliteHeaderHex);
    static const std::boyer_moore_horspool_searcher header(bytes.begin(), bytes.end());
    return std::search(frame.begin(), frame.end(), header) != frame.end();
}

std::string BeaconTextLine(std::string_view frame, std::string_view rxTimeText, const LogStyle& log) {
    const auto offset = static_cast<std::size_t>(log.beaconTextOffset);
    const std::string_view text = frame.substr(std::min(offset, frame.size()));
    std::string line;
    if (log.beaconLineHasTime) line.append(rxTimeText).append(" | ");
    line.append(text);
    return line;
}
