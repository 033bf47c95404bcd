#include "archive/station_activity.h"

QString ReadStationActivity(ArchiveReader& archive, const TimeRange& receptions, std::int64_t gapMs, StationActivity& activity) {
    PassMaker maker(gapMs);
    const QString error = archive.ForEachReception(receptions, [&](const HeardReception& reception) { maker.Add(reception); });
    activity = maker.Finish();
    return error;
}
