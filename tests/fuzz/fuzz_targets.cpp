#include "fuzz_targets.h"

#include "archive/satnogs_file.h"
#include "intake/configuration.h"
#include "intake/kiss_file.h"
#include "intake/kiss_stream.h"
#include "intake/live_chunk.h"
#include "programs/build_variant.h"
#include "telemetry/time_stamps.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

#define REQUIRE(condition)                                                          \
    do {                                                                            \
        if (!(condition)) {                                                         \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                           \
        }                                                                           \
    } while (false)

class NoView : public DecodeView {
public:
    void AppendFrameLog(std::string_view) override {}
    void AppendBeaconText(std::string_view) override {}
    void ShowPayloadText(std::string_view) override {}
    void SetPacketMaximum(int packetCount) override { REQUIRE(packetCount >= 1 && packetCount <= kStoreCapacity); }
};

// One store for all inputs: allocating 10000 records for each would slow the fuzzer down.
ProgramState& State() {
    static ProgramState state;
    return state;
}

std::string_view Text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

struct Frames {
    std::vector<std::string> raw, unescaped;
    bool operator==(const Frames&) const = default;
};

Frames Deframe(const std::vector<std::string_view>& arrivals, KissStream& stream) {
    Frames frames;
    for (const std::string_view arrival : arrivals) {
        stream.Feed(arrival, [&](const KissFrame& frame) {
            REQUIRE(frame.raw.size() <= KissStream::kMaxFrameBytes + 2);
            REQUIRE(frame.unescaped.size() <= frame.raw.size() - 2);
            frames.raw.emplace_back(frame.raw);
            frames.unescaped.emplace_back(frame.unescaped);
        });
    }
    return frames;
}

}  // namespace

int FuzzKissStream(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = Text(data, size);
    KissStream whole;
    const Frames once = Deframe({bytes}, whole);

    // the same bytes in arrivals whose lengths the bytes themselves choose
    std::vector<std::string_view> arrivals;
    for (std::size_t at = 0, step = 1; at < size; at += step) {
        step = 1 + data[at] % 61;
        arrivals.push_back(bytes.substr(at, step));
    }
    KissStream split;
    REQUIRE(Deframe(arrivals, split) == once);
    REQUIRE(split.droppedFrames() == whole.droppedFrames());

    // and live, into a store that is nearly full
    ProgramState& state = State();
    state.packetCount = kStoreCapacity - 2;
    NoView view;
    DecoderContext context{state, view, kOrca5.log};
    KissStream live;
    for (const std::string_view arrival : arrivals)
        DecodeLiveChunk(context, live, arrival, [](const KissFrame& frame) { REQUIRE(frame.raw.size() >= 12); });
    REQUIRE(state.packetCount <= kStoreCapacity);
    return 0;
}

int FuzzKissCapture(const std::uint8_t* data, std::size_t size) {
    ProgramState& state = State();
    NoView view;
    for (const int before : {0, kStoreCapacity - 1}) {
        state.packetCount = before;
        DecoderContext context{state, view, before == 0 ? kOrca5s.log : kOrca5.log};
        const KissCaptureOutcome outcome = DecodeKissCapture(context, Text(data, size));
        REQUIRE(outcome.stored + outcome.refused <= outcome.dataFrames);
        REQUIRE(state.packetCount == before + outcome.stored);
        REQUIRE(state.packetCount <= kStoreCapacity);
        for (int n = before + 1; n <= state.packetCount; ++n) REQUIRE(state.Packet(n)->obcTime.starts_with("20"));
    }
    return 0;
}

int FuzzSatnogsFile(const std::uint8_t* data, std::size_t size) {
    std::string_view text = Text(data, size);
    std::string converted;
    if (HasBareLineFeedsOnly(text)) {
        converted = WithCrLf(text);
        REQUIRE(!HasBareLineFeedsOnly(converted));
        text = converted;
    }
    const std::vector<std::string_view> lines = SatnogsRecordLines(text);
    const std::vector<std::string_view> records = RemoveAdjacentDuplicates(lines);
    REQUIRE(records.size() <= lines.size());
    for (std::size_t i = 1; i < records.size(); ++i) REQUIRE(records[i] != records[i - 1]);

    ProgramState& state = State();
    NoView view;
    for (const int before : {0, kStoreCapacity - 1}) {
        state.packetCount = before;
        DecoderContext context{state, view, kOrca5s.log};
        int progress = 0;
        const SatnogsOutcome outcome = DecodeSatnogsRecords(context, records, [&](int k) {
            REQUIRE(k % 100 == 0);
            ++progress;
        });
        REQUIRE(static_cast<std::size_t>(outcome.stored + outcome.refused) <= records.size());
        REQUIRE(state.packetCount == before + outcome.stored);
        REQUIRE(state.packetCount <= kStoreCapacity);
        REQUIRE(static_cast<std::size_t>(progress) == records.size() / 100);
    }
    return 0;
}

int FuzzConfiguration(const std::uint8_t* data, std::size_t size) {
    const ConfigurationResult result = ParseConfiguration(Text(data, size), "/opt/orca5");
    REQUIRE(result.configuration.has_value() == result.error.isEmpty());
    if (!result.configuration) {
        REQUIRE(result.error.startsWith("conf.ini, line "));
        return 0;
    }
    const Configuration& configuration = *result.configuration;
    if (configuration.serverPort) REQUIRE(*configuration.serverPort >= 1 && *configuration.serverPort <= 65535);
    REQUIRE(configuration.serverHost == configuration.serverHost.toUpper());
    REQUIRE(configuration.serverLabel.isEmpty() || configuration.serverLabel.startsWith('['));
    return 0;
}

int FuzzTimeStampFrames(const std::uint8_t* data, std::size_t size) {
    const std::string_view frame = Text(data, size);
    std::string rxTimeText = "before";
    RxTimeFromTextFrame(frame, rxTimeText);
    REQUIRE(rxTimeText == "before" || (rxTimeText.size() == kRxTimeTextLength && rxTimeText.ends_with("UTC")));

    rxTimeText = "before";
    RxTimeFromMillisFrame(frame, rxTimeText, QLocale::c());
    if (size == kMillisFrameLength) {
        REQUIRE(rxTimeText.size() >= 8 && rxTimeText.ends_with(" UTC"));
        REQUIRE(rxTimeText[rxTimeText.size() - 8] == '.');
    } else {
        REQUIRE(rxTimeText == "before");
    }
    return 0;
}
