#pragma once

#include "limits/limits_file.h"
#include "telemetry/packet_store.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where a channel's value stands against its limits.
enum class LimitState { Green, YellowLow, YellowHigh, RedLow, RedHigh };

// "green", "yellow_low", "yellow_high", "red_low", "red_high"
const char* LimitStateName(LimitState state);
LimitState StateOf(double value, const ChannelLimits& limits);
// The threshold a value in the state is past; nothing for green.
std::optional<double> ThresholdOf(LimitState state, const ChannelLimits& limits);
inline bool IsRed(LimitState state) { return state == LimitState::RedLow || state == LimitState::RedHigh; }

// The satellite's channel in a transition: "*".
inline constexpr int kSatellite = -1;

// A change of state: a channel's, taken at the packet that made it hold, or the satellite's,
// stale when no packet came for the stale time, fresh at the next.
struct LimitTransition {
    std::int64_t timeMs = 0;
    std::string rxTime;     // the packet's reception time as the road has it; a stale time's own
    int channel = kSatellite;
    std::string_view state, previous;  // "red_low", "stale", ...: names that last
    std::optional<double> value;      // the packet's; none for the satellite
    std::optional<double> threshold;  // the one crossed; none for green and the satellite
};

// What a channel stands at now.
struct ChannelStanding {
    LimitState state = LimitState::Green;
    double value = 0;               // the last packet's
    std::int64_t sinceMs = 0;       // the time of its last transition; 0: none yet
    int differing = 0;              // packets in a row not in its state
    bool heard = false;
};

// Judges the packets of one road, in time order, against a set of limits: every channel starts
// green; a packet in a state other than the channel's counts one, one in its state sets the
// count back to 0, and when the count reaches PERSIST the latest state holds from that packet.
// At one packet the satellite's transition comes first, then the channels in channel order.
class LimitJudge {
public:
    explicit LimitJudge(Limits limits);

    // A packet and its transitions, appended: it was received at its record's rxTime, at the
    // time given when that text has one (a packet without one has no part in the stale time).
    void Judge(std::optional<std::int64_t> timeMs, const TelemetryRecord& record, std::vector<LimitTransition>& out);
    // Time has come to now with no packet: the satellite turns stale when its time is past.
    void Tick(std::int64_t nowMs, std::vector<LimitTransition>& out);

    const Limits& limits() const { return limits_; }
    const ChannelStanding& standing(int channel) const { return standings_[static_cast<std::size_t>(channel)]; }
    bool stale() const { return stale_; }
    std::optional<std::int64_t> lastPacketMs() const { return lastMs_; }
    std::int64_t transitions() const { return transitions_; }

    // "Battery 1 Volt red_low (3.21 < 3.3), Z+ Temperature yellow_high (52 > 50)", or "none"
    std::string OutOfLimitsText() const;

private:
    Limits limits_;
    std::vector<int> limited_;  // the channels with limits, in channel order
    std::array<ChannelStanding, kChannelCount> standings_{};
    std::optional<std::int64_t> lastMs_;
    bool stale_ = false;
    std::int64_t transitions_ = 0;
};
