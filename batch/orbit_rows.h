#pragma once

#include "batch/row_format.h"
#include "orbit/orbit.h"

#include <optional>
#include <string>

// Where the satellite was, as --tle and --station-at ask for it in the rows.
struct OrbitColumns {
    std::optional<Orbit> orbit;
    std::optional<Geodetic> station;
};

// A CSV heading (none for the other formats) with the orbit's names before its CR LF, where
// there are element sets.
std::string WithOrbitHeading(std::string heading, const OrbitColumns& orbit);

// The orbit's columns put where a row's fields end (the row begins at `start`): before a CSV
// line's CR LF, a JSON object's closing brace, a point's time stamp. A point of none leaves
// them empty (null), and a line protocol point without them.
void AppendOrbitToRow(std::string& rows, std::size_t start, RowFormat format, const std::optional<OrbitPoint>& point, bool station,
                      char decimalSeparator);
