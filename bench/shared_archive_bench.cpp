// Ingest into the PostgreSQL archive on a server the benchmark starts on 127.0.0.1: one
// station writing, and two at once (each its own frames), in batches of 10000 as orca5-decode
// writes them, into an archive that grows from run to run. Packets a second over all writers.
#include "archive/postgres/postgres_archive.h"
#include "support/postgres_server.h"

#include "distinct_frames.h"

#include <benchmark/benchmark.h>

#include <thread>

namespace {

constexpr int kFramesAWriter = 20000;

void Write(const QString& url, const std::vector<std::string>& frames, std::int64_t startMs, const char* station) {
    QString error;
    const auto archive = PostgresArchive::Open(url, PostgresArchive::Mode::ReadWrite, error);
    if (!archive) return;
    Received result;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        archive->Receive({frames[i], startMs + 10000 * static_cast<std::int64_t>(i), "pass.kss#" + std::to_string(i), station}, result);
        if (i % 10000 == 9999) archive->Commit();
    }
    archive->Commit();
}

void IngestShared(benchmark::State& run, int writers) {
    const std::vector<std::string> frames = DistinctFrames(kFramesAWriter * writers);
    LocalPostgresServer server;
    QString error;
    PostgresArchive::Open(server.Url(), PostgresArchive::Mode::Migrate, error).reset();
    std::int64_t startMs = 1612569600000;
    for (auto _ : run) {
        std::vector<std::thread> threads;
        for (int w = 0; w < writers; ++w) {
            const std::vector<std::string> own(frames.begin() + w * kFramesAWriter, frames.begin() + (w + 1) * kFramesAWriter);
            threads.emplace_back([&, own, w] { Write(server.Url(), own, startMs + w * 5000, w == 0 ? "N0CALL" : "DL1ABC"); });
        }
        for (std::thread& thread : threads) thread.join();
        startMs += 365 * kDayMs;  // the same frames a year later are new transmissions
    }
    run.SetItemsProcessed(run.iterations() * kFramesAWriter * writers);
}
BENCHMARK_CAPTURE(IngestShared, one_writer, 1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(IngestShared, two_writers, 2)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
