#include "archive/batch_frames.h"

#include <algorithm>
#include <cstring>

std::int64_t BatchFrames::Floor(std::int64_t timeMs, std::int64_t length) { return (timeMs >= 0 ? timeMs : timeMs - length + 1) / length; }

std::vector<std::int64_t> BatchFrames::ToRead(std::int64_t from, std::int64_t to, std::int64_t length) const {
    std::vector<std::int64_t> starts;
    for (std::int64_t k = Floor(from, length); k <= Floor(to, length); ++k)
        if (!read_.contains({length, k})) starts.push_back(k * length);
    return starts;
}

std::int64_t BatchFrames::ReadUntil(std::int64_t timeMs, std::int64_t length) const {
    std::int64_t k = Floor(timeMs, length);
    while (read_.contains({length, k})) ++k;
    return k * length;
}

void BatchFrames::InArchive(std::int64_t id, std::int64_t timeMs, std::int64_t lastMs, std::int64_t digest, std::string_view bytes,
                           std::string_view source, std::string_view station) {
    if (emptied_.contains(id)) return;
    auto [at, added] = maps_->frames.try_emplace(id);
    Frame& frame = at->second;
    if (added) {
        frame = {id, timeMs, lastMs, timeMs, digest, Keep(bytes), nullptr, nullptr, false};
        maps_->ids.emplace(digest, &frame);
    }
    if (!source.empty()) AddSource(frame, source, station);
}

void BatchFrames::HeardAt(std::int64_t id, std::string_view source, std::string_view station, std::int64_t timeMs) {
    const auto at = maps_->frames.find(id);
    if (at == maps_->frames.end()) return;  // emptied into another
    AddSource(at->second, source, station);
    at->second.lastMs = std::max(at->second.lastMs, timeMs);
}

void BatchFrames::FindSame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes,
                           std::vector<MergeStatements::SamePacket>& found) const {
    found.clear();
    const auto [first, last] = maps_->ids.equal_range(digest);
    for (auto it = first; it != last; ++it) {
        const Frame& frame = *it->second;
        if (frame.timeMs > timeMs + kSameTransmissionMs || frame.lastMs < timeMs - kSameTransmissionMs || frame.bytes != bytes) continue;
        found.push_back({frame.id, frame.timeMs, frame.lastMs});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return std::pair(a.timeMs, a.id) < std::pair(b.timeMs, b.id); });
}

void BatchFrames::Insert(std::int64_t id, std::int64_t timeMs, std::int64_t digest, std::string_view bytes,
                         const TelemetryRecord* telemetry) {
    InArchive(id, timeMs, timeMs, digest, bytes, {}, {});
    Frame& frame = maps_->frames.at(id);
    frame.fresh = true;
    if (telemetry) {
        if (recordsInUse_ == records_.size()) records_.emplace_back();
        TelemetryRecord& record = records_[recordsInUse_++];
        record = *telemetry;
        frame.telemetry = &record;
    }
    ++fresh_;
}

bool BatchFrames::AddReception(std::int64_t id, const Reception& reception) {
    Frame& frame = maps_->frames.at(id);
    if (!AddSource(frame, reception.source, reception.station)) return false;
    receptions_.push_back({id, reception.timeMs, Keep(reception.source), Keep(reception.station)});
    return true;
}

void BatchFrames::Widen(std::int64_t id, std::int64_t timeMs) {
    Frame& frame = maps_->frames.at(id);
    if (timeMs >= frame.timeMs && timeMs <= frame.lastMs) return;
    frame.timeMs = std::min(frame.timeMs, timeMs);
    frame.lastMs = std::max(frame.lastMs, timeMs);
    if (!frame.fresh) widened_[id] = {frame.timeMs, frame.lastMs, frame.timeMs < frame.archivedMs};
}

void BatchFrames::Merge(std::int64_t into, std::int64_t emptied) {
    Frame& kept = maps_->frames.at(into);
    const Frame& gone = maps_->frames.at(emptied);
    Widen(into, gone.timeMs);
    Widen(into, gone.lastMs);
    // its new receptions go with it, but for those the kept one has already
    std::erase_if(receptions_, [&](const NewReception& reception) {
        return reception.frame == emptied && Has(kept, reception.source, reception.station);
    });
    for (NewReception& reception : receptions_)
        if (reception.frame == emptied) reception.frame = into;
    for (const Source* source = gone.sources; source; source = source->next) AddSource(kept, source->name, source->station);
    if (gone.fresh) {
        --fresh_;  // never written: nothing of it is in the archive
    } else {
        merges_.emplace_back(emptied, into);
        widened_.erase(emptied);
        emptied_.insert(emptied);
    }
    Forget(emptied);
}

bool BatchFrames::Has(const Frame& frame, std::string_view source, std::string_view station) {
    for (const Source* known = frame.sources; known; known = known->next)
        if (known->name == source && known->station == station) return true;
    return false;
}

bool BatchFrames::AddSource(Frame& frame, std::string_view source, std::string_view station) {
    if (Has(frame, source, station)) return false;
    frame.sources = new (arena_.allocate(sizeof(Source), alignof(Source))) Source{Keep(source), Keep(station), frame.sources};
    return true;
}

std::string_view BatchFrames::Keep(std::string_view text) {
    if (text.empty()) return {};
    char* copy = static_cast<char*>(arena_.allocate(text.size(), 1));
    std::memcpy(copy, text.data(), text.size());
    return {copy, text.size()};
}

void BatchFrames::Forget(std::int64_t id) {
    const Frame* frame = &maps_->frames.at(id);
    const auto [first, last] = maps_->ids.equal_range(frame->digest);
    for (auto it = first; it != last; ++it)
        if (it->second == frame) {
            maps_->ids.erase(it);
            break;
        }
    maps_->frames.erase(id);
}

std::vector<const BatchFrames::Frame*> BatchFrames::Fresh() const {
    std::vector<const Frame*> fresh;
    for (const auto& [id, frame] : maps_->frames)
        if (frame.fresh) fresh.push_back(&frame);
    std::sort(fresh.begin(), fresh.end(), [](const Frame* a, const Frame* b) { return a->id < b->id; });
    return fresh;
}

void BatchFrames::Written() {
    for (auto& [id, frame] : maps_->frames) {
        frame.fresh = false;
        frame.telemetry = nullptr;
    }
    fresh_ = 0;
    recordsInUse_ = 0;
    receptions_.clear();
    widened_.clear();
    merges_.clear();
}

BatchFrames::Maps* BatchFrames::MakeMaps(std::size_t frames) {
    Maps* maps = new (arena_.allocate(sizeof(Maps), alignof(Maps))) Maps(&arena_);
    maps->frames.reserve(frames);
    maps->ids.reserve(frames);
    return maps;
}

// A batch is most often like the one before: its maps start as large, and are not made again
// and again as they grow.
void BatchFrames::Clear() {
    const std::size_t frames = maps_->frames.size();
    arena_.release();
    maps_ = MakeMaps(frames);
    receptions_.clear();
    read_.clear();
    fresh_ = 0;
    recordsInUse_ = 0;
    widened_.clear();
    merges_.clear();
    emptied_.clear();
}
