#pragma once

#include "archive/passes.h"
#include "telemetry/packet_store.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The mission archive: every frame of the satellite the station heard, kept once however often
// and from wherever it was heard, with each of its receptions, and the telemetry decoded from
// it. The raw frames are the master record; the decoded values beside them are derived.

// A packet of the archive, as it comes out.
struct ArchivedPacket {
    std::int64_t timeMs = 0;  // its earliest reception
    TelemetryRecord record;   // rxTime is the earliest reception's, " UTC" form
    int receptions = 0;
    std::string stations;     // the stations that heard it, comma-separated
    std::string firstStation; // the one of them that heard it first
    std::string frame;        // the bytes
};

// A time range, [from, to), in UTC milliseconds; either end may be open.
struct TimeRange {
    std::optional<std::int64_t> from;
    std::optional<std::int64_t> to;
};

// What to take out of the archive: a time range, the channels wanted, and whether how often
// and by whom each packet was heard.
struct PacketQuery {
    TimeRange range;
    std::span<const int> channels;  // the values wanted; the others may stay 0
    bool receptions = false;
    std::int64_t limit = 0;         // the first so many; 0: all
};

inline constexpr std::int64_t kHourMs = 60 * 60 * 1000;
inline constexpr std::int64_t kDayMs = 24 * kHourMs;

// Telemetry packets taken together: how many, and one channel's least, greatest and summed value.
struct ValueSummary {
    std::int64_t packets = 0;
    double minimum = 0, maximum = 0, sum = 0;

    void Add(const ValueSummary& other) {
        if (other.packets == 0) return;
        minimum = packets == 0 ? other.minimum : std::min(minimum, other.minimum);
        maximum = packets == 0 ? other.maximum : std::max(maximum, other.maximum);
        packets += other.packets;
        sum += other.sum;
    }
    void Add(double value) { Add({1, value, value, value}); }
    double mean() const { return sum / static_cast<double>(packets); }
};

// Kept with the archive as packets arrive, so that a channel over years is read from a few
// thousand rows rather than from every packet: a summary of each channel per bucket of each of
// these lengths, the buckets starting at whole multiples of their length since 1970.
inline constexpr std::int64_t kSummaryBucketMs[] = {kHourMs / 2, 3 * kHourMs, kDayMs};
inline constexpr int kSummaryLevels = static_cast<int>(std::size(kSummaryBucketMs));

// The start of the bucket of a level a time falls into.
inline std::int64_t SummaryBucketOf(std::int64_t timeMs, int level) {
    const std::int64_t length = kSummaryBucketMs[level];
    return timeMs / length * length;
}

// What an archive offers to read. A reader opened on its own connection sees what writers
// have committed.
class ArchiveReader {
public:
    virtual ~ArchiveReader() = default;

    // The telemetry packets of the query, oldest first; the text beacons of a range the same way.
    virtual QString ForEachPacket(const PacketQuery& query, const std::function<void(const ArchivedPacket&)>& take) = 0;
    virtual QString ForEachTextBeacon(const TimeRange& range, const std::function<void(const ArchivedPacket&)>& take) = 0;

    // One channel's summaries at a level, of the buckets that start in the range, oldest first.
    virtual QString ForEachSummary(int level, int channel, const TimeRange& range,
                                   const std::function<void(std::int64_t startMs, const ValueSummary&)>& take) = 0;
    // One channel's value of each telemetry packet of the range, oldest first.
    virtual QString ForEachValue(int channel, const TimeRange& range,
                                 const std::function<void(std::int64_t timeMs, double value)>& take) = 0;

    // The times of the oldest and the newest telemetry packet, if there is one; how many a
    // range holds.
    virtual std::optional<std::int64_t> OldestPacketTime() = 0;
    virtual std::optional<std::int64_t> NewestPacketTime() = 0;
    virtual std::int64_t CountPackets(const TimeRange& range) = 0;

    // The stations the receptions name, by name, the empty name left out.
    virtual QString Stations(std::vector<std::string>& stations) = 0;
    // Every reception of the range, a packet's together, the packets by their id.
    virtual QString ForEachReception(const TimeRange& range, const std::function<void(const HeardReception&)>& take) = 0;
    // How many telemetry packets one station heard, of each day that starts in the range, by
    // the packets' times; days without any left out.
    virtual QString ForEachStationDay(std::string_view station, const TimeRange& range,
                                      const std::function<void(std::int64_t dayMs, std::int64_t packets)>& take) = 0;

    // Whether the archive can no longer be reached (a server gone away), and reaching it again.
    virtual bool Lost() { return false; }
    virtual bool Reconnect() { return false; }

    // What messages call it: a file's path, a server's URL without its password.
    virtual QString name() const = 0;
};
