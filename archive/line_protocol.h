#pragma once

#include "telemetry/packet_store.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One packet as a line of the line protocol that InfluxDB and the collectors of its kind
// take: measurement "orca5", tags "station" (left out when there is none) and "source", the
// channels as fields named as the archive's columns (a value that is a whole count, with
// "i"; volts and the like as decimals; JOB ID as text), and the time in nanoseconds since 1970.
// A packet without a reception time has no line: a collector would give it the time it arrives.
// False when there was no time.
bool AppendLineProtocol(std::string& out, const TelemetryRecord& record, std::string_view station, std::string_view source,
                        std::span<const int> channels);
