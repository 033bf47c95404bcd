#include "orbit/orbit.h"

#include "orbit/sunlight.h"

std::optional<OrbitState> Orbit::At(double timeMs) const {
    const ElementSet& set = sets_.At(timeMs);
    const std::size_t index = static_cast<std::size_t>(&set - sets_.sets().data());
    auto at = models_.find(index);
    if (at == models_.end()) at = models_.emplace(index, Sgp4(set)).first;
    return at->second.At(timeMs);
}

double Orbit::ElevationFrom(const Geodetic& station, double timeMs) const {
    const std::optional<OrbitState> state = At(timeMs);
    return state ? LookFrom(station, EarthFixed(state->positionKm, timeMs)).elevationDeg : -90;
}

std::optional<OrbitPoint> Orbit::PointAt(double timeMs, const std::optional<Geodetic>& station) const {
    const std::optional<OrbitState> state = At(timeMs);
    if (!state) return std::nullopt;
    const Vector earthFixed = EarthFixed(state->positionKm, timeMs);
    OrbitPoint point{GeodeticOf(earthFixed), Sunlit(state->positionKm, SunPosition(timeMs)), std::nullopt};
    if (station) point.look = LookFrom(*station, earthFixed);
    return point;
}
