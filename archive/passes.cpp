#include "archive/passes.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace {

constexpr std::uint32_t kTelemetry = 1u << 31;
constexpr std::uint32_t kFirst = 1u << 30;     // the packet's earliest reception
constexpr std::uint32_t kOnlyHere = 1u << 29;  // one station heard the packet
constexpr std::uint32_t kPacketNumber = kOnlyHere - 1;

}  // namespace

std::uint32_t PassMaker::StationOf(std::string_view name) {
    // the receptions of a packet, and of packets in a row, are mostly of one station
    if (!names_.empty() && names_[lastStation_] == name) return lastStation_;
    auto [at, added] = numbers_.try_emplace(std::string(name), static_cast<std::uint32_t>(names_.size()));
    if (added) {
        names_.emplace_back(name);
        records_.emplace_back();
    }
    return lastStation_ = at->second;
}

void PassMaker::Add(const HeardReception& reception) {
    if (reception.frame != frame_) {
        EndPacket();
        frame_ = reception.frame;
        telemetry_ = reception.telemetry;
    }
    members_.push_back({StationOf(reception.station), reception.timeMs});
}

void PassMaker::EndPacket() {
    if (members_.empty()) return;
    const auto earliest = std::min_element(members_.begin(), members_.end(), [&](const Member& a, const Member& b) {
        return std::tie(a.timeMs, names_[a.station]) < std::tie(b.timeMs, names_[b.station]);
    });
    const std::uint32_t station = earliest->station;
    const bool alone = std::all_of(members_.begin(), members_.end(), [&](const Member& m) { return m.station == station; });
    const std::uint32_t flags = (packets_++ & kPacketNumber) | (telemetry_ ? kTelemetry : 0) | (alone ? kOnlyHere : 0);
    for (const Member& member : members_)
        heard_.push_back({member.timeMs, member.station, flags | (&member == &*earliest ? kFirst : 0)});

    if (telemetry_) {
        records_[station].firstHeard += 1;
        records_[station].onlyHere += alone ? 1 : 0;
        // each station that heard it, once
        for (auto m = members_.begin(); m != members_.end(); ++m)
            if (std::none_of(members_.begin(), m, [&](const Member& before) { return before.station == m->station; }))
                records_[m->station].packets += 1;
    }
    members_.clear();
}

// One station's receptions at a time, in time order: a pass ends where the gap opens.
void PassMaker::MakePasses(std::vector<StationRecord>& records, std::vector<Pass>& passes) {
    std::sort(heard_.begin(), heard_.end(), [](const Heard& a, const Heard& b) {
        return std::tie(a.station, a.timeMs, a.packet) < std::tie(b.station, b.timeMs, b.packet);
    });
    std::vector<std::uint32_t> packets;  // of the pass, each with its flags
    for (std::size_t start = 0; start < heard_.size();) {
        std::size_t end = start + 1;
        while (end < heard_.size() && heard_[end].station == heard_[start].station && heard_[end].timeMs - heard_[end - 1].timeMs <= gapMs_)
            ++end;
        Pass pass{names_[heard_[start].station], heard_[start].timeMs, heard_[end - 1].timeMs};
        packets.clear();
        for (std::size_t k = start; k < end; ++k) {
            if (!(heard_[k].packet & kTelemetry)) continue;
            pass.firstHeard += (heard_[k].packet & kFirst) ? 1 : 0;
            packets.push_back(heard_[k].packet & ~kFirst);
        }
        std::sort(packets.begin(), packets.end());
        packets.erase(std::unique(packets.begin(), packets.end()), packets.end());
        pass.packets = static_cast<std::int64_t>(packets.size());
        pass.onlyHere = std::count_if(packets.begin(), packets.end(), [](std::uint32_t p) { return p & kOnlyHere; });

        StationRecord& record = records[heard_[start].station];
        if (record.passes++ == 0) record.firstMs = pass.startMs;
        record.lastMs = pass.endMs;
        passes.push_back(std::move(pass));
        start = end;
    }
}

StationActivity PassMaker::Finish() {
    EndPacket();
    StationActivity activity;
    MakePasses(records_, activity.passes);
    heard_ = {};
    std::sort(activity.passes.begin(), activity.passes.end(),
              [](const Pass& a, const Pass& b) { return std::tie(a.startMs, a.station) < std::tie(b.startMs, b.station); });

    std::vector<std::uint32_t> byName(names_.size());
    std::iota(byName.begin(), byName.end(), 0u);
    std::sort(byName.begin(), byName.end(), [&](std::uint32_t a, std::uint32_t b) { return names_[a] < names_[b]; });
    for (const std::uint32_t station : byName) {
        activity.stations.push_back(std::move(records_[station]));
        activity.stations.back().station = names_[station];
    }
    return activity;
}
