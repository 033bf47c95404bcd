#pragma once

#include "archive/archive_sql.h"
#include "archive/archive_writer.h"
#include "archive/reception_merge.h"

// What an archive on an SQL engine does the same on every engine. It reads: each query of the
// archive's SQL run through the engine's ForEachRow(sql, range, take), which binds the range's
// bounds as the parameters 1 and 2 and hands each row of the answer to take. It keeps receptions
// by the rules of the merge, in batches the engine begins (BeginBatch) and ends, writing what a
// batch gathered in memory (WriteGathered) as it goes; and it rebuilds in one batch (BeginRebuild).
// The engine gives the statements (merging(), rebuilding()) and how it connects. Its source includes sql_archive_reading.h
// and instantiates this for itself.
template <typename Engine>
class SqlArchive : public ArchiveWriter {
public:
    explicit SqlArchive(const ArchiveSql& sql) : sql_(sql) {}

    QString ForEachPacket(const PacketQuery& query, const std::function<void(const ArchivedPacket&)>& take) final;
    QString ForEachTextBeacon(const TimeRange& range, const std::function<void(const ArchivedPacket&)>& take) final;
    QString ForEachSummary(int level, int channel, const TimeRange& range,
                           const std::function<void(std::int64_t startMs, const ValueSummary&)>& take) final;
    QString ForEachValue(int channel, const TimeRange& range, const std::function<void(std::int64_t timeMs, double value)>& take) final;
    std::optional<std::int64_t> OldestPacketTime() final { return PacketTime("min"); }
    std::optional<std::int64_t> NewestPacketTime() final { return PacketTime("max"); }
    std::int64_t CountPackets(const TimeRange& range) final;
    QString Stations(std::vector<std::string>& stations) final;
    QString ForEachReception(const TimeRange& range, const std::function<void(const HeardReception&)>& take) final;
    QString ForEachStationDay(std::string_view station, const TimeRange& range,
                              const std::function<void(std::int64_t dayMs, std::int64_t packets)>& take) final;

    QString Receive(const Reception& reception, Received& result) final;
    QString Rebuild() final;

protected:
    ReceptionMerge merge_;

private:
    Engine& engine() { return static_cast<Engine&>(*this); }
    std::optional<std::int64_t> PacketTime(std::string_view which);

    const ArchiveSql& sql_;
};
