// orca5-decode's work: a capture of a million frames from the demo-capture tool (about 240 MB)
// decoded to CSV and to JSON lines into /dev/null, through the same code the program runs.
#include "archive/batch_decode.h"
#include "million_capture.h"
#include "programs/log_styles.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <sys/resource.h>

namespace {

void DecodeMillionFrames(benchmark::State& run, RowFormat format) {
    const QString capture = MillionFrameCapture();
    std::FILE* devNull = std::fopen("/dev/null", "wb");
    std::int64_t packets = 0;
    for (auto _ : run) {
        BatchDecoder decoder(format, '.', kDecodeLog,
                             {.rows = [&](std::string_view rows) { std::fwrite(rows.data(), 1, rows.size(), devNull); },
                              .textBeacons = {},
                              .progress = {}});
        decoder.Decode(QFile::encodeName(capture), InputFormat::Detect);
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

BENCHMARK_CAPTURE(DecodeMillionFrames, csv, RowFormat::Csv)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(DecodeMillionFrames, jsonl, RowFormat::JsonLines)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
