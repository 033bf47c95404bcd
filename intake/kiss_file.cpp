#include "intake/kiss_file.h"

#include "intake/frame_recognition.h"
#include "intake/kiss.h"
#include "intake/whole_file.h"
#include "telemetry/hex_text.h"
#include "telemetry/time_stamps.h"
#include "telemetry/vector_state.h"

#include <algorithm>

KissCaptureDecoder::KissCaptureDecoder(DecoderContext& context, std::size_t maxFrameBytes)
    : context_(context), stream_(maxFrameBytes) {
    outcome_.read = true;
}

void KissCaptureDecoder::Feed(std::string_view bytes) {
    ClearUpperVectorHalves();
    stream_.Feed(bytes, [this](const KissFrame& frame) { TakeFrame(frame.unescaped); });
}

void KissCaptureDecoder::TakeFrame(std::string_view frame) {
    if (static_cast<std::uint8_t>(frame[0]) != kTimeStampCommand) return TakeDataFrame(frame.substr(1));
    if (frame.size() == kMillisFrameLength)
        RxTimeFromMillisFrame(frame, context_.rxTimeText);
    else
        RxTimeFromTextFrame(frame, context_.rxTimeText);
}

void KissCaptureDecoder::TakeDataFrame(std::string_view frame) {
    ++outcome_.dataFrames;
    const FrameFacts facts{context_.rxTimeText, FrameHex(frame, frameHex_), context_.source, '#', outcome_.dataFrames};
    if (const auto result = DecodeTelemetryFrame(context_, frame, facts))
        ++(*result == DecodeResult::Stored ? outcome_.stored : outcome_.refused);
    const bool beacon = IsSatelliteBeacon(frame);
    if (beacon) {
        ++outcome_.textBeacons;
        context_.view.LogBeaconText(BeaconTextLine(frame, context_.rxTimeText, context_.log));
    }
    if (beacon || IsTelemetryLength(frame.size())) context_.view.TakeSatelliteFrame(frame, facts);
}

KissCaptureOutcome DecodeKissCapture(DecoderContext& context, std::string_view capture) {
    if (context.log.fileLogsFendCount) {
        const auto fends = std::count(capture.begin(), capture.end(), kFend);
        context.view.LogFrame("kiss frames: " + std::to_string(fends));
    }
    KissCaptureDecoder decoder(context);
    decoder.Feed(capture);
    return decoder.outcome();
}

KissCaptureOutcome ReadKissFile(DecoderContext& context, const QString& path) {
    const WholeFile file = ReadWholeFile(path);
    if (file.read) return DecodeKissCapture(context, ByteView(file.bytes));
    KissCaptureOutcome unread;
    unread.error = file.error;
    return unread;
}
