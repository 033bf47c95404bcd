#include "orbit/eclipses.h"

#include "orbit/sunlight.h"

namespace {

constexpr double kStepMs = 30000;  // an eclipse of a low orbit lasts half an hour or so

}  // namespace

std::vector<std::pair<double, double>> EclipsesBetween(const Orbit& orbit, double fromMs, double toMs) {
    const auto dark = [&](double t) {
        const std::optional<OrbitState> state = orbit.At(t);
        return state && !Sunlit(state->positionKm, SunPosition(t));
    };
    // the time between two where the light changes, `before` on the side of the first
    const auto edge = [&](double before, double after) {
        const bool first = dark(before);
        while (after - before > 100) {
            const double middle = (before + after) / 2;
            (dark(middle) == first ? before : after) = middle;
        }
        return (before + after) / 2;
    };
    std::vector<std::pair<double, double>> eclipses;
    bool inShadow = dark(fromMs);
    double start = fromMs;
    for (double t = fromMs; t < toMs;) {
        const double next = std::min(t + kStepMs, toMs);
        if (dark(next) != inShadow) {
            const double change = edge(t, next);
            if (inShadow) eclipses.emplace_back(start, change);
            start = change;
            inShadow = !inShadow;
        }
        t = next;
    }
    if (inShadow && start < toMs) eclipses.emplace_back(start, toMs);
    return eclipses;
}
