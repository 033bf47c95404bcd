#pragma once

#include "telemetry/channel_table.h"

#include <span>
#include <string>
#include <string_view>

// Every channel, in channel order.
std::span<const int> AllChannels();

// A channel's name as a column or a field key (the archive's tables, InfluxDB's fields):
// lower case, "-" as "minus", "+" as "plus", any other run of characters that are not
// letters or digits as one "_" ("X- TRI Volt": x_minus_tri_volt).
std::string ChannelColumnName(std::string_view channelName);
std::string ColumnOf(int channel);
