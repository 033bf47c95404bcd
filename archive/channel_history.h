#pragma once

#include "archive/archive_reader.h"

#include <vector>

// One column of a channel's history: the telemetry packets of [fromMs, toMs).
struct HistoryColumn {
    std::int64_t fromMs = 0;
    std::int64_t toMs = 0;
    ValueSummary values;
};

// A channel over a time range in so many columns, one a pixel: the least, greatest and mean
// value of the packets of each, so that no excursion is lost at any zoom. Wherever a column
// spans at least two buckets of a summary level, the columns start at whole buckets of the
// longest such level (at most a quarter of a column off the exact division) and are read from
// its summaries; narrower columns are read from the packets, at their exact times.
QString ReadChannelHistory(ArchiveReader& store, int channel, const TimeRange& range, int columns,
                           std::vector<HistoryColumn>& history);

// The number of telemetry packets of each day (UTC) the range touches, days without packets
// included: of all, or those one station heard.
QString ReadPacketsPerDay(ArchiveReader& store, const TimeRange& range, std::vector<HistoryColumn>& days,
                          std::optional<std::string_view> station = std::nullopt);
