// Passes and stations over an archive of a station network: six stations, a pass every 95
// minutes of a beacon every 10 s for 10 minutes, each beacon heard by each station with a
// chance of 0.4 (at least one), a second or two apart, values wandering at random. At 10^6
// receptions, at 2.45 million (a million packets) and at 10^7, from the query to the last row
// written, as orca5-decode --passes and --stations run it.
#include "archive/sqlite/sqlite_archive.h"
#include "batch/pass_rows.h"
#include "support/beacon_builder.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <map>
#include <random>

namespace {

constexpr std::int64_t kStart = 1612569600000;  // 2021-02-06 00:00:00 UTC
constexpr const char* kStations[] = {"DL1ABC", "G4XYZ", "JA1ORC", "N0CALL", "VK2SAT", "ZS6AAA"};

struct NetworkArchive {
    QString path;
    std::int64_t packets = 0;
};

NetworkArchive FillNetworkArchive(std::int64_t receptions) {
    static QTemporaryDir folder;
    NetworkArchive made{QDir(folder.path()).filePath(QStringLiteral("network-%1.sqlite").arg(receptions))};
    QString error;
    const auto archive = SqliteArchive::Open(made.path, SqliteArchive::Mode::ReadWrite, error);
    std::mt19937 random(2021);
    std::bernoulli_distribution hears(0.4);
    std::uniform_int_distribution<int> late(0, 2000), step(-300, 300);
    int urbi = 30000, volts = 4000;
    Received result;
    std::int64_t kept = 0;
    for (std::int64_t pass = 0; kept < receptions; ++pass) {
        const std::int64_t start = kStart + pass * 95 * 60000 + late(random) * 100;
        for (int n = 0; n < 60 && kept < receptions; ++n, ++made.packets) {
            urbi = std::clamp(urbi + step(random), 0, 60000);
            volts = std::clamp(volts + step(random) / 30, 3000, 4200);
            const std::string frame = BeaconBuilder()
                                          .u16(79, static_cast<std::uint16_t>(urbi))
                                          .u16(85, static_cast<std::uint16_t>(volts))
                                          .u32(20, static_cast<std::uint32_t>(made.packets))
                                          .build();
            const std::int64_t time = start + 10000 * n;
            bool anyone = false;
            for (std::size_t s = 0; s < std::size(kStations) && kept < receptions; ++s) {
                if (!hears(random) && (anyone || s + 1 < std::size(kStations))) continue;
                anyone = true;
                const std::string source = std::string(kStations[s]) + ".kss#" + std::to_string(made.packets);
                archive->Receive({frame, time + late(random), source, kStations[s]}, result);
                ++kept;
            }
        }
        if (pass % 100 == 0) archive->Commit();
    }
    archive->Commit();
    return made;
}

const NetworkArchive& ArchiveOf(std::int64_t receptions) {
    static std::map<std::int64_t, NetworkArchive> made;
    if (!made.contains(receptions)) made[receptions] = FillNetworkArchive(receptions);
    return made[receptions];
}

void Activity(benchmark::State& run, bool passes) {
    const NetworkArchive& network = ArchiveOf(run.range(0));
    QString error;
    const auto archive = SqliteArchive::Open(network.path, SqliteArchive::Mode::ReadOnly, error);
    std::int64_t rows = 0;
    for (auto _ : run) {
        rows = 0;
        const auto count = [&](std::string_view text) { rows += std::count(text.begin(), text.end(), '\n'); };
        error = passes ? WritePasses(*archive, {}, RowFormat::Csv, count) : WriteStations(*archive, {}, RowFormat::Csv, count);
    }
    if (!error.isEmpty()) run.SkipWithError(error.toStdString().c_str());
    run.counters["rows"] = static_cast<double>(rows - 1);
    run.counters["packets"] = static_cast<double>(network.packets);
    run.counters["file_bytes_per_packet"] = static_cast<double>(QFileInfo(network.path).size()) / static_cast<double>(network.packets);
}

BENCHMARK_CAPTURE(Activity, passes, true)->Arg(1000000)->Arg(2450000)->Arg(10000000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK_CAPTURE(Activity, stations, false)->Arg(1000000)->Arg(2450000)->Arg(10000000)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();

}  // namespace
