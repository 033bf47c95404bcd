// Where the History window looks as the user zooms, pans and the archive grows, without a window.
#include "archive/history_view.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kNoon = 1612612800000;  // 2021-02-06 12:00:00 UTC

void ExpectRange(const TimeRange& range, std::int64_t from, std::int64_t to) {
    EXPECT_EQ(range.from, from);
    EXPECT_EQ(range.to, to);
}

}  // namespace

TEST(HistoryView, ZoomAndPanKeepTheMiddleAndTheWidthWithinLimits) {
    const TimeRange day{kNoon - kDayMs / 2, kNoon + kDayMs / 2};
    ExpectRange(Zoomed(day, 0.5), kNoon - kDayMs / 4, kNoon + kDayMs / 4);
    ExpectRange(Zoomed(day, 2), kNoon - kDayMs, kNoon + kDayMs);
    ExpectRange(Panned(day, 0.25), kNoon - kDayMs / 4, kNoon + 3 * kDayMs / 4);
    ExpectRange(Panned(day, -0.25), kNoon - 3 * kDayMs / 4, kNoon + kDayMs / 4);
    // zoomed in past a minute, or out past fifty years, it stops there about the same middle
    ExpectRange(WithinViewLimits({kNoon - 1000, kNoon + 1000}), kNoon - kNarrowestViewMs / 2, kNoon + kNarrowestViewMs / 2);
    ExpectRange(WithinViewLimits({kNoon - kWidestViewMs, kNoon + kWidestViewMs}), kNoon - kWidestViewMs / 2, kNoon + kWidestViewMs / 2);
    ExpectRange(WithinViewLimits(day), *day.from, *day.to);
    ExpectRange(DayAround(kNoon), kNoon - kDayMs / 2, kNoon + kDayMs / 2);
    // the whole mission with a fiftieth of it beside each end, and half a minute at least
    ExpectRange(MissionView(kNoon, kNoon + 50 * kDayMs), kNoon - kDayMs, kNoon + 51 * kDayMs);
    ExpectRange(MissionView(kNoon, kNoon), kNoon - 30000, kNoon + 30000);
}

TEST(HistoryView, ARangeShowingTheNewestPacketFollowsTheArchive) {
    const TimeRange hour{kNoon - kHourMs, kNoon};
    const std::int64_t newest = kNoon - 10 * 60000;
    using Action = FollowStep::Action;
    EXPECT_EQ(FollowNewest(hour, newest, newest).action, Action::Stay) << "nothing newer";
    EXPECT_EQ(FollowNewest(hour, newest, newest + 60000).action, Action::ReadAgain) << "within the range: drawn anew";
    const FollowStep moved = FollowNewest(hour, newest, kNoon + 60000);
    EXPECT_EQ(moved.action, Action::Move) << "past the right edge: the range moves along";
    ExpectRange(moved.range, kNoon + 60000 + kHourMs / 20 - kHourMs, kNoon + 60000 + kHourMs / 20);
    const TimeRange elsewhere{kNoon - 3 * kHourMs, kNoon - 2 * kHourMs};
    EXPECT_EQ(FollowNewest(elsewhere, newest, kNoon + 60000).action, Action::Stay) << "the user looks at the past";
}
