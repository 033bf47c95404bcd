#pragma once

#include <array>

// Where a point of the element sets' frame stands over the Earth, and how a station sees it.
// The frame turns with the Greenwich mean sidereal time (IAU 1982, UT1 taken as UTC, no polar
// motion); heights and latitudes are on the WGS-84 ellipsoid.

using Vector = std::array<double, 3>;  // km

// The Greenwich mean sidereal angle at a time (UTC, milliseconds since 1970), in radians from 0 to 2 pi.
double GreenwichSiderealRadians(double timeMs);

// A position of the element sets' frame in the Earth-fixed frame at the time.
Vector EarthFixed(const Vector& position, double timeMs);

struct Geodetic {
    double latitudeDeg = 0;
    double longitudeDeg = 0;  // -180 to 180, east positive
    double altitudeKm = 0;
};

Geodetic GeodeticOf(const Vector& earthFixed);
Vector EarthFixedOf(const Geodetic& place);

// How high and where a station sees a point (both Earth-fixed): degrees above its horizon, and
// from north through east, 0 to 360.
struct LookAngles {
    double elevationDeg = 0;
    double azimuthDeg = 0;
};

LookAngles LookFrom(const Geodetic& station, const Vector& earthFixed);

// A station's place worked out once, for looking from it again and again.
struct StationFrame {
    explicit StationFrame(const Geodetic& place);
    Geodetic place;
    Vector at;  // Earth-fixed
    double sinLat, cosLat, sinLon, cosLon;
};
LookAngles LookFrom(const StationFrame& station, const Vector& earthFixed);
