// Rebuilding and drawing the chart over a full store: what every channel choice and every
// live arrival costs.
#include "ui/channel_chart.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

ProgramState& FullStore() {
    static ProgramState state;
    if (state.packetCount == 0) {
        for (int i = 0; i < kStoreCapacity; ++i) {
            TelemetryRecord& record = state.packetStore[i];
            char rxTime[32];
            std::snprintf(rxTime, sizeof rxTime, "2021-02-06 %02d:%02d:%02d.000", i / 3600 % 24, i / 60 % 60, i % 60);
            record.rxTime = rxTime;
            for (int channel = 0; channel < kChannelCount; ++channel)
                record.values[static_cast<std::size_t>(channel)] = 4 + std::sin(i / 50.0 + channel) + (i % 7) / 100.0;
        }
        state.packetCount = kStoreCapacity;
    }
    return state;
}

void RebuildChart(benchmark::State& run, std::vector<ChartSeries> series, ChartStyle style) {
    ChannelChart chart;
    chart.resize(681, 305);  // its place in the window
    chart.show();
    QApplication::processEvents();
    const ProgramState& state = FullStore();
    for (auto _ : run) chart.Build(state, series, style);
    run.counters["rows"] = chart.rowCount();
}

const std::vector<ChartSeries> kOne{{17, "Battery 1 Volt", QColor(70, 130, 180)}};
const std::vector<ChartSeries> kGroup{{17, "Battery 1 Volt", QColor(70, 130, 180)},
                                      {20, "Battery 2 Volt", QColor(34, 139, 34)},
                                      {23, "Battery 3 Volt", QColor(176, 48, 96)}};

BENCHMARK_CAPTURE(RebuildChart, channel_bars, kOne, ChartStyle::Bars)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RebuildChart, channel_line, kOne, ChartStyle::Line)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RebuildChart, group_bars, kGroup, ChartStyle::Bars)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RebuildChart, group_line, kGroup, ChartStyle::Line)->Unit(benchmark::kMillisecond);

}  // namespace
