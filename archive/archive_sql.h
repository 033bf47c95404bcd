#pragma once

#include "archive/archive_reader.h"
#include "archive/archive_schema.h"
#include "intake/frame_recognition.h"
#include "telemetry/time_stamps.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

// The SQL both engines run, built from what sets one engine's SQL apart from another's.

struct SqlDialect {
    std::string_view time;  // the column of a frame's earliest reception: "time_ms", "time"
    std::string (*milliseconds)(const std::string& column);    // a time column as UTC milliseconds
    std::string (*timeOf)(const std::string& parameter);       // a parameter of UTC milliseconds as a time
    char placeholder;                                          // of the parameters: '?' ("?1"), '$' ("$1")
    std::string_view integer, real, text;                      // the types of a count, a value and a text
    std::string_view least, greatest;                          // of two values
    std::string_view stations;  // an aggregate of a frame's receptions' stations, comma-separated, by source
    std::string_view bytewise;  // after a text in ORDER BY: its bytes' order, whatever the locale
    bool deletes;  // whether a writer deletes rows; a station on a server may not, so an emptied
                   // bucket stays with no packets
};

// The pieces of SQL a function makes of each channel's column (of a version), in channel order.
std::string EachChannel(const std::function<std::string(const std::string& column, int channel)>& piece,
                        std::span<const std::string_view> columns = ReleasedColumns(kArchiveSchemaVersion));

// What a channel's summaries are made of in SQL: its column, or for JOB ID, whose text holds no
// number, 0, as a summary made in memory takes it.
std::string SummaryValueOf(int channel);

// The summary table of a level: "summaries_30min".
std::string SummaryTable(int level);

class ArchiveSql {
public:
    explicit ArchiveSql(const SqlDialect& dialect) : d_(dialect) {}

    std::string Parameter(int number) const;

    // The schema: the channels' columns of a version (", packet REAL, ..."), and the summary
    // tables made and filled from the packets the archive has.
    std::string ChannelColumns(std::span<const std::string_view> columns) const;
    std::string SummaryTables(std::span<const std::string_view> columns) const;

    // Writing. The packets of a range (1 to 2, or all) summarized into a level's buckets, each
    // replaced whole: the finest level from the frames, each other from the level below.
    std::string Summarize(int level, bool ranged,
                          std::span<const std::string_view> columns = ReleasedColumns(kArchiveSchemaVersion)) const;
    // A bucket's summary (1 its start, 2 its packets, then each channel's least, greatest and
    // sum) added to the one the table has; the buckets that start in a range emptied.
    std::string AddSummary(int level) const;
    std::string ClearSummaries(int level) const;
    // A frame's on-board time and values (2 on) set anew, by its id (1); the frames after an id
    // (1), by id, so many (2) at a time.
    std::string Decoded() const;
    std::string FramesAfter() const;

    // Reading, each of a range (1 to 2), oldest first. Packets' rows: the time, then the on-board
    // time and the channels asked (from their columns), or else the bytes and, when asked, the
    // receptions, the stations and the first of them. Text beacons': the time, the bytes, the
    // receptions, the stations and the first.
    std::string Packets(const PacketQuery& query, bool fromColumns) const;
    std::string TextBeacons() const;
    std::string Summaries(int level, int channel) const;  // start, packets, least, greatest, sum
    std::string Values(int channel) const;                // time, value
    std::string PacketTime(std::string_view which) const; // "min" or "max", or NULL
    std::string CountPackets() const;
    // Receptions: the packet's id, the time, the station and 1 for telemetry (0 a text beacon),
    // by packet. A station's telemetry packets (3 the station) a day: the day's start, how many.
    std::string Receptions() const;
    std::string StationDays() const;
    std::string Stations() const;  // each named once, by name

private:
    std::string InRange(const std::string& column) const;
    std::string Heard() const;

    SqlDialect d_;
};

// A telemetry frame's fields in the order of the frames' columns from obc_time on: its on-board
// time, then each channel (JOB ID as its text); a text beacon's, which keeps no values, as NULLs.
template <typename Fields>
void EachRecordField(const TelemetryRecord* telemetry, Fields& fields) {
    if (!telemetry) {
        for (int i = 0; i <= kChannelCount; ++i) fields.Null();
        return;
    }
    fields.Text(telemetry->obcTime);
    for (int i = 0; i < kChannelCount; ++i) {
        if (i == kJobIdChannel)
            fields.Text(telemetry->jobIdText);
        else
            fields.Real(telemetry->values[static_cast<std::size_t>(i)]);
    }
}

// The stations a packet's receptions name, each once in the order first named:
// "N0CALL,N0CALL,DL1ABC" as "N0CALL,DL1ABC".
void AssignStations(std::string& stations, std::string_view listed);

// What a row of Packets or TextBeacons holds, read through an engine's row: Integer, Real, Text
// and Bytes of a column, counted from 0. A packet's row gives false when its bytes are no
// telemetry.
template <typename Row>
bool ReadPacketRow(const Row& row, const PacketQuery& query, bool fromColumns, ArchivedPacket& packet) {
    packet.timeMs = row.Integer(0);
    if (fromColumns) {
        packet.record.obcTime = row.Text(1);
        for (std::size_t k = 0; k < query.channels.size(); ++k) {
            const int channel = query.channels[k];
            const int column = 2 + static_cast<int>(k);
            if (channel == kJobIdChannel)
                packet.record.jobIdText = row.Text(column);
            else
                packet.record.values[static_cast<std::size_t>(channel)] = row.Real(column);
        }
    } else {
        packet.frame = row.Bytes(1);
        if (!DecodeTelemetryRecord(packet.frame, {}, packet.record)) return false;
        if (query.receptions) {
            packet.receptions = static_cast<int>(row.Integer(2));
            AssignStations(packet.stations, row.Text(3));
            packet.firstStation = row.Text(4);
        }
    }
    packet.record.rxTime = RxTimeTextOf(packet.timeMs);
    return true;
}

template <typename Row>
void ReadTextBeaconRow(const Row& row, ArchivedPacket& beacon) {
    beacon.timeMs = row.Integer(0);
    beacon.record.rxTime = RxTimeTextOf(beacon.timeMs);
    beacon.frame = row.Bytes(1);
    beacon.receptions = static_cast<int>(row.Integer(2));
    AssignStations(beacon.stations, row.Text(3));
    beacon.firstStation = row.Text(4);
}
