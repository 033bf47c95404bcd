// What the user waits for: an import of 10000 frames through the window's commands, the same
// loaded from the archive, and one live arrival into a store of 10000 packets, logs and chart
// included.
#include "intake/kiss.h"
#include "support/window_harness.h"
#include "telemetry/time_stamps.h"

#include "distinct_frames.h"

#include <benchmark/benchmark.h>

namespace {

std::string TimeOfFrame(int i) {
    char time[32];
    std::snprintf(time, sizeof time, "2021-02-06 %02d:%02d:%02d", i / 3600 % 24, i / 60 % 60, i % 60);
    return time;
}

// A capture of 10000 distinct frames a second apart, in the harness's folder.
QString WriteCapture(WindowHarness& harness) {
    std::string capture;
    const std::vector<std::string> frames = DistinctFrames(kStoreCapacity);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        AppendRxTimeFrame(capture, TimeOfFrame(static_cast<int>(i)) + ".000 UTC");
        capture += KissDataFrame(frames[i]);
    }
    return harness.WriteFile("capture.kss", capture);
}

void ImportCaptureFile(benchmark::State& run) {
    WindowHarness harness;
    const QString path = WriteCapture(harness);
    for (auto _ : run) {
        harness.dialogs.answers.push_back(QStringList{path});
        harness.window.MnuOpenKISSFile_Click();
    }
    run.counters["packets"] = harness.state.packetCount;
}
BENCHMARK(ImportCaptureFile)->Unit(benchmark::kMillisecond);

void ImportSatnogsFile(benchmark::State& run) {
    WindowHarness harness;
    std::string text;
    const std::vector<std::string> frames = DistinctFrames(kStoreCapacity);
    for (std::size_t i = 0; i < frames.size(); ++i) text += TimeOfFrame(static_cast<int>(i)) + "|" + HexText(frames[i]) + "\r\n";
    const QString path = harness.WriteFile("pass.csv", text);
    for (auto _ : run) {
        harness.dialogs.answers.push_back(QStringList{path});
        harness.window.MnuOpenServerLog_Click();
    }
    run.counters["packets"] = harness.state.packetCount;
}
BENCHMARK(ImportSatnogsFile)->Unit(benchmark::kMillisecond);

// "Load Time Range" of 10000 packets from the archive the capture's import filled.
void LoadTimeRange(benchmark::State& run) {
    WindowHarness harness(kOrca5s, "ARCHIVE = yes\r\n");
    harness.dialogs.answers.push_back(QStringList{WriteCapture(harness)});
    harness.window.MnuOpenKISSFile_Click();
    for (auto _ : run) harness.window.LoadTimeRange({});
    run.counters["packets"] = harness.state.packetCount;
}
BENCHMARK(LoadTimeRange)->Unit(benchmark::kMillisecond);

void LiveArrivalIntoAFullStore(benchmark::State& run) {
    WindowHarness harness;
    harness.AddPackets(kStoreCapacity - 1, [](int n) { return BeaconBuilder().u16(77, static_cast<std::uint16_t>(n)); });
    const std::string frame = KissDataFrame(DistinctFrames(1).front());
    const QByteArray arrival(frame.data(), static_cast<qsizetype>(frame.size()));
    for (auto _ : run) {
        harness.state.packetCount = kStoreCapacity - 1;  // room for the one that arrives
        harness.window.TakeLiveData(arrival);
    }
    run.counters["packets"] = harness.state.packetCount;
}
BENCHMARK(LiveArrivalIntoAFullStore)->Unit(benchmark::kMillisecond);

}  // namespace
