#pragma once

#include "orbit/orbit.h"

#include <optional>
#include <string>

// A packet's orbit columns, after its channels: sat_lat and sat_lon (degrees, -180 to 180 east),
// sat_alt_km, sunlit, and with a station elevation and azimuth (degrees). A packet without a
// reception time has them empty (null in JSON).

// The CSV heading's part, each name followed by ";".
std::string OrbitCsvHeading(bool station);
// The row's part: each field followed by ";", numbers with the separator given, sunlit 1 or 0.
void AppendOrbitCsv(std::string& out, const std::optional<OrbitPoint>& point, bool station, char decimalSeparator);
// ,"sat_lat":...,"sunlit":true ... to go before a JSON object's closing brace.
void AppendOrbitJson(std::string& out, const std::optional<OrbitPoint>& point, bool station);
// ,sat_lat=...,sunlit=true ... to go after a line protocol point's last field.
void AppendOrbitFields(std::string& out, const OrbitPoint& point, bool station);
