#include "intake/live_arrival.h"

#include "intake/frame_recognition.h"
#include "telemetry/hex_text.h"
#include "telemetry/time_stamps.h"

#include <utility>

namespace {

// "utc now | length | frame hex", the earlier program's line for every frame received.
void LogArrival(DecoderContext& context, std::string_view now, std::size_t length, std::string_view frameHex) {
    std::string line;
    line.append(now).append(" | ").append(std::to_string(length)).append(" | ").append(frameHex);
    context.view.LogFrame(line);
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
    std::string frameHex;
    stream.Feed(chunk, [&](const KissFrame& frame) {
        // the first byte is the KISS command byte, whatever its value
        const std::string_view content = frame.unescaped.substr(1);
        if (content.size() < kMinLiveFrameLength) return;

        // one reading of the clock stamps the packet, names the day's file and stamps the frame there
        const std::string now = UtcTimestampText();
        HexText(content, frameHex);
        // kept before it is shown: a crash after a packet was seen has it in the capture file
        // and, when forwarding, in the outbox
        arrival.rxTimeText = Record(now, frame.raw, captureFolder, arrival);
        // forwarded, and kept in the archive with the capture file's stamp, before it is shown
        const bool beacon = IsSatelliteBeacon(content);
        if (beacon || IsTelemetryLength(content.size())) {
            if (satelliteFrames) satelliteFrames(now, frameHex);
            context.view.TakeSatelliteFrame(content, {arrival.rxTimeText, frameHex, context.source});
        }

        const bool asRecorded = context.log.liveAsRecorded;
        if (context.log.liveLogsArrivals) LogArrival(context, now, content.size(), frameHex);
        const FrameFacts facts{asRecorded ? std::string_view(arrival.rxTimeText) : std::string_view(now), frameHex,
                               context.source};
        if (const auto result = DecodeTelemetryFrame(context, content, facts))
            ++(*result == DecodeResult::Stored ? arrival.stored : arrival.refused);
        ++arrival.frames;
        if (asRecorded && beacon) {
            ++arrival.textBeacons;
            context.view.LogBeaconText(BeaconTextLine(content, arrival.rxTimeText, context.log));
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
