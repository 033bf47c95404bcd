// orca5-decode's work, through the same code the program runs, into /dev/null: a capture of a
// million frames from the demo-capture tool (about 240 MB) to CSV and to JSON lines, and inputs
// of random values from bench/plain_decoder.py, a capture of 480,000 frames and a SatNOGS
// export of 200,000 lines, as bench/compare_with_python.sh decodes them; the capture also judged
// against limits, and with the orbit's columns.
#include "batch/batch_decode.h"
#include "batch/limit_watch.h"
#include "million_capture.h"
#include "programs/log_styles.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <cstdio>
#include <sys/resource.h>

namespace {

// An input of random values, made once a run.
QString VariedInput(const char* kind, int count) {
    static QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QString("%1-%2").arg(kind).arg(count));
    if (!QFile::exists(path)) QProcess::execute("python3", {ORCA5_PLAIN_DECODER_PATH, kind, path, QString::number(count)});
    return path;
}

// Limits on every channel that has numbers, as a station would set them: the values of every
// day within, and Battery 1 Volt, whose random values reach the top hundredth of their range,
// out a packet in a hundred.
Limits EveryChannelLimited() {
    Limits limits;
    for (int i = 0; i < kChannelCount; ++i)
        if (i != channel::JobId) limits.channels[static_cast<std::size_t>(i)] = ChannelLimits{-1e12, -1e11, 1e11, 1e12, 2};
    limits.channels[channel::Battery1Volt] = ChannelLimits{0, 0, 64.9, 65.2, 1};
    limits.staleMs = 60 * 60000;
    return limits;
}

// A sun-synchronous orbit of 15.2 revolutions a day whose set's epoch is the day of the inputs,
// and a station in Bavaria: where the satellite was at each packet, as --tle gives it.
OrbitColumns BenchOrbit() {
    const char sets[] = "1 99999U 21999A   21037.58333333  .00001000  00000-0  50000-4 0  9999\n"
                        "2 99999  97.5000 120.0000 0010000  90.0000 270.0000 15.20000000000109\n";
    return {Orbit(std::get<ElementSets>(ParseElementSets("bench.tle", sets))), Geodetic{48.1, 11.6, 0.52}};
}

void Decode(benchmark::State& run, const QString& input, RowFormat format, bool limited = false, bool orbit = false) {
    std::FILE* devNull = std::fopen("/dev/null", "wb");
    std::int64_t packets = 0;
    for (auto _ : run) {
        std::optional<LimitWatch> watch;
        if (limited) watch.emplace(EveryChannelLimited(), LimitWatch::Options{});
        BatchDecoder decoder(format, '.', kDecodeLog,
                             {.rows = [&](std::string_view rows) { std::fwrite(rows.data(), 1, rows.size(), devNull); },
                              .textBeacons = {},
                              .progress = {},
                              .packets = limited ? std::function<void(const TelemetryRecord&)>([&](const TelemetryRecord& record) { watch->Take(record); })
                                                 : std::function<void(const TelemetryRecord&)>()},
                             orbit ? BenchOrbit() : OrbitColumns{});
        decoder.Decode(QFile::encodeName(input), InputFormat::Detect);
        decoder.Flush();
        packets = decoder.totals().packets;
    }
    std::fclose(devNull);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    run.SetItemsProcessed(run.iterations() * packets);
    run.counters["packets"] = static_cast<double>(packets);
    run.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

void DecodeMillionFrames(benchmark::State& run, RowFormat format) { Decode(run, MillionFrameCapture(), format); }
void DecodeVaried(benchmark::State& run, const char* kind, int count, RowFormat format) { Decode(run, VariedInput(kind, count), format); }
// ... judged against limits on the way, as --limits does
void DecodeLimited(benchmark::State& run, const char* kind, int count) { Decode(run, VariedInput(kind, count), RowFormat::Csv, true); }
// ... with the orbit's columns and a station's look angles, as --tle and --station-at give them
void DecodeWithOrbit(benchmark::State& run, const char* kind, int count) {
    Decode(run, VariedInput(kind, count), RowFormat::Csv, false, true);
}

// the rows are made on a second thread: packets a second of the wall clock
BENCHMARK_CAPTURE(DecodeMillionFrames, csv, RowFormat::Csv)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(DecodeMillionFrames, jsonl, RowFormat::JsonLines)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(DecodeVaried, capture_csv, "capture", 480000, RowFormat::Csv)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(1)->UseRealTime()->ReportAggregatesOnly();
BENCHMARK_CAPTURE(DecodeVaried, capture_jsonl, "capture", 480000, RowFormat::JsonLines)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(1)->UseRealTime()->ReportAggregatesOnly();
BENCHMARK_CAPTURE(DecodeLimited, capture_csv, "capture", 480000)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(1)->UseRealTime()->ReportAggregatesOnly();
BENCHMARK_CAPTURE(DecodeWithOrbit, capture_csv, "capture", 480000)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(1)->UseRealTime()->ReportAggregatesOnly();
BENCHMARK_CAPTURE(DecodeVaried, export_csv, "export", 200000, RowFormat::Csv)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(1)->UseRealTime()->ReportAggregatesOnly();

}  // namespace
