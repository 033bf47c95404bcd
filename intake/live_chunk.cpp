#include "intake/live_chunk.h"

#include "intake/frame_recognition.h"
#include "intake/kiss.h"
#include "telemetry/time_stamps.h"

namespace {

void LogArrival(DecoderContext& context, std::size_t length) {
    const ProgramState& state = context.state;
    std::string line;
    line.append(state.rxTimeText).append(" | ").append(std::to_string(length)).append(" | ").append(state.frameHex);
    context.view.AppendFrameLog(line);
}

}  // namespace

int DecodeLiveChunk(DecoderContext& context, KissStream& stream, std::string_view chunk, const CaptureSink& capture) {
    int handed = 0;
    stream.Feed(chunk, [&](const KissFrame& frame) {
        // the first byte is the KISS command byte, whatever its value
        const std::string_view content = frame.unescaped.substr(1);
        if (content.size() < kMinLiveFrameLength) return;

        ProgramState& state = context.state;
        state.frameHex = HexText(content);
        state.rxTimeText = UtcTimestampText();
        if (context.log.liveLogsArrivals) LogArrival(context, content.size());
        DecodeTelemetryFrame(context, content);
        ++handed;
        capture(frame);
    });
    return handed;
}
