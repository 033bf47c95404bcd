#pragma once

#include "orbit/earth_frames.h"
#include "orbit/element_sets.h"
#include "orbit/sgp4.h"

#include <map>
#include <optional>
#include <vector>

// Where the satellite is at a time, by the element set of that time: each set's model is worked
// out once, when first needed.
class Orbit {
public:
    explicit Orbit(ElementSets sets) : sets_(std::move(sets)) {}

    std::optional<OrbitState> At(double timeMs) const;
    // How high a station sees it: -90 where the model gives no position.
    double ElevationFrom(const Geodetic& station, double timeMs) const;

private:
    ElementSets sets_;
    mutable std::map<std::size_t, Sgp4> models_;  // by the set's place in sets_
};

// A pass of the satellite over a station: acquisition and loss of signal at 0 degrees of
// elevation, and the highest point between them.
struct PredictedPass {
    double aosMs = 0, losMs = 0;
    double maxElevationDeg = 0, maxTimeMs = 0;
};

// The passes above the horizon that are under way at some time of [from, to), oldest first, each
// whole (one under way at `from` with its acquisition before it); those whose highest point is
// below minElevationDeg are left out. Found by the elevation each 20 s, the horizon's crossings
// to a millisecond and the highest point to a tenth of a second.
std::vector<PredictedPass> PredictPasses(const Orbit& orbit, const Geodetic& station, double fromMs, double toMs,
                                         double minElevationDeg = 0);
