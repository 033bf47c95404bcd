#pragma once

#include "telemetry/packet_store.h"

#include <string>
#include <string_view>

// One packet as a line of JSON, for scripts and notebooks: "rx_time" (ISO 8601 UTC with
// milliseconds and "Z"; null when the reception time is no date), "obc_time", "source",
// "frame" (hexadecimal), then every channel by its name: numbers as numbers (the status
// word too), JOB ID as text. The line ends in LF.
void AppendJsonLine(std::string& out, const TelemetryRecord& record, std::string_view source, std::string_view frameHex);
