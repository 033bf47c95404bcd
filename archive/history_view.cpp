#include "archive/history_view.h"

#include <algorithm>
#include <cmath>

namespace {

std::int64_t Width(const TimeRange& range) { return *range.to - *range.from; }

TimeRange AboutMiddle(const TimeRange& shown, double width) {
    const double middle = (static_cast<double>(*shown.from) + static_cast<double>(*shown.to)) / 2;
    return {std::llround(middle - width / 2), std::llround(middle + width / 2)};
}

}  // namespace

TimeRange WithinViewLimits(const TimeRange& shown) {
    const std::int64_t width = Width(shown);
    if (width >= kNarrowestViewMs && width <= kWidestViewMs) return shown;
    return AboutMiddle(shown, static_cast<double>(std::clamp(width, kNarrowestViewMs, kWidestViewMs)));
}

TimeRange Zoomed(const TimeRange& shown, double factor) { return AboutMiddle(shown, static_cast<double>(Width(shown)) * factor); }

TimeRange Panned(const TimeRange& shown, double share) {
    const std::int64_t by = std::llround(static_cast<double>(Width(shown)) * share);
    return {*shown.from + by, *shown.to + by};
}

TimeRange MissionView(std::int64_t oldest, std::int64_t newest) {
    const std::int64_t margin = std::max<std::int64_t>((newest - oldest) / 50, 30000);
    return {oldest - margin, newest + margin};
}

TimeRange DayAround(std::int64_t timeMs) { return {timeMs - kDayMs / 2, timeMs + kDayMs / 2}; }

FollowStep FollowNewest(const TimeRange& shown, std::int64_t newestShown, std::int64_t newest) {
    const bool following = *shown.from <= newestShown && newestShown <= *shown.to;
    if (newest <= newestShown || !following) return {};
    if (newest < *shown.to) return {FollowStep::Action::ReadAgain, shown};
    const std::int64_t width = Width(shown);
    return {FollowStep::Action::Move, {newest + width / 20 - width, newest + width / 20}};
}
