#pragma once

#include "orbit/orbit.h"

#include <vector>

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
