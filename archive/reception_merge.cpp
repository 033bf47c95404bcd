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
    // an earlier reception of the same transmission is near it in time
    const std::int64_t digest = Digest(reception.frame);
    MergeStatements::Known known;
    if (QString error = engine.FindSame(reception.timeMs - kSameTransmissionMs, reception.timeMs + kSameTransmissionMs, digest,
                                        reception.frame, known);
        !error.isEmpty())
        return error;
    std::int64_t id = known.id;
    if (id == 0) {
        const bool telemetry = DecodeTelemetryRecord(reception.frame, {}, record_);
        if (QString error = engine.InsertFrame(reception.timeMs, digest, reception.frame, telemetry ? &record_ : nullptr, id);
            !error.isEmpty())
            return error;
        if (telemetry) summaries_.Add(reception.timeMs, record_);
    }
    bool added = false;
    if (QString error = engine.InsertReception(id, reception, added); !error.isEmpty()) return error;
    result = known.id == 0 ? Received::New : added ? Received::HeardAgain : Received::Known;
    if (result != Received::HeardAgain || reception.timeMs >= known.timeMs) return {};
    // the packet's time is its earliest reception
    summaries_.Moved(known.timeMs, reception.timeMs);
    return engine.MoveEarlier(id, reception.timeMs);
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

void AssignStations(std::string& stations, std::string_view listed) {
    std::vector<std::string_view> seen;
    stations.clear();
    for (std::size_t start = 0; start < listed.size();) {
        const std::size_t end = std::min(listed.find(',', start), listed.size());
        const std::string_view station = listed.substr(start, end - start);
        start = end + 1;
        if (std::find(seen.begin(), seen.end(), station) != seen.end()) continue;
        seen.push_back(station);
        if (!stations.empty()) stations += ',';
        stations.append(station);
    }
}
