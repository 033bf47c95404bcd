#pragma once

#include "archive/reception_merge.h"

#include <deque>
#include <map>
#include <memory_resource>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

// What a writer's batch knows of the archive's frames near its receptions, and what it has yet
// to write. The database is asked for a stretch of frames at a time and written many rows a
// statement, instead of a statement (on a server, a round trip) for each step of each
// reception. It holds only while no other writer can change the frames: for one batch under
// the writers' lock.
//
// A batch reads tens of thousands of frames and forgets them all when it ends. Their bytes,
// their sources and the maps that find them live in one arena let go of at once: freeing them
// one by one cost more than reading them.
class BatchFrames {
public:
    // A reception is known by where it came from and the station that heard it: two stations
    // whose captures have the same name, or who hear live from the same address on their own
    // machines, heard the packet twice.
    struct Source {
        std::string_view name, station;
        const Source* next;
    };
    struct Frame {
        std::int64_t id = 0;
        std::int64_t timeMs = 0;
        std::int64_t lastMs = 0;  // its latest reception
        std::int64_t archivedMs = 0;  // its time as the archive has it
        std::int64_t digest = 0;
        std::string_view bytes;
        const Source* sources = nullptr;  // its receptions', each once: a few
        const TelemetryRecord* telemetry = nullptr;  // a new frame's values, to be written
        bool fresh = false;                          // not in the archive yet
    };
    struct NewReception {
        std::int64_t frame = 0;
        std::int64_t timeMs = 0;
        std::string_view source, station;
    };

    // The stretches of a length (an hour, a day) a search from `from` to `to` needs that the
    // batch has not read yet, by their start; the caller reads them and gives their frames to
    // InArchive, then marks each read.
    std::vector<std::int64_t> ToRead(std::int64_t from, std::int64_t to, std::int64_t length) const;
    void Read(std::int64_t start, std::int64_t length) { read_.emplace(length, Floor(start, length)); }
    // Where the stretches read from the one a time falls in end.
    std::int64_t ReadUntil(std::int64_t timeMs, std::int64_t length) const;
    void InArchive(std::int64_t id, std::int64_t timeMs, std::int64_t lastMs, std::int64_t digest, std::string_view bytes,
                   std::string_view source, std::string_view station);
    // One of its receptions, read apart from the frame, which widens the frame's span to take it
    // in: an archive may keep the span of a packet heard for under a minute short of its last.
    void HeardAt(std::int64_t id, std::string_view source, std::string_view station, std::int64_t timeMs);

    // The packets of these bytes heard within 10 minutes of the time, earliest first.
    void FindSame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes, std::vector<MergeStatements::SamePacket>& found) const;
    void Insert(std::int64_t id, std::int64_t timeMs, std::int64_t digest, std::string_view bytes, const TelemetryRecord* telemetry);
    bool AddReception(std::int64_t frame, const Reception& reception);
    void Widen(std::int64_t frame, std::int64_t timeMs);
    void Merge(std::int64_t into, std::int64_t emptied);

    // A known frame's span, widened; whether its time (its earliest reception) moved.
    struct Span {
        std::int64_t timeMs, lastMs;
        bool earlier;
    };
    // What is to be written: the new frames, the new receptions, the known frames' new spans,
    // the known frames emptied into others (the one emptied to the one kept).
    std::vector<const Frame*> Fresh() const;
    const std::vector<NewReception>& receptions() const { return receptions_; }
    const std::map<std::int64_t, Span>& widened() const { return widened_; }
    const std::vector<std::pair<std::int64_t, std::int64_t>>& merges() const { return merges_; }
    bool empty() const { return fresh_ == 0 && receptions_.empty() && widened_.empty() && merges_.empty(); }
    void Written();  // in the archive now, inside the batch's transaction

    void Clear();

private:
    // The stretch of the length a time falls in, counted from 1970.
    static std::int64_t Floor(std::int64_t timeMs, std::int64_t length);

    std::string_view Keep(std::string_view text);  // a copy in the arena
    void Forget(std::int64_t id);
    static bool Has(const Frame& frame, std::string_view source, std::string_view station);
    bool AddSource(Frame& frame, std::string_view source, std::string_view station);  // false when it had it

    std::pmr::monotonic_buffer_resource arena_;  // before all that lives in it
    // The maps that find the frames are made in the arena and let go of with it, never
    // destroyed: freeing their nodes one by one into an arena that frees nothing meant a walk
    // through tens of thousands of them, which cost a batch milliseconds.
    struct Maps {
        explicit Maps(std::pmr::memory_resource* arena) : frames(arena), ids(arena) {}
        std::pmr::unordered_map<std::int64_t, Frame> frames;         // by id
        std::pmr::unordered_multimap<std::int64_t, Frame*> ids;  // by digest (a map's nodes stay put)
    };
    Maps* maps_ = MakeMaps(0);
    Maps* MakeMaps(std::size_t frames);
    std::set<std::pair<std::int64_t, std::int64_t>> read_;  // by length and stretch
    std::size_t fresh_ = 0;
    // the new frames' values, kept from batch to batch so that their texts keep their room
    std::deque<TelemetryRecord> records_;
    std::size_t recordsInUse_ = 0;

    std::vector<NewReception> receptions_;
    std::map<std::int64_t, Span> widened_;  // by id
    std::vector<std::pair<std::int64_t, std::int64_t>> merges_;
    std::set<std::int64_t> emptied_;  // read again from the archive, they are not taken back
};
