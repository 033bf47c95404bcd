#pragma once

#include "orbit/earth_frames.h"
#include "orbit/element_sets.h"
#include "orbit/sgp4.h"

#include <map>
#include <optional>

// The satellite at a time, as a packet's row tells it.
struct OrbitPoint {
    Geodetic below;  // the sub-satellite point, and the height above it
    bool sunlit = false;
    std::optional<LookAngles> look;  // from the station, where one is given
};

// Where the satellite is at a time, by the element set of that time: each set's model is worked
// out once, when first needed, so one thread at a time asks it.
class Orbit {
public:
    explicit Orbit(ElementSets sets) : sets_(std::move(sets)) {}

    std::optional<OrbitState> At(double timeMs) const;
    // How high a station sees it: -90 where the model gives no position.
    double ElevationFrom(const Geodetic& station, double timeMs) const;
    // Where it is over the Earth, whether it is in sunlight, and how a station sees it where one
    // is given; nothing where the model gives no position.
    std::optional<OrbitPoint> PointAt(double timeMs, const std::optional<Geodetic>& station) const;

private:
    ElementSets sets_;
    mutable std::map<std::size_t, Sgp4> models_;  // by the set's place in sets_
};

