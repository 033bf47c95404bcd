#include "orbit/earth_frames.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180;
// WGS-84
constexpr double kEquatorKm = 6378.137;
constexpr double kFlattening = 1 / 298.257223563;
constexpr double kEccentricitySquared = kFlattening * (2 - kFlattening);

double JulianDate(double timeMs) { return timeMs / 86400000.0 + 2440587.5; }

}  // namespace

double GreenwichSiderealRadians(double timeMs) {
    const double t = (JulianDate(timeMs) - 2451545.0) / 36525.0;  // Julian centuries from J2000
    const double seconds = 67310.54841 + (876600.0 * 3600 + 8640184.812866) * t + 0.093104 * t * t - 6.2e-6 * t * t * t;
    const double angle = std::fmod(seconds * kDegree / 240.0, 2 * kPi);  // a second of time is 1/240 degree
    return angle < 0 ? angle + 2 * kPi : angle;
}

Vector EarthFixed(const Vector& position, double timeMs) {
    const double g = GreenwichSiderealRadians(timeMs), c = std::cos(g), s = std::sin(g);
    return {c * position[0] + s * position[1], -s * position[0] + c * position[1], position[2]};
}

// Bowring's latitude, within two centimetres up to 2000 km high, and the height along its normal.
Geodetic GeodeticOf(const Vector& p) {
    const double horizontal = std::hypot(p[0], p[1]);
    const double polar = kEquatorKm * (1 - kFlattening), secondEccentricity = kEccentricitySquared / (1 - kEccentricitySquared);
    const double theta = std::atan2(p[2] * kEquatorKm, horizontal * polar);
    const double st = std::sin(theta), ct = std::cos(theta);
    const double latitude =
        std::atan2(p[2] + secondEccentricity * polar * st * st * st, horizontal - kEccentricitySquared * kEquatorKm * ct * ct * ct);
    const double sinLat = std::sin(latitude), cosLat = std::cos(latitude);
    const double height = horizontal * cosLat + p[2] * sinLat - kEquatorKm * std::sqrt(1 - kEccentricitySquared * sinLat * sinLat);
    return {latitude / kDegree, std::atan2(p[1], p[0]) / kDegree, height};
}

Vector EarthFixedOf(const Geodetic& place) {
    const double lat = place.latitudeDeg * kDegree, lon = place.longitudeDeg * kDegree;
    const double n = kEquatorKm / std::sqrt(1 - kEccentricitySquared * std::sin(lat) * std::sin(lat));
    const double h = place.altitudeKm;
    return {(n + h) * std::cos(lat) * std::cos(lon), (n + h) * std::cos(lat) * std::sin(lon), (n * (1 - kEccentricitySquared) + h) * std::sin(lat)};
}

StationFrame::StationFrame(const Geodetic& p)
    : place(p), at(EarthFixedOf(p)), sinLat(std::sin(p.latitudeDeg * kDegree)), cosLat(std::cos(p.latitudeDeg * kDegree)),
      sinLon(std::sin(p.longitudeDeg * kDegree)), cosLon(std::cos(p.longitudeDeg * kDegree)) {}

LookAngles LookFrom(const Geodetic& station, const Vector& point) { return LookFrom(StationFrame(station), point); }

LookAngles LookFrom(const StationFrame& s, const Vector& point) {
    const Vector d{point[0] - s.at[0], point[1] - s.at[1], point[2] - s.at[2]};
    const double east = -s.sinLon * d[0] + s.cosLon * d[1];
    const double north = -s.sinLat * s.cosLon * d[0] - s.sinLat * s.sinLon * d[1] + s.cosLat * d[2];
    const double up = s.cosLat * s.cosLon * d[0] + s.cosLat * s.sinLon * d[1] + s.sinLat * d[2];
    const double azimuth = std::atan2(east, north) / kDegree;
    return {std::atan2(up, std::hypot(east, north)) / kDegree, azimuth < 0 ? azimuth + 360 : azimuth};
}
