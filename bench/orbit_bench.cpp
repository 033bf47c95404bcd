// Passes predicted from an element set over 30 days, as --predict-passes finds them.
#include "orbit/pass_prediction.h"

#include <benchmark/benchmark.h>

namespace {

void PredictThirtyDays(benchmark::State& run) {
    const char sets[] = "1 99999U 21999A   21037.58333333  .00001000  00000-0  50000-4 0  9999\n"
                        "2 99999  97.5000 120.0000 0010000  90.0000 270.0000 15.20000000000109\n";
    const double fromMs = 1612569600000.0;  // 2021-02-06
    std::size_t passes = 0;
    for (auto _ : run) {
        const Orbit orbit(std::get<ElementSets>(ParseElementSets("bench.tle", sets)));
        passes = PredictPasses(orbit, {48.1, 11.6, 0.52}, fromMs, fromMs + 30 * 86400000.0).size();
        benchmark::DoNotOptimize(passes);
    }
    run.counters["passes"] = static_cast<double>(passes);
}
BENCHMARK(PredictThirtyDays)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
