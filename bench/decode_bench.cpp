// Decoding speed: 10000 distinct frames into the store, and a 10000-frame capture file;
// and the CSV export of a full store.
#include "archive/csv_export.h"
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

// Takes what a window would be handed to show, and only counts it.
class CountingView : public DecodeView {
public:
    void AppendFrameLog(std::string_view line) override { bytes += line.size(); }
    void AppendBeaconText(std::string_view line) override { bytes += line.size(); }
    void ShowPayloadText(std::string_view text) override { bytes += text.size(); }
    void SetPacketMaximum(int) override {}
    std::size_t bytes = 0;
};

void DecodeDistinctFrames(benchmark::State& run) {
    const std::vector<std::string> frames = DistinctFrames(kStoreCapacity);
    ProgramState state;
    CountingView view;
    DecoderContext context{state, view, kOrca5sLog};
    state.rxTimeText = "2021-02-06 14:00:00.123 UTC";
    for (auto _ : run) {
        state.ResetStore();
        for (const std::string& frame : frames) {
            state.frameHex = HexText(frame);
            DecodeTelemetryFrame(context, frame);
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
    CountingView view;
    DecoderContext context{state, view, kOrca5sLog};
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
    CountingView view;
    DecoderContext context{state, view, kOrca5sLog};
    state.rxTimeText = "2021-02-06 14:00:00.123 UTC";
    for (const std::string& frame : DistinctFrames(kStoreCapacity)) DecodeTelemetryFrame(context, frame);

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
