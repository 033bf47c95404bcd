#pragma once

#include "archive/archive_reader.h"

// The passes and stations of the archive's receptions in a range, made as the passes' rules
// say. Why the archive could not be read, or nothing.
QString ReadStationActivity(ArchiveReader& archive, const TimeRange& receptions, std::int64_t gapMs, StationActivity& activity);
