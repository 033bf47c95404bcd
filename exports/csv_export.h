#pragma once

#include "telemetry/channel_names.h"
#include "telemetry/program_state.h"

#include <span>
#include <string>

// The whole store for spreadsheets: a heading of "time" and the 52 channel names, then a
// line per packet of its reception time and values, every field followed by ";", lines
// ended by CR LF. Values in the general decimal form with the given decimal separator;
// the status word in decimal like the rest.
std::string CsvText(const ProgramState& state, char decimalSeparator);

// The heading line, line end included: every CSV export begins with it.
const std::string& CsvHeading();

// One packet's line, line end included.
void AppendCsvRow(std::string& out, const TelemetryRecord& record, char decimalSeparator);

// The same of some channels, in the order given.
std::string CsvHeading(std::span<const int> channels);
void AppendCsvRow(std::string& out, const TelemetryRecord& record, char decimalSeparator, std::span<const int> channels);
