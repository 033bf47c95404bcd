#include "archive/reception_merge.h"

#include "intake/frame_recognition.h"

#include <algorithm>
#include <cstring>
#include <utility>

void SummaryBuckets::Add(std::int64_t timeMs, const TelemetryRecord& record) {
    for (int level = 0; level < kSummaryLevels; ++level) {
        Channels& bucket = levels_[static_cast<std::size_t>(level)][SummaryBucketOf(timeMs, level)];
        for (int i = 0; i < kChannelCount; ++i) bucket[static_cast<std::size_t>(i)].Add(record.values[static_cast<std::size_t>(i)]);
    }
}

void SummaryBuckets::Moved(std::int64_t from, std::int64_t to) {
    if (SummaryBucketOf(from, 0) != SummaryBucketOf(to, 0)) moved_.insert(moved_.end(), {from, to});
}

QString SummaryBuckets::Write(const AddBucket& add, const RemakeBuckets& remake) {
    auto levels = std::exchange(levels_, {});
    for (int level = 0; level < kSummaryLevels; ++level)
        for (const auto& [start, channels] : levels[static_cast<std::size_t>(level)])
            if (QString error = add(level, start, channels); !error.isEmpty()) return error;
    for (const std::int64_t time : std::exchange(moved_, {}))
        for (int level = 0; level < kSummaryLevels; ++level) {
            const std::int64_t start = SummaryBucketOf(time, level);
            if (QString error = remake(level, {start, start + kSummaryBucketMs[level]}); !error.isEmpty()) return error;
        }
    return {};
}

void SummaryBuckets::Clear() {
    for (auto& level : levels_) level.clear();
    moved_.clear();
}

QString ReceptionMerge::Receive(MergeStatements& engine, const Reception& reception, Received& result) {
    const std::int64_t digest = Digest(reception.frame);
    if (QString error = engine.FindSame(reception.timeMs, digest, reception.frame, found_); !error.isEmpty()) return error;
    if (found_.empty()) {
        std::int64_t id = 0;
        const bool telemetry = DecodeTelemetryRecord(reception.frame, {}, record_);
        if (QString error = engine.InsertFrame(reception.timeMs, digest, reception.frame, telemetry ? &record_ : nullptr, id);
            !error.isEmpty())
            return error;
        if (telemetry) summaries_.Add(reception.timeMs, record_);
        bool added = false;
        result = Received::New;
        return engine.InsertReception(id, reception, added);
    }
    // the earliest keeps the receptions of those the new one joins it with
    const MergeStatements::SamePacket kept = found_.front();
    for (auto other = found_.begin() + 1; other != found_.end(); ++other) {
        if (QString error = engine.Merge(kept.id, *other); !error.isEmpty()) return error;
        summaries_.Left(other->timeMs);
    }
    bool added = false;
    if (QString error = engine.InsertReception(kept.id, reception, added); !error.isEmpty()) return error;
    result = added ? Received::HeardAgain : Received::AlreadyArchived;
    // one that joins two lies between them; one before or after the packet widens it
    if (reception.timeMs >= kept.timeMs && reception.timeMs <= kept.lastMs) return {};
    if (reception.timeMs < kept.timeMs) summaries_.Moved(kept.timeMs, reception.timeMs);  // its time is its earliest reception
    return engine.Widen(kept.id, reception.timeMs);
}

QString DecodeArchiveAnew(RebuildStatements& engine) {
    constexpr std::size_t kFramesAtOnce = 10000;
    std::vector<RebuildStatements::Frame> frames;
    std::vector<TelemetryRecord> records(kFramesAtOnce);
    std::vector<const TelemetryRecord*> values;
    for (std::int64_t after = 0;;) {
        if (QString error = engine.ReadFrames(after, kFramesAtOnce, frames); !error.isEmpty()) return error;
        if (frames.empty()) break;
        values.clear();
        for (std::size_t i = 0; i < frames.size(); ++i)
            values.push_back(DecodeTelemetryRecord(frames[i].bytes, {}, records[i]) ? &records[i] : nullptr);
        if (QString error = engine.WriteValues(frames, values); !error.isEmpty()) return error;
        if (frames.size() < kFramesAtOnce) break;
        after = frames.back().id;
    }
    for (int level = 0; level < kSummaryLevels; ++level)
        if (QString error = engine.RemakeSummaries(level, {}); !error.isEmpty()) return error;
    return {};
}

std::int64_t Digest(std::string_view bytes) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ bytes.size();
    const auto mix = [&hash](std::uint64_t word) {
        hash = (hash ^ word) * 0xBF58476D1CE4E5B9ull;
        hash ^= hash >> 31;
    };
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        mix(word);
    }
    std::uint64_t rest = 0;
    std::memcpy(&rest, bytes.data() + at, bytes.size() - at);
    mix(rest);
    return static_cast<std::int64_t>(hash);
}
