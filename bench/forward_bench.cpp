// Forwarding to a SatNOGS database: frames a second, one request at a time, to the stand-in
// database of the tests on this machine, without the pause between requests.
#include "intake/sids_forwarder.h"
#include "support/fake_sids_server.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

void ForwardFrames(benchmark::State& run) {
    constexpr int kFrames = 200;
    FakeSidsServer database;
    SidsStation station{QUrl(database.Url()), "N0CALL", 48.85, -59.34, 99999};
    SidsTiming timing;
    timing.spacing = std::chrono::milliseconds(0);
    const std::string frame(432, 'A');
    for (auto _ : run) {
        QTemporaryDir folder;
        SidsForwarder forwarder(station, "orca5s 0.6", folder.path(), timing);
        for (int i = 0; i < kFrames; ++i) forwarder.Forward("2021-02-06 14:00:00.000", frame);
        while (forwarder.status().sent < kFrames) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    run.SetItemsProcessed(run.iterations() * kFrames);
}
BENCHMARK(ForwardFrames)->Unit(benchmark::kMillisecond);

}  // namespace
