#pragma once

#include "archive/archive_writer.h"

#include <array>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

// The archive's rules, the same over every database engine: how receptions become packets
// and how the summaries follow them. An engine gives the statements; the rules call them.

// What an engine does for the rules, a statement each.
class MergeStatements {
public:
    // A packet of the same bytes the archive has: its id, and the times of its earliest and
    // latest reception.
    struct SamePacket {
        std::int64_t id = 0;
        std::int64_t timeMs = 0;
        std::int64_t lastMs = 0;
    };

    virtual ~MergeStatements() = default;
    // The packets with these bytes (and digest) that were heard within 10 minutes of the time,
    // earliest first: those whose receptions' span comes that near it.
    virtual QString FindSame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes, std::vector<SamePacket>& found) = 0;
    // A new frame, with the values decoded from it or none (a text beacon); its id.
    virtual QString InsertFrame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes,
                                const TelemetryRecord* telemetry, std::int64_t& id) = 0;
    // One more reception of a frame; added is false when the frame had it already.
    virtual QString InsertReception(std::int64_t frame, const Reception& reception, bool& added) = 0;
    // The frame's span of receptions widened to take in this time.
    virtual QString Widen(std::int64_t frame, std::int64_t timeMs) = 0;
    // The receptions of a packet go to another, whose span widens to take in theirs, and the
    // emptied packet leaves the archive.
    virtual QString Merge(std::int64_t into, const SamePacket& emptied) = 0;
};

// The summaries of a batch's packets, added up as they come and written at its end (or when
// many buckets are in hand): each level's buckets by their start, and the times packets left
// or reached, whose buckets are made anew.
class SummaryBuckets {
public:
    using Channels = std::array<ValueSummary, kChannelCount>;
    using AddBucket = std::function<QString(int level, std::int64_t start, const Channels& channels)>;
    using RemakeBuckets = std::function<QString(int level, const TimeRange& range)>;

    void Add(std::int64_t timeMs, const TelemetryRecord& record);
    void Moved(std::int64_t from, std::int64_t to);
    void Left(std::int64_t timeMs) { moved_.push_back(timeMs); }  // a packet merged into another
    bool full() const { return levels_[0].size() >= kInHand; }

    // Adds each bucket to the engine's, then remakes the moved ones level by level; forgets
    // them either way.
    QString Write(const AddBucket& add, const RemakeBuckets& remake);
    void Clear();

private:
    static constexpr std::size_t kInHand = 256;
    std::array<std::map<std::int64_t, Channels>, kSummaryLevels> levels_;
    std::vector<std::int64_t> moved_;
};

// Keeps one reception by the rules: a reception joins the packet of the same bytes that was
// heard within 10 minutes of it (of any of its receptions), and one that comes that near two
// packets joins them into one; so the packets are the same whatever the order receptions come
// in. A packet's time is its earliest reception. A telemetry frame's values are decoded into
// its row; a reception the archive has already changes nothing.
class ReceptionMerge {
public:
    QString Receive(MergeStatements& engine, const Reception& reception, Received& result);
    SummaryBuckets& summaries() { return summaries_; }

private:
    TelemetryRecord record_;  // decoded into, reused
    std::vector<MergeStatements::SamePacket> found_;
    SummaryBuckets summaries_;
};

// What an engine does for a rebuild, a statement each.
class RebuildStatements {
public:
    struct Frame {
        std::int64_t id = 0;
        std::string bytes;
    };

    virtual ~RebuildStatements() = default;
    // The frames after an id, by id, so many at most.
    virtual QString ReadFrames(std::int64_t afterId, std::size_t count, std::vector<Frame>& frames) = 0;
    // Each frame's on-board time and values set to those decoded from it (none: a text beacon).
    virtual QString WriteValues(std::span<const Frame> frames, std::span<const TelemetryRecord* const> values) = 0;
    // The summaries of a level's buckets that start in the range made anew from the packets.
    virtual QString RemakeSummaries(int level, const TimeRange& range) = 0;
};

// Decodes the values of every frame anew, a few thousand frames at a time, and then makes the
// summaries anew; inside the engine's transaction, which the caller ends.
QString DecodeArchiveAnew(RebuildStatements& engine);

// A digest of the bytes, eight at a time: frames of one time range with the same digest are
// compared whole, so it need only be quick and spread well.
std::int64_t Digest(std::string_view bytes);

