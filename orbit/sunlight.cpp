#include "orbit/sunlight.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kAstronomicalUnitKm = 149597870.7;
constexpr double kEarthRadiusKm = 6378.137;

}  // namespace

Vector SunPosition(double timeMs) {
    const double n = timeMs / 86400000.0 + 2440587.5 - 2451545.0;  // days from J2000
    const double meanLongitude = 280.460 + 0.9856474 * n;
    const double g = (357.528 + 0.9856003 * n) * kDegree;  // mean anomaly
    const double longitude = (meanLongitude + 1.915 * std::sin(g) + 0.020 * std::sin(2 * g)) * kDegree;
    const double obliquity = (23.439 - 0.0000004 * n) * kDegree;
    const double distance = (1.00014 - 0.01671 * std::cos(g) - 0.00014 * std::cos(2 * g)) * kAstronomicalUnitKm;
    return {distance * std::cos(longitude), distance * std::cos(obliquity) * std::sin(longitude),
            distance * std::sin(obliquity) * std::sin(longitude)};
}

bool Sunlit(const Vector& satellite, const Vector& sun) {
    const Vector d{sun[0] - satellite[0], sun[1] - satellite[1], sun[2] - satellite[2]};
    const double along = -(satellite[0] * d[0] + satellite[1] * d[1] + satellite[2] * d[2]) / (d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (along <= 0) return true;  // the Sun is on the satellite's side of the Earth
    double nearest = 0;
    for (std::size_t i = 0; i < 3; ++i) nearest += (satellite[i] + along * d[i]) * (satellite[i] + along * d[i]);
    return nearest > kEarthRadiusKm * kEarthRadiusKm;
}
