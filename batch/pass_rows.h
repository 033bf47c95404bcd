#pragma once

#include "archive/archive_reader.h"
#include "batch/batch_decode.h"
#include "orbit/pass_prediction.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What is asked of the archive's passes: orca5-decode's --from, --to, --station and --pass-gap.
struct PassQuery {
    TimeRange range;  // the passes that start in it; the stations over the receptions in it
    std::int64_t gapMs = kPassGapMs;
    std::optional<std::string> station;  // one station's rows
};

// One row a pass, by start and then station: CSV "station;start;end;packets;first_heard;only_here"
// (lines ending CR LF, as the CSV export's) or JSON lines of the same keys, the times as CSV
// writes them. Why the archive could not be
// read, or nothing.
QString WritePasses(ArchiveReader& archive, const PassQuery& query, RowFormat format, const std::function<void(std::string_view)>& write);

// One row a station, by name: "station;passes;packets;first_heard;only_here;first;last".
QString WriteStations(ArchiveReader& archive, const PassQuery& query, RowFormat format,
                      const std::function<void(std::string_view)>& write);

// One row a predicted pass, as --predict-passes writes them: CSV "aos;los;max_elevation;max_time"
// (the times as CSV writes them, the elevation in degrees with two decimals) or JSON lines of
// the same keys.
void WritePredictedPasses(const std::vector<PredictedPass>& passes, RowFormat format, const std::function<void(std::string_view)>& write);
