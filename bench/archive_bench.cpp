// The mission archive with a million frames: filling a fresh archive, the same file again
// (every frame heard before), and taking out every packet as CSV and one channel, through the
// code orca5-decode runs. Wall time: the archive is written on a thread beside the decoding.
#include "archive/archive_feed.h"
#include "archive/archive_location.h"
#include "batch/archive_rows.h"
#include "batch/batch_decode.h"
#include "archive/sqlite/sqlite_archive.h"
#include "million_capture.h"
#include "programs/log_styles.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>

#include <sys/resource.h>

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

QString ArchivePath() { return QDir(Folder().path()).filePath("mission.sqlite"); }

double PeakRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

// Fills the archive from the capture; the first run starts from an empty file.
void FillArchive(benchmark::State& run, bool fresh) {
    const QString capture = MillionFrameCapture();
    std::int64_t packets = 0;
    for (auto _ : run) {
        run.PauseTiming();
        if (fresh) QDir(Folder().path()).removeRecursively(), QDir().mkpath(Folder().path());
        QString error;
        const auto archive = SqliteArchive::Open(ArchivePath(), SqliteArchive::Mode::ReadWrite, error);
        ArchiveFeed feed(*archive, "N0CALL");
        run.ResumeTiming();
        BatchDecoder decoder(RowFormat::Csv, '.', kDecodeLog,
                             {.satelliteFrames = [&](std::string_view frame, const FrameFacts& facts) { feed.Take(frame, facts); }});
        decoder.Decode(QFile::encodeName(capture), InputFormat::Detect);
        feed.Commit();
        packets = decoder.totals().packets;
    }
    run.SetItemsProcessed(run.iterations() * packets);
    run.counters["file_bytes_per_packet"] = static_cast<double>(QFileInfo(ArchivePath()).size()) / static_cast<double>(packets);
    run.counters["peak_rss_MB"] = PeakRssMegabytes();
}

void TakeOut(benchmark::State& run, const QString& channels) {
    std::FILE* devNull = std::fopen("/dev/null", "wb");
    const ArchiveQuery query = std::get<ArchiveQuery>(ReadArchiveQuery(std::nullopt, std::nullopt, channels.isEmpty() ? std::nullopt : std::optional(channels)));
    QString error;
    const auto archive = SqliteArchive::Open(ArchivePath(), SqliteArchive::Mode::ReadOnly, error);
    std::int64_t rows = 0;
    for (auto _ : run) {
        rows = 0;
        WriteArchivedPackets(*archive, query, RowFormat::Csv, '.', [&](std::string_view text) {
            rows += std::count(text.begin(), text.end(), '\n');
            std::fwrite(text.data(), 1, text.size(), devNull);
        });
    }
    std::fclose(devNull);
    run.SetItemsProcessed(run.iterations() * (rows - 1));
    run.counters["peak_rss_MB"] = PeakRssMegabytes();
}

BENCHMARK_CAPTURE(FillArchive, fresh, true)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(FillArchive, again, false)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(TakeOut, every_channel, QString())->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(TakeOut, one_channel, QString("Battery 1 Volt"))->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
