#pragma once

#include "archive/archive_reader.h"

// Where the History window looks, and how it moves, without a widget: a time range of UTC
// milliseconds, [from, to), both ends set.

// The narrowest and the widest range shown: a minute, fifty years.
inline constexpr std::int64_t kNarrowestViewMs = 60 * 1000;
inline constexpr std::int64_t kWidestViewMs = 50LL * 365 * kDayMs;

// The range at a width it may have, about the same middle.
TimeRange WithinViewLimits(const TimeRange& shown);
// So many times as wide (0.5: zoomed in twice), about its middle; moved by a share of its width.
TimeRange Zoomed(const TimeRange& shown, double factor);
TimeRange Panned(const TimeRange& shown, double share);
// The oldest to the newest packet, and a little beside them: a fiftieth of the span, at least
// half a minute.
TimeRange MissionView(std::int64_t oldest, std::int64_t newest);
// The 24 hours around a time, as a double click loads them into the main window.
TimeRange DayAround(std::int64_t timeMs);

// What the window does when the archive's newest packet is newer than the one it was told of:
// a range that showed that one follows (read anew, or moved along when the new one is past its
// right edge, keeping a twentieth of the width beyond it); a range the user took elsewhere stays.
struct FollowStep {
    enum class Action { Stay, ReadAgain, Move } action = Action::Stay;
    TimeRange range;  // the range to show, for Move
};
FollowStep FollowNewest(const TimeRange& shown, std::int64_t newestShown, std::int64_t newest);
