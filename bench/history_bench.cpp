// The History window over an archive of a million packets (or ORCA5_BENCH_FRAMES), a minute
// apart for 694 days (a million): from
// the request for a range to the painted chart, at 1000 pixel columns, from the whole mission
// down to ten minutes; 41 days is the widest range read packet by packet. The window's memory
// is what it draws, whatever the zoom.
#include "archive/archive_feed.h"
#include "batch/batch_decode.h"
#include "archive/sqlite/sqlite_archive.h"
#include "million_capture.h"
#include "programs/log_styles.h"
#include "support/window_harness.h"
#include "ui/history_window.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

const QString& MillionPacketArchive() {
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString archivePath = QDir(folder.path()).filePath("mission.sqlite");
        QString error;
        const auto archive = SqliteArchive::Open(archivePath, SqliteArchive::Mode::ReadWrite, error);
        ArchiveFeed feed(*archive, "N0CALL");
        BatchDecoder decoder(RowFormat::Csv, '.', kDecodeLog,
                             {.satelliteFrames = [&](std::string_view frame, const FrameFacts& facts) { feed.Take(frame, facts); }});
        decoder.Decode(QFile::encodeName(MillionFrameCapture()), InputFormat::Detect);
        feed.Commit();
        return archivePath;
    }();
    return path;
}

// A History window whose plot is 1000 pixels wide.
std::unique_ptr<History> OpenHistory() {
    QString error;
    auto reader = SqliteArchive::Open(MillionPacketArchive(), SqliteArchive::Mode::ReadOnly, error);
    auto history = std::make_unique<History>(std::move(reader), std::vector<HistoryChoice>{{{channel::Battery1Volt}, {"Battery 1 Volt"}, "V"}}, 0);
    history->show();
    for (int tries = 0; tries < 3 && history->Chart->PlotColumns() != 1000; ++tries) {
        history->resize(history->width() + 1000 - history->Chart->PlotColumns(), history->height());
        QApplication::processEvents();
    }
    return history;
}

double PeakRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

// Draws a range of so many days (0: the whole mission) ending in the middle of the mission.
void DrawHistory(benchmark::State& run, double days) {
    const std::unique_ptr<History> history = OpenHistory();
    history->ShowWholeMission();
    const TimeRange mission = history->range();
    const std::int64_t middle = (*mission.from + *mission.to) / 2;
    const TimeRange shown = days == 0 ? mission : TimeRange{middle - static_cast<std::int64_t>(days * kDayMs), middle};
    std::int64_t packets = 0;
    for (auto _ : run) {
        history->ShowRange(shown);
        history->Chart->repaint();
        packets = 0;
        for (const HistoryColumn& column : history->series()[0]) packets += column.values.packets;
    }
    run.counters["columns"] = static_cast<double>(history->series()[0].size());
    run.counters["packets"] = static_cast<double>(packets);
    run.counters["held_kB"] = static_cast<double>(history->series()[0].capacity() * sizeof(HistoryColumn) +
                                                  history->days().capacity() * sizeof(HistoryColumn)) / 1024;
    run.counters["peak_rss_MB"] = PeakRssMegabytes();
}
BENCHMARK_CAPTURE(DrawHistory, whole_mission, 0.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawHistory, 100_days, 100.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawHistory, 42_days, 42.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawHistory, 41_days, 41.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawHistory, 5_days, 5.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawHistory, 1_day, 1.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawHistory, 10_minutes, 10.0 / 24 / 60)->Unit(benchmark::kMillisecond);

// Archive > Load Time Range of 10000 packets from the middle of the mission into the window.
void LoadTenThousand(benchmark::State& run) {
    WindowHarness harness(kOrca5s, "ARCHIVE = " + MillionPacketArchive().toUtf8() + "\r\n");
    QString error;
    const auto archive = SqliteArchive::Open(MillionPacketArchive(), SqliteArchive::Mode::ReadOnly, error);
    const std::int64_t middle = (*archive->OldestPacketTime() + *archive->NewestPacketTime()) / 2;
    for (auto _ : run) harness.window.LoadTimeRange({middle, middle + 10000 * 60000LL});
    run.counters["packets"] = harness.state.packetCount;
    run.counters["peak_rss_MB"] = PeakRssMegabytes();
}
BENCHMARK(LoadTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace
