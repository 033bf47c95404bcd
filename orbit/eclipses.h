#pragma once

#include "orbit/orbit.h"

#include <utility>
#include <vector>

// The stretches of [from, to) the satellite spends in the Earth's shadow, oldest first, each
// cut to the range: found by its light each half minute, each edge to a tenth of a second.
std::vector<std::pair<double, double>> EclipsesBetween(const Orbit& orbit, double fromMs, double toMs);
