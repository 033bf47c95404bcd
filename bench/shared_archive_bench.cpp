// Ingest into the PostgreSQL archive on a server the benchmark starts on 127.0.0.1, in batches
// of 10000 as orca5-decode writes them, into an archive that grows from run to run: one station
// writing its own frames, and eight stations at once hearing the same passes, each about 60 % of
// the frames a few hundred milliseconds apart (a network's overlapping captures). Receptions a
// second over all writers.
#include "archive/postgres/postgres_archive.h"
#include "support/postgres_server.h"

#include "distinct_frames.h"

#include <benchmark/benchmark.h>

#include <thread>

namespace {

constexpr int kFramesAWriter = 20000;

// One station's capture: which frames of the pass it heard, and when.
struct Heard {
    const std::string* frame;
    std::int64_t timeMs;
};

std::size_t Write(const QString& url, const std::vector<Heard>& heard, const std::string& station) {
    QString error;
    const auto archive = PostgresArchive::Open(url, PostgresArchive::Mode::ReadWrite, error);
    if (!archive) return 0;
    Received result;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        archive->Receive({*heard[i].frame, heard[i].timeMs, station + ".kss#" + std::to_string(i), station}, result);
        if (i % 10000 == 9999) archive->Commit();
    }
    archive->Commit();
    return heard.size();
}

// Station w of `writers` hears frame i of the pass (a frame each 10 s) unless i and w make it
// one of the 40 % it lost; alone, it hears them all.
std::vector<Heard> Capture(const std::vector<std::string>& frames, int w, int writers, std::int64_t startMs) {
    std::vector<Heard> heard;
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (writers == 1 || (i * 7 + static_cast<std::size_t>(w) * 3) % 10 < 6)
            heard.push_back({&frames[i], startMs + 10000 * static_cast<std::int64_t>(i) + 150 * w});
    return heard;
}

void IngestShared(benchmark::State& run, int writers) {
    const std::vector<std::string> frames = DistinctFrames(writers == 1 ? kFramesAWriter : kFramesAWriter * 10 / 6);
    LocalPostgresServer server;
    QString error;
    PostgresArchive::Open(server.Url(), PostgresArchive::Mode::Migrate, error).reset();
    std::int64_t startMs = 1612569600000;
    std::size_t receptions = 0;
    for (auto _ : run) {
        std::vector<std::thread> threads;
        std::vector<std::size_t> written(static_cast<std::size_t>(writers));
        for (int w = 0; w < writers; ++w)
            threads.emplace_back([&, w, heard = Capture(frames, w, writers, startMs)] {
                written[static_cast<std::size_t>(w)] = Write(server.Url(), heard, std::string("N").append(std::to_string(w)).append("CALL"));
            });
        for (std::thread& thread : threads) thread.join();
        for (const std::size_t count : written) receptions += count;
        startMs += 365 * kDayMs;  // the same frames a year later are new transmissions
    }
    run.SetItemsProcessed(static_cast<std::int64_t>(receptions));
}
BENCHMARK_CAPTURE(IngestShared, one_writer, 1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(IngestShared, eight_writers, 8)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
