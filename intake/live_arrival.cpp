#include "intake/live_arrival.h"

#include "intake/frame_recognition.h"
#include "telemetry/hex_text.h"
#include "telemetry/time_stamps.h"

#include <utility>

namespace {

void LogArrival(DecoderContext& context, std::size_t length) {
    const ProgramState& state = context.state;
    std::string line;
    line.append(state.rxTimeText).append(" | ").append(std::to_string(length)).append(" | ").append(state.frameHex);
    context.view.AppendFrameLog(line);
}

void Decode(DecoderContext& context, std::string_view content, LiveArrival& arrival) {
    if (context.log.liveLogsArrivals) LogArrival(context, content.size());
    if (const auto result = DecodeTelemetryFrame(context, content))
        ++(*result == DecodeResult::Stored ? arrival.stored : arrival.refused);
    ++arrival.frames;
}

// Appends the frame behind its time stamp; gives that stamp's text, " UTC" form.
std::string Record(std::string_view now, std::string_view raw, const QString& folder, LiveArrival& arrival) {
    std::string stamp, bytes;
    WriteRxTimeFrame(now, stamp, bytes);
    bytes.append(raw);
    CaptureWrite write = AppendToCaptureLog(folder, now, bytes);
    write.frameBytes = raw.size();
    if (!write.written) ++arrival.unrecorded;
    arrival.lastWrite = std::move(write);
    return stamp;
}

}  // namespace

LiveArrival DecodeLiveChunk(DecoderContext& context, KissStream& stream, std::string_view chunk,
                            const QString& captureFolder, const SatelliteFrameSink& satelliteFrames) {
    LiveArrival arrival;
    stream.Feed(chunk, [&](const KissFrame& frame) {
        // the first byte is the KISS command byte, whatever its value
        const std::string_view content = frame.unescaped.substr(1);
        if (content.size() < kMinLiveFrameLength) return;

        // one reading of the clock stamps the packet, names the day's file and stamps the frame there
        const std::string now = UtcTimestampText();
        ProgramState& state = context.state;
        state.frameHex = HexText(content);
        // kept before it is shown: a crash after a packet was seen has it in the capture file
        // and, when forwarding, in the outbox
        std::string stamp = Record(now, frame.raw, captureFolder, arrival);
        if (satelliteFrames && (IsTelemetryLength(content.size()) || IsSatelliteBeacon(state.frameHex)))
            satelliteFrames(now, state.frameHex);
        const bool asRecorded = context.log.liveAsRecorded;
        state.rxTimeText = asRecorded ? stamp : now;
        Decode(context, content, arrival);
        state.rxTimeText = std::move(stamp);
        if (asRecorded && IsSatelliteBeacon(state.frameHex)) {
            ++arrival.textBeacons;
            context.view.AppendBeaconText(BeaconTextLine(content, state.rxTimeText, context.log));
        }
    });
    return arrival;
}

QString CaptureTrouble::News(const LiveArrival& arrival) {
    if (!arrival.lastWrite) return {};
    const CaptureWrite& write = *arrival.lastWrite;
    const bool firstFailure = unrecorded_ == 0;
    unrecorded_ += arrival.unrecorded;
    if (!write.written) return firstFailure ? write.fileName + " could not be written: " + write.error : QString();
    if (unrecorded_ == 0) return {};
    return QStringLiteral("%1 can be written again: %2 frames were not recorded")
        .arg(write.fileName)
        .arg(std::exchange(unrecorded_, 0));
}
