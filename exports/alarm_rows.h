#pragma once

#include "limits/limit_judge.h"

#include <string>

// The transitions of limits as rows, one a transition, as orca5-decode --alarms writes them:
// CSV "time;channel;state;previous;value;limit" (the time as the road has it, the numbers as the
// CSV export writes them, the limit the threshold crossed: empty for green and for the
// satellite, "*"), lines ended by CR LF; or a line of JSON each with the same keys (the time in
// ISO 8601, null where the CSV is empty).
const std::string& AlarmCsvHeading();
void AppendAlarmCsvRow(std::string& out, const LimitTransition& transition, char decimalSeparator);
void AppendAlarmJsonLine(std::string& out, const LimitTransition& transition);

// "Battery 1 Volt", or "*" for the satellite.
std::string_view TransitionChannelName(const LimitTransition& transition);
