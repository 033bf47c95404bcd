#pragma once

#include "orbit/element_sets.h"

#include <array>
#include <optional>

// A position (km) and a velocity (km/s) in the true-equator, mean-equinox frame the element
// sets are made in.
struct OrbitState {
    std::array<double, 3> positionKm{};
    std::array<double, 3> velocityKmS{};
};

// The near-Earth SGP4 model of the element sets (Spacetrack Report No. 3, as revised in 2006), with
// the WGS-72 constants the sets are fitted with. Its terms are worked out once a set; Propagate
// then computes a time's position. Periods of 225 minutes and more (deep space) are refused
// where the sets are read.
class Sgp4 {
public:
    explicit Sgp4(const ElementSet& set);

    // The state at minutes from the set's epoch; nothing where the model breaks down (the orbit
    // decayed, or drag drove its eccentricity out of range).
    std::optional<OrbitState> Propagate(double minutes) const;
    std::optional<OrbitState> At(double timeMs) const { return Propagate((timeMs - epochMs_) / 60000.0); }

private:
    double epochMs_;
    // the mean elements, in radians and radians a minute, the mean motion freed of the
    // Kozai form the sets give it in
    double inclination_, node_, eccentricity_, perigee_, meanAnomaly_, meanMotion_, bstar_;
    // the secular and drag terms
    double cosI_, sinI_, con41_, x1mth2_, x7thm1_, eta_;
    double cc1_, cc4_, cc5_, d2_ = 0, d3_ = 0, d4_ = 0, t2cof_, t3cof_ = 0, t4cof_ = 0, t5cof_ = 0;
    double mdot_, perigeeDot_, nodeDot_, nodecf_, omgcof_, xmcof_, delmo_, sinM0_, xlcof_, aycof_;
    bool simple_;  // a perigee below 220 km: the higher drag terms are left out
};
