#pragma once

// What SqlArchive does, for the engines' sources alone: it reads their rows.
#include "archive/sql_archive.h"

template <typename Engine>
QString SqlArchive<Engine>::ForEachPacket(const PacketQuery& query, const std::function<void(const ArchivedPacket&)>& take) {
    // a few channels are read from their columns; more come from the raw frames, decoded as
    // they are read: one column read where the table's would be many, and the same values
    constexpr std::size_t kColumnsAtMost = 4;
    const bool fromColumns = query.channels.size() <= kColumnsAtMost && !query.receptions;
    ArchivedPacket packet;
    return engine().ForEachRow(sql_.Packets(query, fromColumns), query.range, [&](const auto& row) {
        if (ReadPacketRow(row, query, fromColumns, packet)) take(packet);
    });
}

template <typename Engine>
QString SqlArchive<Engine>::ForEachTextBeacon(const TimeRange& range, const std::function<void(const ArchivedPacket&)>& take) {
    ArchivedPacket beacon;
    return engine().ForEachRow(sql_.TextBeacons(), range, [&](const auto& row) {
        ReadTextBeaconRow(row, beacon);
        take(beacon);
    });
}

template <typename Engine>
QString SqlArchive<Engine>::ForEachSummary(int level, int channel, const TimeRange& range,
                                           const std::function<void(std::int64_t, const ValueSummary&)>& take) {
    return engine().ForEachRow(sql_.Summaries(level, channel), range, [&](const auto& row) {
        take(row.Integer(0), {row.Integer(1), row.Real(2), row.Real(3), row.Real(4)});
    });
}

template <typename Engine>
QString SqlArchive<Engine>::ForEachValue(int channel, const TimeRange& range, const std::function<void(std::int64_t, double)>& take) {
    return engine().ForEachRow(sql_.Values(channel), range, [&](const auto& row) { take(row.Integer(0), row.Real(1)); });
}

template <typename Engine>
std::int64_t SqlArchive<Engine>::CountPackets(const TimeRange& range) {
    std::int64_t count = 0;
    engine().ForEachRow(sql_.CountPackets(), range, [&](const auto& row) { count = row.Integer(0); });
    return count;
}

template <typename Engine>
QString SqlArchive<Engine>::Stations(std::vector<std::string>& stations) {
    stations.clear();
    return engine().ForEachRow(sql_.Stations(), {},
                               [&](const auto& row) { stations.emplace_back(row.Text(0)); });
}

template <typename Engine>
QString SqlArchive<Engine>::ForEachReception(const TimeRange& range, const std::function<void(const HeardReception&)>& take) {
    return engine().ForEachRow(sql_.Receptions(), range, [&](const auto& row) {
        take({row.Integer(0), row.Integer(1), row.Text(2), row.Integer(3) != 0});
    });
}

template <typename Engine>
QString SqlArchive<Engine>::ForEachStationDay(std::string_view station, const TimeRange& range,
                                              const std::function<void(std::int64_t, std::int64_t)>& take) {
    return engine().ForEachRow(sql_.StationDays(), range, [&](const auto& row) { take(row.Integer(0), row.Integer(1)); }, station);
}

template <typename Engine>
std::optional<std::int64_t> SqlArchive<Engine>::PacketTime(std::string_view which) {
    std::optional<std::int64_t> time;
    engine().ForEachRow(sql_.PacketTime(which), {}, [&](const auto& row) {
        if (!row.Null(0)) time = row.Integer(0);
    });
    return time;
}

template <typename Engine>
QString SqlArchive<Engine>::Receive(const Reception& reception, Received& result) {
    if (QString error = engine().BeginBatch(); !error.isEmpty()) return error;
    QString error = merge_.Receive(engine().merging(), reception, result);
    // a batch of scattered packets writes its summaries as it goes, not all at the end
    if (error.isEmpty() && merge_.summaries().full()) error = engine().WriteGathered();
    return error;
}

template <typename Engine>
QString SqlArchive<Engine>::Rebuild() {
    if (QString error = Commit(); !error.isEmpty()) return error;
    QString error = engine().BeginRebuild();
    if (error.isEmpty()) error = DecodeArchiveAnew(engine().rebuilding());
    if (!error.isEmpty()) {
        Rollback();  // the values stay as they were
        return error;
    }
    return Commit();
}
