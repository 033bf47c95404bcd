#pragma once

#include "orbit/earth_frames.h"

// The Sun's position (km) in the element sets' frame at a time (UTC, milliseconds since 1970), by
// the Astronomical Almanac's low-precision formula: a hundredth of a degree, ample for shadows.
Vector SunPosition(double timeMs);

// Whether a satellite there sees the Sun's centre: the line to it misses the Earth, a sphere of
// the equator's radius.
bool Sunlit(const Vector& satellite, const Vector& sun);
