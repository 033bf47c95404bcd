#include "intake/kiss_file.h"

#include "intake/frame_recognition.h"
#include "intake/kiss.h"
#include "intake/kiss_stream.h"
#include "intake/whole_file.h"
#include "telemetry/hex_text.h"
#include "telemetry/time_stamps.h"

#include <algorithm>

namespace {

void TakeTimeStamp(std::string_view frame, std::string& rxTimeText) {
    if (frame.size() == kMillisFrameLength)
        RxTimeFromMillisFrame(frame, rxTimeText);
    else
        RxTimeFromTextFrame(frame, rxTimeText);
}

void TakeDataFrame(DecoderContext& context, std::string_view frame, KissCaptureOutcome& outcome) {
    ProgramState& state = context.state;
    ++outcome.dataFrames;
    state.frameHex = HexText(frame);
    if (const auto result = DecodeTelemetryFrame(context, frame))
        ++(*result == DecodeResult::Stored ? outcome.stored : outcome.refused);
    if (IsSatelliteBeacon(state.frameHex))
        context.view.AppendBeaconText(BeaconTextLine(frame, state.rxTimeText, context.log));
}

}  // namespace

KissCaptureOutcome DecodeKissCapture(DecoderContext& context, std::string_view capture) {
    KissCaptureOutcome outcome;
    outcome.read = true;
    if (context.log.fileLogsFendCount) {
        const auto fends = std::count(capture.begin(), capture.end(), kFend);
        context.view.AppendFrameLog("kiss frames: " + std::to_string(fends));
    }

    KissStream stream(KissStream::kUnbounded);
    stream.Feed(capture, [&](const KissFrame& frame) {
        if (static_cast<std::uint8_t>(frame.unescaped[0]) == kTimeStampCommand)
            TakeTimeStamp(frame.unescaped, context.state.rxTimeText);
        else
            TakeDataFrame(context, frame.unescaped.substr(1), outcome);
    });
    return outcome;
}

KissCaptureOutcome ReadKissFile(DecoderContext& context, const QString& path) {
    const WholeFile file = ReadWholeFile(path);
    if (file.read) return DecodeKissCapture(context, ByteView(file.bytes));
    KissCaptureOutcome unread;
    unread.error = file.error;
    return unread;
}
