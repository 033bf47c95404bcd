#include "archive/channel_history.h"

#include <cmath>

namespace {

// The longest summary level of which a column holds at least two buckets; -1: none.
int LevelFor(double columnMs) {
    int level = -1;
    for (int l = 0; l < kSummaryLevels; ++l)
        if (2.0 * static_cast<double>(kSummaryBucketMs[l]) <= columnMs) level = l;
    return level;
}

std::int64_t RoundTo(std::int64_t timeMs, std::int64_t length) {
    return static_cast<std::int64_t>(std::llround(static_cast<double>(timeMs) / static_cast<double>(length))) * length;
}

// Adds what starts at a time to the column it falls into; the times come oldest first.
class ColumnFiller {
public:
    explicit ColumnFiller(std::vector<HistoryColumn>& columns) : columns_(columns) {}

    void Add(std::int64_t timeMs, const ValueSummary& values) {
        while (next_ < columns_.size() && columns_[next_].toMs <= timeMs) ++next_;
        if (next_ < columns_.size() && columns_[next_].fromMs <= timeMs) columns_[next_].values.Add(values);
    }

private:
    std::vector<HistoryColumn>& columns_;
    std::size_t next_ = 0;
};

}  // namespace

QString ReadChannelHistory(ArchiveReader& store, int channel, const TimeRange& range, int columns,
                           std::vector<HistoryColumn>& history) {
    history.clear();
    const std::int64_t from = range.from.value_or(0), to = range.to.value_or(0);
    if (columns <= 0 || to <= from) return {};
    const double columnMs = static_cast<double>(to - from) / columns;
    const int level = LevelFor(columnMs);
    const auto boundary = [&](int i) {
        const std::int64_t exact = from + static_cast<std::int64_t>(std::llround(i * columnMs));
        return level < 0 ? exact : RoundTo(exact, kSummaryBucketMs[level]);
    };
    history.resize(static_cast<std::size_t>(columns));
    for (int i = 0; i < columns; ++i) {
        history[static_cast<std::size_t>(i)].fromMs = boundary(i);
        history[static_cast<std::size_t>(i)].toMs = boundary(i + 1);
    }
    ColumnFiller filler(history);
    const TimeRange read{history.front().fromMs, history.back().toMs};
    if (level < 0)
        return store.ForEachValue(channel, read, [&](std::int64_t time, double value) { filler.Add(time, {1, value, value, value}); });
    return store.ForEachSummary(level, channel, read, [&](std::int64_t start, const ValueSummary& values) { filler.Add(start, values); });
}

QString ReadPacketsPerDay(ArchiveReader& store, const TimeRange& range, std::vector<HistoryColumn>& days,
                          std::optional<std::string_view> station) {
    days.clear();
    const int day = kSummaryLevels - 1;
    const std::int64_t from = SummaryBucketOf(range.from.value_or(0), day), to = range.to.value_or(0);
    for (std::int64_t start = from; start < to; start += kDayMs) days.push_back({start, start + kDayMs, {}});
    ColumnFiller filler(days);
    if (station)
        return store.ForEachStationDay(*station, {from, to}, [&](std::int64_t start, std::int64_t packets) { filler.Add(start, {packets, 0, 0, 0}); });
    return store.ForEachSummary(day, 0, {from, to}, [&](std::int64_t start, const ValueSummary& values) { filler.Add(start, values); });
}
