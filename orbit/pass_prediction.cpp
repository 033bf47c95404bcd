#include "orbit/pass_prediction.h"

#include <cmath>

namespace {

constexpr double kStepMs = 20000;
constexpr double kLongestPassMs = 3 * 3600000.0;  // far beyond a low orbit's longest pass

// The time between two where the elevation crosses the horizon, to a millisecond: `below` and
// `above` on either side of it.
template <typename Elevation>
double Crossing(const Elevation& elevation, double below, double above) {
    while (std::fabs(above - below) > 1) {
        const double middle = (below + above) / 2;
        (elevation(middle) > 0 ? above : below) = middle;
    }
    return (below + above) / 2;
}

// The highest point between two times, by golden section to a tenth of a second.
template <typename Elevation>
std::pair<double, double> Highest(const Elevation& elevation, double from, double to) {
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double a = from, b = to;
    double c = b - ratio * (b - a), d = a + ratio * (b - a);
    double ec = elevation(c), ed = elevation(d);
    while (b - a > 100) {
        if (ec > ed) {
            b = d, d = c, ed = ec;
            c = b - ratio * (b - a), ec = elevation(c);
        } else {
            a = c, c = d, ec = ed;
            d = a + ratio * (b - a), ed = elevation(d);
        }
    }
    const double t = (a + b) / 2;
    return {t, elevation(t)};
}

}  // namespace

std::vector<PredictedPass> PredictPasses(const Orbit& orbit, const Geodetic& station, double fromMs, double toMs,
                                         double minElevationDeg) {
    const auto elevation = [&](double t) { return orbit.ElevationFrom(station, t); };
    std::vector<PredictedPass> passes;
    // a pass under way at the start is taken from its acquisition
    double t = fromMs;
    if (elevation(t) > 0) {
        while (t > fromMs - kLongestPassMs && elevation(t - kStepMs) > 0) t -= kStepMs;
        t -= kStepMs;
    }
    bool up = false;
    double aos = 0;
    for (double previous = t; previous < toMs || up; previous = t) {
        t = previous + kStepMs;
        const bool nowUp = elevation(t) > 0;
        if (nowUp && !up) aos = Crossing(elevation, previous, t);
        if (!nowUp && up) {
            const double los = Crossing(elevation, t, previous);
            const auto [maxTime, maxElevation] = Highest(elevation, aos, los);
            if (los > fromMs && aos < toMs && maxElevation >= minElevationDeg) passes.push_back({aos, los, maxElevation, maxTime});
        }
        up = nowUp;
        if (t > toMs + kLongestPassMs) break;  // a model that keeps it up forever
    }
    return passes;
}
