#include "telemetry/beacon_decoder.h"

#include "telemetry/beacon_layout.h"
#include "telemetry/field_readers.h"

namespace {

double ReadField(FrameBytes frameBytes, const Field& field) {
    const int p = field.offset + 1;
    switch (field.encoding) {
    case Encoding::BinaryText:
        return BinaryTextToNumber(frameBytes.substr(static_cast<std::size_t>(field.offset), FieldSize(field.encoding)));
    case Encoding::U8:
        return *ReadU8(frameBytes, p);
    case Encoding::S8:
        return *ReadS8(frameBytes, p);
    case Encoding::U16:
        return *ReadU16BE(frameBytes, p);
    case Encoding::U32:
        return *ReadU32BE(frameBytes, p);
    }
    return 0;
}

// "20yy/MM/dd hh:mm:ss", every byte as an unsigned number of at least two digits.
void FormatObcTime(FrameBytes frameBytes, std::string& out) {
    static constexpr char kSeparators[kObcTimeLength] = {'/', '/', ' ', ':', ':', '\0'};
    out.assign("20");
    for (int i = 0; i < kObcTimeLength; ++i) {
        const unsigned value = static_cast<std::uint8_t>(frameBytes[kObcTimeOffset + i]);
        if (value >= 100) out += static_cast<char>('0' + value / 100);
        out += static_cast<char>('0' + value / 10 % 10);
        out += static_cast<char>('0' + value % 10);
        if (kSeparators[i] != '\0') out += kSeparators[i];
    }
}

void LogFrame(DecoderContext& context, const FrameFacts& facts) {
    std::string line;
    line.reserve(facts.rxTimeText.size() + 3 + facts.frameHex.size());
    line.append(facts.rxTimeText).append(" | ").append(facts.frameHex);
    context.view.LogFrame(line);
}

}  // namespace

DecodeResult DecodeRecord(std::string_view frame, std::string_view rxTimeText, TelemetryRecord& record) {
    if (frame.size() > kFrameBytesCapacity) return DecodeResult::FrameTooLong;
    if (frame.size() < kLayoutEnd) return DecodeResult::FrameTooShort;
    record.rxTime.assign(rxTimeText);
    FormatObcTime(frame, record.obcTime);
    for (const Field& field : kBeaconLayout) {
        double value = ReadField(frame, field);
        if (field.divisor != 1) value /= field.divisor;
        record.values[static_cast<std::size_t>(field.channel)] = value;
    }
    return DecodeResult::Stored;
}

DecodeResult DecodeBeacon(DecoderContext& context, std::string_view frame, const FrameFacts& facts) {
    TelemetryRecord& record = context.record;
    if (const DecodeResult result = DecodeRecord(frame, facts.rxTimeText, record); result != DecodeResult::Stored)
        return result;
    // a refused packet is not logged either: the frame log lists what the store holds, and a
    // long import into a full store would grow it without end
    DecodedPacket packet{record, frame, facts};
    if (!context.view.packetDecoded(packet)) return DecodeResult::StoreFull;
    if (context.log.decoderLogsFrames) LogFrame(context, facts);
    return DecodeResult::Stored;
}
