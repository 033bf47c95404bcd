#pragma once

#include "telemetry/channel_names.h"

#include <functional>
#include <string>
#include <string_view>

// The names the archive's tables give the channels, in every engine.

// What a channel's summaries are made of in SQL: its column, or for JOB ID, whose text holds no
// number, 0, as a summary made in memory takes it.
std::string SummaryValueOf(int channel);

// The pieces of SQL a function makes of each channel's column, in channel order.
std::string EachChannel(const std::function<std::string(const std::string& column, int channel)>& piece);
