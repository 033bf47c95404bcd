// Passes and stations from receptions: the gap, the earliest reception and its ties, packets
// heard more than once, text beacons, a station without a name; the watch that reads them on
// a thread of its own.
#include "archive/activity_watch.h"
#include "archive/archive_location.h"
#include "archive/sqlite/sqlite_archive.h"
#include "support/beacon_builder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr std::int64_t kMinute = 60000;
constexpr std::int64_t kStart = 1612569600000;  // 2021-02-06 00:00:00 UTC

struct Heard {
    std::int64_t frame;
    std::int64_t minute;  // after the start
    const char* station;
    bool telemetry = true;
};

// The receptions as the archive lists them: by packet.
StationActivity ActivityOf(std::vector<Heard> receptions) {
    std::stable_sort(receptions.begin(), receptions.end(), [](const Heard& a, const Heard& b) { return a.frame < b.frame; });
    PassMaker maker;
    for (const Heard& h : receptions) maker.Add({h.frame, kStart + h.minute * kMinute, h.station, h.telemetry});
    return maker.Finish();
}

std::string Row(const Pass& p) {
    return p.station + ' ' + std::to_string((p.startMs - kStart) / kMinute) + '-' + std::to_string((p.endMs - kStart) / kMinute) + ' ' +
           std::to_string(p.packets) + ' ' + std::to_string(p.firstHeard) + ' ' + std::to_string(p.onlyHere);
}

std::string Row(const StationRecord& s) {
    return s.station + ' ' + std::to_string(s.passes) + ' ' + std::to_string(s.packets) + ' ' + std::to_string(s.firstHeard) + ' ' +
           std::to_string(s.onlyHere) + ' ' + std::to_string((s.firstMs - kStart) / kMinute) + '-' +
           std::to_string((s.lastMs - kStart) / kMinute);
}

std::vector<std::string> Passes(const StationActivity& activity) {
    std::vector<std::string> rows;
    for (const Pass& pass : activity.passes) rows.push_back(Row(pass));
    return rows;
}

std::vector<std::string> Stations(const StationActivity& activity) {
    std::vector<std::string> rows;
    for (const StationRecord& station : activity.stations) rows.push_back(Row(station));
    return rows;
}

}  // namespace

TEST(Passes, ASilenceOfMoreThanTheGapEndsAPassAndExactlyTheGapDoesNot) {
    const StationActivity activity = ActivityOf({{1, 0, "N0AAA"}, {2, 15, "N0AAA"}, {3, 30, "N0AAA"}, {4, 100, "N0AAA"}});
    EXPECT_EQ(Passes(activity), (std::vector<std::string>{"N0AAA 0-30 3 3 3", "N0AAA 100-100 1 1 1"}));
    PassMaker maker(15 * kMinute);
    maker.Add({1, kStart, "N0AAA", true});
    maker.Add({2, kStart + 15 * kMinute + 1, "N0AAA", true});
    EXPECT_EQ(maker.Finish().passes.size(), 2u) << "a millisecond past the gap";
    EXPECT_EQ(Stations(activity), (std::vector<std::string>{"N0AAA 2 4 4 4 0-100"}));
}

TEST(Passes, TheEarliestReceptionHeardItFirstAndATieGoesToTheStationFirstByName) {
    const StationActivity activity = ActivityOf({
        {1, 0, "N0BBB"}, {1, 0, "N0AAA"},  // a tie
        {2, 1, "N0BBB"}, {2, 2, "N0AAA"},  // N0BBB earlier
        {3, 3, "N0BBB"},                   // only N0BBB
        {4, 4, "N0AAA"},                   // only N0AAA
    });
    EXPECT_EQ(Passes(activity), (std::vector<std::string>{"N0AAA 0-4 3 2 1", "N0BBB 0-3 3 2 1"})) << "by start, then station";
    EXPECT_EQ(Stations(activity), (std::vector<std::string>{"N0AAA 1 3 2 1 0-4", "N0BBB 1 3 2 1 0-3"}));
}

TEST(Passes, APacketHeardTwiceByOneStationCountsOnceAndStaysItsOwn) {
    // frame 1 heard twice by N0AAA; frame 2 by N0AAA twice and by N0BBB a pass later
    const StationActivity activity = ActivityOf({{1, 0, "N0AAA"}, {1, 5, "N0AAA"}, {2, 6, "N0AAA"}, {2, 7, "N0AAA"}, {2, 9, "N0BBB"}});
    EXPECT_EQ(Passes(activity), (std::vector<std::string>{"N0AAA 0-7 2 2 1", "N0BBB 9-9 1 0 0"}));
    // a packet whose receptions by one station lie in two of its passes (a clock off) is in both
    const StationActivity apart = ActivityOf({{1, 0, "N0AAA"}, {1, 40, "N0AAA"}});
    EXPECT_EQ(Passes(apart), (std::vector<std::string>{"N0AAA 0-0 1 1 1", "N0AAA 40-40 1 0 1"}));
    EXPECT_EQ(Stations(apart), (std::vector<std::string>{"N0AAA 2 1 1 1 0-40"})) << "the station heard one packet";
}

TEST(Passes, TextBeaconsOpenPassesUncountedAndAReceptionWithoutAStationIsStationEmpty) {
    const StationActivity activity = ActivityOf({{1, 0, "N0AAA", false}, {2, 10, "N0AAA"}, {3, 25, "N0AAA", false},
                                                 {4, 0, ""}, {4, 1, "N0AAA"}});
    EXPECT_EQ(Passes(activity), (std::vector<std::string>{" 0-0 1 1 0", "N0AAA 0-25 2 1 1"}));
    EXPECT_EQ(Stations(activity), (std::vector<std::string>{" 1 1 1 0 0-0", "N0AAA 1 2 1 1 0-25"}));
    EXPECT_TRUE(ActivityOf({}).passes.empty());
}

// The watch's thread reads through its own connection while this one writes; the last read
// asked for after the last commit sees it all, and a watch that goes while asked waits.
TEST(ActivityWatch, ReadsOnItsOwnThreadWhileTheArchiveIsWritten) {
    QTemporaryDir folder;
    const QString path = folder.filePath("mission.sqlite");
    QString error;
    const auto writer = SqliteArchive::Open(path, SqliteArchive::Mode::ReadWrite, error);
    ASSERT_TRUE(writer) << error.toStdString();
    std::mutex mutex;
    std::vector<std::size_t> passesRead;
    {
        ActivityWatch watch([&](QString& why) { return OpenArchiveReader(path, why); }, kPassGapMs,
                            [&](StationActivity activity, const QString& why) {
                                EXPECT_EQ(why, "");
                                std::lock_guard lock(mutex);
                                passesRead.push_back(activity.passes.size());
                            });
        Received result;
        for (int pass = 0; pass < 20; ++pass) {
            for (int n = 0; n < 30; ++n)
                EXPECT_EQ(writer->Receive({NumberedBeacon(pass * 30 + n), kStart + pass * kHourMs + n * 10000, "a.kss", "N0AAA"}, result), "");
            EXPECT_EQ(writer->Commit(), "");
            watch.Ask();
        }
        const auto read = [&] {
            std::lock_guard lock(mutex);
            return !passesRead.empty() && passesRead.back() == 20;
        };
        for (int waited = 0; waited < 500 && !read(); ++waited) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(read());
        watch.Ask();  // and gone while it may read
    }
    EXPECT_LE(passesRead.size(), 22u) << "asks while it read were one read after it";
}
