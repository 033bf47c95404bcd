#include "orbit/orbit.h"

#include "orbit/sunlight.h"

#include <cmath>

namespace {

constexpr double kKnotMs = 30000;

// The cubic through two states' positions and velocities, at a time between them.
Vector Between(const OrbitState& a, const OrbitState& b, double seconds, double fraction) {
    const double s = fraction, s2 = s * s, s3 = s2 * s;
    const double h00 = 2 * s3 - 3 * s2 + 1, h10 = (s3 - 2 * s2 + s) * seconds, h01 = -2 * s3 + 3 * s2, h11 = (s3 - s2) * seconds;
    Vector position;
    for (std::size_t i = 0; i < 3; ++i)
        position[i] = h00 * a.positionKm[i] + h10 * a.velocityKmS[i] + h01 * b.positionKm[i] + h11 * b.velocityKmS[i];
    return position;
}

}  // namespace

const Sgp4& Orbit::ModelAt(double timeMs) const {
    const ElementSet& set = sets_.At(timeMs);
    const std::size_t index = static_cast<std::size_t>(&set - sets_.sets().data());
    auto at = models_.find(index);
    if (at == models_.end()) at = models_.emplace(index, Sgp4(set)).first;
    return at->second;
}

std::optional<OrbitState> Orbit::At(double timeMs) const { return ModelAt(timeMs).At(timeMs); }

double Orbit::ElevationFrom(const Geodetic& station, double timeMs) const {
    const std::optional<OrbitState> state = At(timeMs);
    return state ? LookFrom(station, EarthFixed(state->positionKm, timeMs)).elevationDeg : -90;
}

bool Orbit::Knots(double timeMs) const {
    const double start = std::floor(timeMs / kKnotMs) * kKnotMs;
    if (knots_ && knots_->first.timeMs == start) return true;
    knots_.reset();
    const Sgp4& model = ModelAt(start);
    if (&ModelAt(start + kKnotMs) != &model) return false;
    const std::optional<OrbitState> first = model.At(start), second = model.At(start + kKnotMs);
    if (!first || !second) return false;
    knots_.emplace(Knot{start, *first}, Knot{start + kKnotMs, *second});
    sun_ = SunPosition(start);  // a quarter of a thousandth of a degree from where it is a half minute on
    return true;
}

std::optional<OrbitPlace> Orbit::PlaceAt(double timeMs) const {
    if (Knots(timeMs)) {
        const Vector position = Between(knots_->first.state, knots_->second.state, kKnotMs / 1000, (timeMs - knots_->first.timeMs) / kKnotMs);
        return OrbitPlace{EarthFixed(position, timeMs), Sunlit(position, sun_)};
    }
    const std::optional<OrbitState> state = At(timeMs);
    if (!state) return std::nullopt;
    return OrbitPlace{EarthFixed(state->positionKm, timeMs), Sunlit(state->positionKm, SunPosition(timeMs))};
}

OrbitPoint PointOf(const OrbitPlace& place, const StationFrame* station) {
    OrbitPoint point{GeodeticOf(place.earthFixed), place.sunlit, std::nullopt};
    if (station) point.look = LookFrom(*station, place.earthFixed);
    return point;
}

std::optional<OrbitPoint> Orbit::PointAt(double timeMs, const std::optional<Geodetic>& station) const {
    const std::optional<OrbitPlace> place = PlaceAt(timeMs);
    if (!place) return std::nullopt;
    if (!station) return PointOf(*place, nullptr);
    const Geodetic& at = *station;
    if (!station_ || station_->place.latitudeDeg != at.latitudeDeg || station_->place.longitudeDeg != at.longitudeDeg ||
        station_->place.altitudeKm != at.altitudeKm)
        station_.emplace(at);
    return PointOf(*place, &*station_);
}
