#pragma once

#include "telemetry/channel_table.h"

#include <functional>
#include <string>
#include <string_view>

// The names the archive's tables give the channels, in every engine.

// The SQL name of a channel's column: lower case, "-" as "minus", "+" as "plus", any other
// run of characters that are not letters or digits as one "_" ("X- TRI Volt": x_minus_tri_volt).
std::string ArchiveColumnName(std::string_view channelName);
std::string ColumnOf(int channel);

// What a channel's summaries are made of in SQL: its column, or for JOB ID, whose text holds no
// number, 0, as a summary made in memory takes it.
std::string SummaryValueOf(int channel);

// The pieces of SQL a function makes of each channel's column, in channel order.
std::string EachChannel(const std::function<std::string(const std::string& column, int channel)>& piece);
