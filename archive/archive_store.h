#pragma once

#include "telemetry/packet_store.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The mission archive: every frame of the satellite the station heard, kept once however often
// and from wherever it was heard, with each of its receptions, and the telemetry decoded from
// it. The raw frames are the master record; the decoded values beside them are derived.

// One reception of a satellite frame.
struct Reception {
    std::string_view frame;   // the bytes as received
    std::int64_t timeMs = 0;  // UTC, milliseconds since 1970
    std::string_view source;  // "pass.kss#12", "export.csv:40", "live 127.0.0.1:8001"
    std::string_view station; // the receiving station's callsign, or nothing
};

// What one reception did to the archive.
enum class Received {
    New,         // a transmission the archive did not have
    HeardAgain,  // the same bytes within 10 minutes: one more reception of a packet it had
    Known,       // this very reception was in the archive already (a file read again)
};

// A packet of the archive, as it comes out.
struct ArchivedPacket {
    std::int64_t timeMs = 0;  // its earliest reception
    TelemetryRecord record;   // rxTime is the earliest reception's, " UTC" form
    int receptions = 0;
    std::string stations;     // the stations that heard it, comma-separated
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

// The same transmission heard again within this time is one packet.
inline constexpr std::int64_t kSameTransmissionMs = 10 * 60 * 1000;

class ArchiveStore {
public:
    virtual ~ArchiveStore() = default;

    // Keeps one reception; telemetry is decoded into the wide table as it comes. Writes gather in
    // a batch that Commit ends. Why it could not, or nothing.
    virtual QString Receive(const Reception& reception, Received& result) = 0;
    virtual QString Commit() = 0;

    // The telemetry packets of the query, oldest first; the text beacons of a range the same way.
    virtual QString ForEachPacket(const PacketQuery& query, const std::function<void(const ArchivedPacket&)>& take) = 0;
    virtual QString ForEachTextBeacon(const TimeRange& range, const std::function<void(const ArchivedPacket&)>& take) = 0;

    // The time of the newest telemetry packet, if there is one; how many a range holds.
    virtual std::optional<std::int64_t> NewestPacketTime() = 0;
    virtual std::int64_t CountPackets(const TimeRange& range) = 0;

    // Decodes the wide table anew from the raw frames, after a decoder fix.
    virtual QString Rebuild() = 0;
};
