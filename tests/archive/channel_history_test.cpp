// A channel's history drawn from the archive's summaries: each column's least, greatest and
// mean value and its number of packets, the same as counted packet by packet.
#include "archive/channel_history.h"
#include "archive/sqlite/sqlite_archive.h"
#include "support/random_archive.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

constexpr std::int64_t kStart = 1612569600000;  // 2021-02-06 00:00:00 UTC

std::unique_ptr<SqliteArchive> OpenArchive(const QString& path) {
    QString error;
    auto archive = SqliteArchive::Open(path, SqliteArchive::Mode::ReadWrite, error);
    EXPECT_TRUE(archive) << error.toStdString();
    return archive;
}

ValueSummary CountedOneByOne(const std::vector<HeardValue>& heard, std::int64_t from, std::int64_t to) {
    ValueSummary summary;
    for (const HeardValue& packet : heard)
        if (packet.timeMs >= from && packet.timeMs < to) summary.Add(packet.value);
    return summary;
}

// Every column as counted one by one; the columns end to end, each within a quarter of
// its share of the range. How many columns have no packets.
int ExpectCountedOneByOne(ArchiveReader& archive, const std::vector<HeardValue>& heard, const TimeRange& range, int columns) {
    std::vector<HistoryColumn> history;
    EXPECT_EQ(ReadChannelHistory(archive, channel::Urbi, range, columns, history), "");
    EXPECT_EQ(history.size(), static_cast<std::size_t>(columns));
    const double share = static_cast<double>(*range.to - *range.from) / columns;
    int gaps = 0;
    for (std::size_t i = 0; i < history.size(); ++i) {
        const HistoryColumn& column = history[i];
        SCOPED_TRACE(testing::Message() << "column " << i << " of " << columns << " over " << *range.to - *range.from << " ms");
        EXPECT_LE(std::abs(static_cast<double>(column.fromMs - *range.from) - static_cast<double>(i) * share), share / 4 + 1);
        if (i > 0) {
            EXPECT_EQ(column.fromMs, history[i - 1].toMs);
        }
        const ValueSummary expected = CountedOneByOne(heard, column.fromMs, column.toMs);
        EXPECT_EQ(column.values.packets, expected.packets);
        if (expected.packets == 0 || column.values.packets != expected.packets) {
            ++gaps;
            continue;
        }
        EXPECT_EQ(column.values.minimum, expected.minimum);
        EXPECT_EQ(column.values.maximum, expected.maximum);
        EXPECT_NEAR(column.values.mean(), expected.mean(), 1e-9 * expected.mean());
    }
    return gaps;
}

}  // namespace

TEST(ChannelHistory, EveryColumnAtEveryZoomIsWhatThePacketsSay) {
    QTemporaryDir folder;
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        const auto archive = OpenArchive(folder.filePath(QString("random%1.sqlite").arg(seed)));
        std::vector<HeardValue> heard = FillRandomArchive(*archive, seed, 90, kStart);

        // one spike in a quiet stretch, and a packet heard first elsewhere, earlier, across a
        // bucket's edge: it moves to the bucket before
        std::mt19937 random(seed);
        HeardValue& spike = heard[std::uniform_int_distribution<std::size_t>(0, heard.size() - 1)(random)];
        const std::int64_t spikeTime = spike.timeMs + 1;
        Received result;
        EXPECT_EQ(archive->Receive({BeaconBuilder().u16(79, 65000).build(), spikeTime, "spike.kss#1", ""}, result), "");
        const std::int64_t edge = SummaryBucketOf(kStart + 40 * kDayMs, 0);
        const std::string mover = BeaconBuilder().u16(79, 60000).text(20, "moved").build();
        EXPECT_EQ(archive->Receive({mover, edge + 60000, "pass.kss#1", "N0CALL"}, result), "");
        ASSERT_EQ(archive->Commit(), "");
        EXPECT_EQ(archive->Receive({mover, edge - 60000, "export.csv:2", "DL1ABC"}, result), "");
        EXPECT_EQ(result, Received::HeardAgain);
        ASSERT_EQ(archive->Commit(), "");
        heard.push_back({spikeTime, 65000});
        heard.push_back({edge - 60000, 60000});
        std::sort(heard.begin(), heard.end(), [](const HeardValue& a, const HeardValue& b) { return a.timeMs < b.timeMs; });

        ExpectCountedOneByOne(*archive, heard, {edge - 2 * kHourMs, edge + 2 * kHourMs}, 4);

        // the whole mission: the spike shows in its column
        const TimeRange mission{archive->OldestPacketTime(), *archive->NewestPacketTime() + 1};
        EXPECT_EQ(*mission.from, heard.front().timeMs);
        ExpectCountedOneByOne(*archive, heard, mission, 1000);
        std::vector<HistoryColumn> history;
        ASSERT_EQ(ReadChannelHistory(*archive, channel::Urbi, mission, 1000, history), "");
        const auto spikeColumn = std::find_if(history.begin(), history.end(), [&](const HistoryColumn& c) { return c.toMs > spikeTime; });
        EXPECT_EQ(spikeColumn->values.maximum, 65000);

        // zooms from a few minutes to more than the mission, at various widths
        int gaps = 0;
        for (int zoom = 0; zoom < 25; ++zoom) {
            const std::int64_t width = static_cast<std::int64_t>(std::pow(10.0, std::uniform_real_distribution(5.0, 10.2)(random)));
            const std::int64_t from = kStart - kDayMs + std::uniform_int_distribution<std::int64_t>(0, 92 * kDayMs)(random);
            const int columns = std::uniform_int_distribution(50, 1200)(random);
            gaps += ExpectCountedOneByOne(*archive, heard, {from, from + width}, columns);
        }
        EXPECT_GT(gaps, 0) << "the stretches between passes are gaps";
    }
}

TEST(ChannelHistory, PacketsPerDayCountEveryDayTheRangeTouches) {
    QTemporaryDir folder;
    const auto archive = OpenArchive(folder.filePath("days.sqlite"));
    // days 0 and 2 heard, day 1 not
    const std::vector<HeardValue> heard = FillRandomArchive(*archive, 7, 1, kStart, 3);
    const std::vector<HeardValue> later = FillRandomArchive(*archive, 8, 1, kStart + 2 * kDayMs, 2);
    std::vector<HistoryColumn> days;
    ASSERT_EQ(ReadPacketsPerDay(*archive, {kStart + kHourMs, kStart + 2 * kDayMs + 1}, days), "");
    ASSERT_EQ(days.size(), 3u);
    EXPECT_EQ(days[0].fromMs, kStart);
    EXPECT_EQ(days[0].values.packets, static_cast<std::int64_t>(heard.size()));
    EXPECT_EQ(days[1].values.packets, 0);
    EXPECT_EQ(days[2].values.packets, static_cast<std::int64_t>(later.size()));
}

TEST(ChannelHistory, AnArchiveOfTheFirstVersionGetsItsSummariesAndARebuildMakesThemAnew) {
    QTemporaryDir folder;
    const QString path = folder.filePath("old.sqlite");
    std::vector<HeardValue> heard;
    {
        const auto archive = OpenArchive(path);
        heard = FillRandomArchive(*archive, 11, 20, kStart);
    }
    const auto runSql = [&](const char* sql) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    };
    // as the first version left it: no summaries
    runSql("DROP TABLE summaries_30min; DROP TABLE summaries_180min; DROP TABLE summaries_1440min; "
           "DROP INDEX frames_heard_long; ALTER TABLE frames DROP COLUMN last_ms; PRAGMA user_version = 1");
    const TimeRange all{kStart, kStart + 20 * kDayMs};
    {
        const auto archive = OpenArchive(path);
        for (const int columns : {1000, 97, 10}) ExpectCountedOneByOne(*archive, heard, all, columns);
    }
    runSql("UPDATE summaries_180min SET urbi_max = 0, packets = 1");
    const auto archive = OpenArchive(path);
    ASSERT_EQ(archive->Rebuild(), "");
    ExpectCountedOneByOne(*archive, heard, all, 97);
}
