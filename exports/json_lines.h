#pragma once

#include "telemetry/packet_store.h"

#include <span>
#include <string>
#include <string_view>

// A text as a JSON string, quotes and escapes included.
void AppendJsonString(std::string& out, std::string_view text);

// One packet as a line of JSON, for scripts and notebooks: "rx_time" (ISO 8601 UTC with
// milliseconds and "Z"; null when the reception time is no date), "obc_time", "source",
// "frame" (hexadecimal), then every channel by its name: numbers as numbers (the status
// word too), JOB ID as text. The line ends in LF.
void AppendJsonLine(std::string& out, const TelemetryRecord& record, std::string_view source, std::string_view frameHex);

// A packet of the archive: "rx_time" (its earliest reception), "obc_time", "frame",
// "receptions" (how often it was heard), "stations" (who heard it), then the channels given.
void AppendArchivedJsonLine(std::string& out, const TelemetryRecord& record, std::string_view frameHex, int receptions,
                            std::string_view stations, std::span<const int> channels);
