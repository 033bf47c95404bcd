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

// The satellite at a time as the Earth turns under it: what the rest of its point is worked
// out from, on another thread if need be.
struct OrbitPlace {
    Vector earthFixed;
    bool sunlit = false;
};

// The sub-satellite point, the light and the look from a station (where one is given) of a place.
OrbitPoint PointOf(const OrbitPlace& place, const StationFrame* station);

// Where the satellite is at a time, by the element set of that time: each set's model is worked
// out once, when first needed, so one thread at a time asks it.
class Orbit {
public:
    explicit Orbit(ElementSets sets) : sets_(std::move(sets)) {}

    std::optional<OrbitState> At(double timeMs) const;
    // How high a station sees it: -90 where the model gives no position.
    double ElevationFrom(const Geodetic& station, double timeMs) const;
    // Where it is over the Earth, whether it is in sunlight, and how a station sees it where one
    // is given; nothing where the model gives no position. Packet after packet: the model is
    // computed each half minute and the position between by its cubic through the two ends'
    // positions and velocities, which follows the model to a few centimetres (its own error
    // is a kilometre or so).
    std::optional<OrbitPoint> PointAt(double timeMs, const std::optional<Geodetic>& station) const;
    // ... the part of it that needs the model, the rest for PointOf
    std::optional<OrbitPlace> PlaceAt(double timeMs) const;

private:
    const Sgp4& ModelAt(double timeMs) const;
    // The half minute a time is in, its two ends and the Sun at its start; false where the
    // model breaks down at an end or another set takes over within it.
    bool Knots(double timeMs) const;

    ElementSets sets_;
    mutable std::map<std::size_t, Sgp4> models_;  // by the set's place in sets_
    struct Knot {
        double timeMs = 0;
        OrbitState state;
    };
    mutable std::optional<std::pair<Knot, Knot>> knots_;
    mutable Vector sun_{};
    mutable std::optional<StationFrame> station_;  // the last one asked
};

