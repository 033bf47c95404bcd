#include "limits/limit_judge.h"

#include "telemetry/time_stamps.h"
#include "telemetry/value_text.h"

const char* LimitStateName(LimitState state) {
    switch (state) {
    case LimitState::Green: return "green";
    case LimitState::YellowLow: return "yellow_low";
    case LimitState::YellowHigh: return "yellow_high";
    case LimitState::RedLow: return "red_low";
    case LimitState::RedHigh: return "red_high";
    }
    return "";
}

LimitState StateOf(double value, const ChannelLimits& limits) {
    if (value < limits.redLow) return LimitState::RedLow;
    if (value < limits.yellowLow) return LimitState::YellowLow;
    if (value > limits.redHigh) return LimitState::RedHigh;
    if (value > limits.yellowHigh) return LimitState::YellowHigh;
    return LimitState::Green;
}

std::optional<double> ThresholdOf(LimitState state, const ChannelLimits& limits) {
    switch (state) {
    case LimitState::Green: return std::nullopt;
    case LimitState::YellowLow: return limits.yellowLow;
    case LimitState::YellowHigh: return limits.yellowHigh;
    case LimitState::RedLow: return limits.redLow;
    case LimitState::RedHigh: return limits.redHigh;
    }
    return std::nullopt;
}

LimitJudge::LimitJudge(Limits limits) : limits_(std::move(limits)) {
    for (int i = 0; i < kChannelCount; ++i)
        if (limits_.channels[static_cast<std::size_t>(i)]) limited_.push_back(i);
}

void LimitJudge::Tick(std::int64_t nowMs, std::vector<LimitTransition>& out) {
    if (!limits_.staleMs || !lastMs_ || stale_) return;
    const std::int64_t staleAt = *lastMs_ + *limits_.staleMs;
    if (nowMs <= staleAt) return;
    stale_ = true;
    ++transitions_;
    out.push_back({staleAt, RxTimeTextOf(staleAt), kSatellite, "stale", "fresh", std::nullopt, std::nullopt});
}

void LimitJudge::Judge(std::optional<std::int64_t> timeMs, const TelemetryRecord& record, std::vector<LimitTransition>& out) {
    if (timeMs) {
        Tick(*timeMs, out);
        if (stale_) {
            stale_ = false;
            ++transitions_;
            out.push_back({*timeMs, record.rxTime, kSatellite, "fresh", "stale", std::nullopt, std::nullopt});
        }
        lastMs_ = std::max(lastMs_.value_or(*timeMs), *timeMs);
    }
    for (const int i : limited_) {
        const std::optional<ChannelLimits>& limits = limits_.channels[static_cast<std::size_t>(i)];
        ChannelStanding& standing = standings_[static_cast<std::size_t>(i)];
        const double value = record.values[static_cast<std::size_t>(i)];
        const LimitState now = StateOf(value, *limits);
        standing.value = value;
        standing.heard = true;
        if (now == standing.state) {
            standing.differing = 0;
            continue;
        }
        if (++standing.differing < limits->persist) continue;
        out.push_back({timeMs.value_or(0), record.rxTime, i, LimitStateName(now), LimitStateName(standing.state), value, ThresholdOf(now, *limits)});
        ++transitions_;
        standing.state = now;
        standing.differing = 0;
        standing.sinceMs = timeMs.value_or(0);
    }
}

std::string LimitJudge::OutOfLimitsText() const {
    std::string text;
    for (int i = 0; i < kChannelCount; ++i) {
        const ChannelStanding& standing = standings_[static_cast<std::size_t>(i)];
        if (standing.state == LimitState::Green) continue;
        const ChannelLimits& limits = *limits_.channels[static_cast<std::size_t>(i)];
        const bool low = standing.state == LimitState::RedLow || standing.state == LimitState::YellowLow;
        if (!text.empty()) text += ", ";
        text.append(kChannels[static_cast<std::size_t>(i)].name).append(" ").append(LimitStateName(standing.state)).append(" (");
        AppendValueText(text, standing.value, '.');
        text += low ? " < " : " > ";
        AppendValueText(text, *ThresholdOf(standing.state, limits), '.');
        text += ')';
    }
    return text.empty() ? "none" : text;
}
