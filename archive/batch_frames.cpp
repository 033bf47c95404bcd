#include "archive/batch_frames.h"

#include <algorithm>

std::int64_t BatchFrames::HourOf(std::int64_t timeMs) { return (timeMs >= 0 ? timeMs : timeMs - kHourMs + 1) / kHourMs; }

std::vector<std::int64_t> BatchFrames::HoursToRead(std::int64_t from, std::int64_t to) const {
    std::vector<std::int64_t> hours;
    for (std::int64_t hour = HourOf(from); hour <= HourOf(to); ++hour)
        if (!readHours_.contains(hour)) hours.push_back(hour * kHourMs);
    return hours;
}

void BatchFrames::OnServer(std::int64_t id, std::int64_t timeMs, std::int64_t digest, std::string_view bytes, std::string_view source) {
    auto [at, added] = frames_.try_emplace(id);
    Frame& frame = at->second;
    if (added) {
        frame = {id, timeMs, digest, std::string(bytes), {}, std::nullopt, false};
        ids_.emplace(digest, id);
    }
    if (!source.empty()) frame.sources.emplace(source);
}

MergeStatements::Known BatchFrames::FindSame(std::int64_t from, std::int64_t to, std::int64_t digest, std::string_view bytes) const {
    MergeStatements::Known earliest;
    const auto [first, last] = ids_.equal_range(digest);
    for (auto it = first; it != last; ++it) {
        const Frame& frame = frames_.at(it->second);
        if (frame.timeMs < from || frame.timeMs > to || frame.bytes != bytes) continue;
        if (earliest.id == 0 || frame.timeMs < earliest.timeMs || (frame.timeMs == earliest.timeMs && frame.id < earliest.id))
            earliest = {frame.id, frame.timeMs};
    }
    return earliest;
}

void BatchFrames::Insert(std::int64_t id, std::int64_t timeMs, std::int64_t digest, std::string_view bytes,
                         const TelemetryRecord* telemetry) {
    OnServer(id, timeMs, digest, bytes, {});
    Frame& frame = frames_.at(id);
    frame.fresh = true;
    if (telemetry) frame.telemetry = *telemetry;
    ++fresh_;
}

bool BatchFrames::AddReception(std::int64_t id, const Reception& reception) {
    Frame& frame = frames_.at(id);
    if (!frame.sources.emplace(reception.source).second) return false;
    receptions_.push_back({id, reception.timeMs, std::string(reception.source), std::string(reception.station)});
    return true;
}

void BatchFrames::MoveEarlier(std::int64_t id, std::int64_t timeMs) {
    Frame& frame = frames_.at(id);
    if (timeMs >= frame.timeMs) return;
    frame.timeMs = timeMs;
    if (!frame.fresh) moves_[id] = timeMs;
}

std::vector<const BatchFrames::Frame*> BatchFrames::Fresh() const {
    std::vector<const Frame*> fresh;
    for (const auto& [id, frame] : frames_)
        if (frame.fresh) fresh.push_back(&frame);
    std::sort(fresh.begin(), fresh.end(), [](const Frame* a, const Frame* b) { return a->id < b->id; });
    return fresh;
}

void BatchFrames::Written() {
    for (auto& [id, frame] : frames_) {
        frame.fresh = false;
        frame.telemetry.reset();
    }
    fresh_ = 0;
    receptions_.clear();
    moves_.clear();
}

void BatchFrames::Clear() {
    frames_.clear();
    ids_.clear();
    readHours_.clear();
    fresh_ = 0;
    receptions_.clear();
    moves_.clear();
}
