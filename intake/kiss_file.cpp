#include "intake/kiss_file.h"

#include "intake/frame_recognition.h"
#include "intake/kiss.h"
#include "intake/whole_file.h"
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

    std::size_t start = capture.find(kFend);
    while (start != std::string_view::npos) {
        const std::size_t end = capture.find(kFend, start + 1);
        if (end == std::string_view::npos) break;  // no closing FEND: not a frame
        const std::string_view piece = capture.substr(start + 1, end - start - 1);
        start = end;
        if (piece.empty()) continue;

        const std::string frame = KissUnescape(piece);
        const std::string_view content = std::string_view(frame).substr(1);
        if (static_cast<std::uint8_t>(frame[0]) == kTimeStampCommand)
            TakeTimeStamp(frame, context.state.rxTimeText);
        else
            TakeDataFrame(context, content, outcome);
    }
    return outcome;
}

KissCaptureOutcome ReadKissFile(DecoderContext& context, const QString& path) {
    const WholeFile file = ReadWholeFile(path);
    if (file.read) return DecodeKissCapture(context, ByteView(file.bytes));
    KissCaptureOutcome unread;
    unread.error = file.error;
    return unread;
}
