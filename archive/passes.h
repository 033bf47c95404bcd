#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Passes and stations, made from the archive's receptions. A station's receptions in time
// order make its passes: one more than the gap after the station's previous reception opens
// a new one. A reception without a station is station "". Counts are of telemetry packets,
// each once however often it was heard; text beacons open and extend passes but are not
// counted.

inline constexpr std::int64_t kPassGapMs = 15 * 60 * 1000;

// One reception as the archive lists it: by packet, a packet's receptions together.
struct HeardReception {
    std::int64_t frame = 0;   // the packet's id in the archive
    std::int64_t timeMs = 0;
    std::string_view station;
    bool telemetry = false;   // else a text beacon
};

struct Pass {
    std::string station;
    std::int64_t startMs = 0, endMs = 0;  // its first and last reception
    std::int64_t packets = 0;     // received in it
    std::int64_t firstHeard = 0;  // ... whose earliest reception of all stations is in it
    std::int64_t onlyHere = 0;    // ... that no other station received
};

struct StationRecord {
    std::string station;
    std::int64_t passes = 0, packets = 0, firstHeard = 0, onlyHere = 0;
    std::int64_t firstMs = 0, lastMs = 0;  // its first and last reception
};

struct StationActivity {
    std::vector<Pass> passes;             // by start, then station
    std::vector<StationRecord> stations;  // by name
};

// Takes receptions packet by packet and makes the passes and stations of them all. Of a
// packet's earliest receptions, the station first by name heard it first.
class PassMaker {
public:
    explicit PassMaker(std::int64_t gapMs = kPassGapMs) : gapMs_(gapMs) {}

    void Add(const HeardReception& reception);
    StationActivity Finish();

private:
    // a reception as kept until the end: 16 bytes, for ten million of them
    struct Heard {
        std::int64_t timeMs;
        std::uint32_t station;
        std::uint32_t packet;  // the packet's number here, its flags in the top bits
    };
    struct Member {
        std::uint32_t station;
        std::int64_t timeMs;
    };

    std::uint32_t StationOf(std::string_view name);
    void EndPacket();
    void MakePasses(std::vector<StationRecord>& records, std::vector<Pass>& passes);

    std::int64_t gapMs_;
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::uint32_t> numbers_;
    std::uint32_t lastStation_ = 0;
    std::vector<Heard> heard_;
    std::vector<StationRecord> records_;  // by station number: the packets' counts
    // the packet being read
    std::int64_t frame_ = -1;
    bool telemetry_ = false;
    std::vector<Member> members_;
    std::uint32_t packets_ = 0;
};
