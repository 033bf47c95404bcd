// Decoding speed: 10000 distinct frames into the store, and a 10000-frame capture file;
// and the CSV export of a full store.
#include "exports/csv_export.h"
#include "intake/whole_file.h"
#include "intake/frame_recognition.h"
#include "intake/kiss.h"
#include "intake/kiss_file.h"
#include "programs/log_styles.h"
#include "telemetry/time_stamps.h"

#include "distinct_frames.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace {

// Keeps the packets in the store and counts the log's bytes, as a window would take them.
struct CountingView {
    explicit CountingView(ProgramState& state)
        : view{.packetDecoded = [&state](DecodedPacket& packet) { return state.StorePacket(packet); },
               .frameLog = [this](std::string_view line) { bytes += line.size(); },
               .beaconText = [this](std::string_view line) { bytes += line.size(); }} {}
    CountingView(const CountingView&) = delete;

    DecodeView view;
    std::size_t bytes = 0;
};

void DecodeDistinctFrames(benchmark::State& run) {
    const std::vector<std::string> frames = DistinctFrames(kStoreCapacity);
    ProgramState state;
    CountingView counting(state);
    DecoderContext context{counting.view, kOrca5sLog};
    std::string frameHex;
    for (auto _ : run) {
        state.ResetStore();
        for (const std::string& frame : frames) {
            HexText(frame, frameHex);
            DecodeTelemetryFrame(context, frame, {"2021-02-06 14:00:00.123 UTC", frameHex});
        }
        benchmark::DoNotOptimize(state.packetCount);
    }
    run.SetItemsProcessed(run.iterations() * kStoreCapacity);
}
BENCHMARK(DecodeDistinctFrames)->Unit(benchmark::kMillisecond);

void ReadCaptureFile(benchmark::State& run) {
    std::string capture;
    for (const std::string& frame : DistinctFrames(kStoreCapacity)) {
        AppendRxTimeFrame(capture, "2021-02-06 14:00:00.123 UTC");
        capture += KissDataFrame(frame);
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("capture.kss");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(capture.data(), static_cast<qint64>(capture.size()));
    file.close();

    ProgramState state;
    CountingView counting(state);
    DecoderContext context{counting.view, kOrca5sLog};
    for (auto _ : run) {
        state.ResetStore();
        benchmark::DoNotOptimize(ReadKissFile(context, path));
    }
    run.SetBytesProcessed(run.iterations() * static_cast<std::int64_t>(capture.size()));
    run.counters["frames"] = state.packetCount;
}
BENCHMARK(ReadCaptureFile)->Unit(benchmark::kMillisecond);

void WriteCsvExport(benchmark::State& run) {
    ProgramState state;
    CountingView counting(state);
    DecoderContext context{counting.view, kOrca5sLog};
    for (const std::string& frame : DistinctFrames(kStoreCapacity))
        DecodeTelemetryFrame(context, frame, {"2021-02-06 14:00:00.123 UTC", HexText(frame)});

    QTemporaryDir folder;
    const QString path = folder.filePath("capture.csv");
    std::size_t bytes = 0;
    for (auto _ : run) {
        const std::string text = CsvText(state, ',');
        bytes = text.size();
        benchmark::DoNotOptimize(WriteFileSafely(path, text));
    }
    run.SetBytesProcessed(run.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(WriteCsvExport)->Unit(benchmark::kMillisecond);

}  // namespace
