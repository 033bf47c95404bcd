#include "fuzz_targets.h"

#include "intake/satnogs_reader.h"
#include "intake/configuration.h"
#include "intake/kiss_file.h"
#include "intake/kiss_stream.h"
#include "intake/live_arrival.h"
#include "programs/log_styles.h"
#include "telemetry/program_state.h"
#include "telemetry/time_stamps.h"

#include <QDir>
#include <QTemporaryDir>

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

// One store for all inputs: allocating 10000 records for each would slow the fuzzer down.
ProgramState& State() {
    static ProgramState state;
    return state;
}

// Keeps the packets in that store, as the window does, and the logs nowhere.
DecodeView StoreView() {
    return {.packetDecoded = [](DecodedPacket& packet) { return State().StorePacket(packet); }, .frameLog = {}, .beaconText = {}};
}

// A folder for the files the roads write, emptied after each input.
const QDir& Scratch() {
    static QTemporaryDir folder;
    static const QDir dir(folder.path());
    return dir;
}

void EmptyScratch() {
    for (const QString& name : Scratch().entryList(QDir::Files)) QFile::remove(Scratch().filePath(name));
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
    DecodeView view = StoreView();
    DecoderContext context{view, kOrca5Log};
    KissStream live;
    for (const std::string_view arrival : arrivals) {
        const LiveArrival taken = DecodeLiveChunk(context, live, arrival, Scratch().path());
        REQUIRE(taken.stored + taken.refused <= taken.frames);
        REQUIRE(taken.lastWrite.has_value() == (taken.frames > 0));
        if (taken.lastWrite) REQUIRE(taken.lastWrite->written && taken.lastWrite->frameBytes >= 12);
    }
    REQUIRE(state.packetCount <= kStoreCapacity);
    EmptyScratch();
    return 0;
}

int FuzzKissCapture(const std::uint8_t* data, std::size_t size) {
    ProgramState& state = State();
    DecodeView view = StoreView();
    for (const int before : {0, kStoreCapacity - 1}) {
        state.packetCount = before;
        DecoderContext context{view, before == 0 ? kOrca5sLog : kOrca5Log};
        const KissCaptureOutcome outcome = DecodeKissCapture(context, Text(data, size));
        REQUIRE(outcome.stored + outcome.refused <= outcome.dataFrames);
        REQUIRE(state.packetCount == before + outcome.stored);
        REQUIRE(state.packetCount <= kStoreCapacity);
        for (int n = before + 1; n <= state.packetCount; ++n) REQUIRE(state.Packet(n)->obcTime.starts_with("20"));
    }
    return 0;
}

int FuzzSatnogsFile(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = Text(data, size);

    ProgramState& state = State();
    DecodeView view = StoreView();
    const QString path = Scratch().filePath("frames.csv");
    for (const int before : {0, kStoreCapacity - 1}) {
        QFile file(path);
        REQUIRE(file.open(QIODevice::WriteOnly) && file.write(text.data(), static_cast<qint64>(size)) == qint64(size));
        file.close();
        state.packetCount = before;
        DecoderContext context{view, kOrca5sLog};
        int counted = -1;
        int progress = 0;
        const SatnogsFileOutcome outcome =
            ReadSatnogsFile(context, path,
                            {.note = [](const QString&) { REQUIRE(false); },
                             .counted = [&](int records) { counted = records; },
                             .progress = [&](int k) {
                                 REQUIRE(k % 100 == 0 && k <= counted);
                                 ++progress;
                             }});
        REQUIRE(outcome.read);
        REQUIRE(counted == outcome.records && outcome.records <= outcome.recordLines);
        REQUIRE(outcome.stored + outcome.refused <= outcome.records);
        REQUIRE(state.packetCount == before + outcome.stored);
        REQUIRE(state.packetCount <= kStoreCapacity);
        REQUIRE(progress == outcome.records / 100);
    }
    EmptyScratch();
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
