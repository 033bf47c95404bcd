#pragma once

#include "telemetry/packet_store.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// What a packet's line says besides its values: its series, by tags of few values, and where
// it stands in its source.
struct LineTags {
    std::string_view station;  // left out when there is none
    std::string_view source;   // "pass.kss", "live 127.0.0.1:8001", "archive"
    std::int64_t place = 0;    // the frame's number in a capture or its line in an export; 0: none
    std::int64_t nanoseconds = 0;  // past the reception time's millisecond (see PointSpacing)
};

// One packet as a line of the line protocol that InfluxDB and the collectors of its kind
// take: measurement "orca5", tags "station" and "source", the channels as fields named as the
// archive's columns (a value that is a whole count, with "i"; volts and the like as decimals;
// JOB ID as text), then the place as the field "place", and the time in nanoseconds since 1970.
// A packet without a reception time has no line: a collector would give it the time it arrives.
// False when there was no time.
bool AppendLineProtocol(std::string& out, const TelemetryRecord& record, const LineTags& tags, std::span<const int> channels);

// A point of a series at the time of the one before replaces it in InfluxDB: packets of one
// series heard in the same millisecond are put a nanosecond apart, in the order they come.
class PointSpacing {
public:
    std::int64_t Next(std::string_view station, std::string_view source, std::string_view rxTime);

private:
    std::string series_;
    std::string rxTime_;
    std::int64_t count_ = 0;
};
