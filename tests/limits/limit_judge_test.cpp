// Each packet against its limits: the states, PERSIST, stale and fresh, in the order told.
#include "limits/limit_judge.h"

#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kStart = 1612620000000;  // 2021-02-06 14:00:00 UTC

Limits BatteryLimits(int persist, std::optional<std::int64_t> staleMs = std::nullopt) {
    Limits limits;
    limits.channels[channel::Battery1Volt] = ChannelLimits{3.3, 3.5, 4.2, 4.4, persist};
    limits.staleMs = staleMs;
    return limits;
}

// The transitions of packets a minute apart with these values of Battery 1 Volt, as
// "state<previous" each.
std::vector<std::string> Transitions(LimitJudge& judge, const std::vector<double>& values) {
    std::vector<std::string> seen;
    std::vector<LimitTransition> out;
    TelemetryRecord record;
    for (std::size_t n = 0; n < values.size(); ++n) {
        const std::int64_t time = kStart + 60000 * static_cast<std::int64_t>(n);
        record.rxTime = RxTimeTextOf(time);
        record.values[channel::Battery1Volt] = values[n];
        judge.Judge(time, record, out);
    }
    for (const LimitTransition& transition : out) seen.push_back(std::string(transition.state) + "<" + std::string(transition.previous));
    return seen;
}

}  // namespace

TEST(LimitJudge, AValueGoesThroughEveryStateAndAThresholdIsInside) {
    const ChannelLimits limits{3.3, 3.5, 4.2, 4.4, 1};
    EXPECT_EQ(StateOf(3.29, limits), LimitState::RedLow);
    EXPECT_EQ(StateOf(3.3, limits), LimitState::YellowLow);
    EXPECT_EQ(StateOf(3.5, limits), LimitState::Green);
    EXPECT_EQ(StateOf(4.2, limits), LimitState::Green);
    EXPECT_EQ(StateOf(4.4, limits), LimitState::YellowHigh);
    EXPECT_EQ(StateOf(4.41, limits), LimitState::RedHigh);

    LimitJudge judge(BatteryLimits(1));
    EXPECT_EQ(Transitions(judge, {4.0, 3.4, 3.2, 3.4, 4.0, 4.3, 4.5, 4.0}),
              (std::vector<std::string>{"yellow_low<green", "red_low<yellow_low", "yellow_low<red_low", "green<yellow_low",
                                         "yellow_high<green", "red_high<yellow_high", "green<red_high"}));
    EXPECT_EQ(judge.transitions(), 7);
    EXPECT_EQ(judge.OutOfLimitsText(), "none");
}

TEST(LimitJudge, PersistTakesAStateOnlyWhenItHolds) {
    LimitJudge judge(BatteryLimits(3));
    // one noisy packet, then two: nothing; three in a row of any state out: the latest holds
    EXPECT_EQ(Transitions(judge, {3.2, 4.0, 3.2, 3.2, 4.0, 3.4, 3.2, 3.2}), (std::vector<std::string>{"red_low<green"}));
    EXPECT_EQ(judge.standing(channel::Battery1Volt).state, LimitState::RedLow);
    EXPECT_EQ(judge.OutOfLimitsText(), "Battery 1 Volt red_low (3.2 < 3.3)");

    std::vector<LimitTransition> out;
    LimitJudge exact(BatteryLimits(1));
    TelemetryRecord record;
    record.rxTime = "2021-02-06 14:00:00";
    record.values[channel::Battery1Volt] = 3.21;
    exact.Judge(kStart, record, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].channel, channel::Battery1Volt);
    EXPECT_EQ(out[0].rxTime, "2021-02-06 14:00:00") << "the time as the road has it";
    EXPECT_EQ(out[0].value, 3.21);
    EXPECT_EQ(out[0].threshold, 3.3) << "the threshold crossed";
}

TEST(LimitJudge, TheSatelliteTurnsStaleWithoutPacketsAndFreshAtTheNextFirst) {
    LimitJudge judge(BatteryLimits(1, 10 * 60000));
    std::vector<LimitTransition> out;
    TelemetryRecord record;
    record.values[channel::Battery1Volt] = 4.0;
    record.rxTime = RxTimeTextOf(kStart);
    judge.Judge(kStart, record, out);
    judge.Tick(kStart + 10 * 60000, out);
    EXPECT_TRUE(out.empty()) << "ten minutes exactly: not yet";
    judge.Tick(kStart + 10 * 60000 + 1, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].state, "stale");
    EXPECT_EQ(out[0].channel, kSatellite);
    EXPECT_EQ(out[0].rxTime, "2021-02-06 14:10:00.000 UTC") << "stale from the time it turned";
    judge.Tick(kStart + 60 * 60000, out);
    EXPECT_EQ(out.size(), 1u) << "told once";

    // a packet after the silence: fresh first, then the channel it brings out of limits
    record.values[channel::Battery1Volt] = 3.0;
    record.rxTime = RxTimeTextOf(kStart + 2 * 3600000);
    judge.Judge(kStart + 2 * 3600000, record, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1].state, "fresh");
    EXPECT_EQ(out[1].previous, "stale");
    EXPECT_EQ(out[2].state, "red_low");

    // a file read later: a gap between two packets is stale and fresh at once
    LimitJudge reading(BatteryLimits(1, 10 * 60000));
    std::vector<LimitTransition> gap;
    for (const std::int64_t time : {kStart, kStart + 5 * 60000, kStart + 30 * 60000}) {
        record.values[channel::Battery1Volt] = 4.0;
        reading.Judge(time, record, gap);
    }
    ASSERT_EQ(gap.size(), 2u);
    EXPECT_EQ(gap[0].timeMs, kStart + 15 * 60000);
    EXPECT_EQ(gap[1].state, "fresh");
}
