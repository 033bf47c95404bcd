// The mission archive: each transmission kept once whatever its sources, and files that are
// not archives left alone.
#include "archive/archive_feed.h"
#include "archive/archive_schema.h"
#include "exports/csv_export.h"
#include "intake/satnogs_reader.h"
#include "archive/sqlite/sqlite_archive.h"
#include "intake/frame_recognition.h"
#include "intake/kiss_file.h"
#include "support/beacon_builder.h"
#include "support/files.h"
#include "support/small_disk.h"
#include "support/recording_view.h"
#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <condition_variable>
#include <mutex>
#include <optional>

namespace {

std::unique_ptr<SqliteArchive> OpenArchive(const QString& path, SqliteArchive::Mode mode = SqliteArchive::Mode::ReadWrite) {
    QString error;
    auto archive = SqliteArchive::Open(path, mode, error);
    EXPECT_TRUE(archive) << error.toStdString();
    return archive;
}

// Reads files through the window's roads into the archive, as an import with ARCHIVE set does.
void Feed(ArchiveFeed& feed, const QString& path) {
    DecoderHarness harness;
    harness.decodeView.satelliteFrame = [&](std::string_view frame, const FrameFacts& facts) { feed.Take(frame, facts); };
    harness.context.source = path.toStdString();
    if (path.endsWith(".kss"))
        ReadKissFile(harness.context, path);
    else
        ReadSatnogsFile(harness.context, path, {[](const QString&) {}, [](int) {}, [](int) {}});
    EXPECT_EQ(feed.Commit().error, "");
}

struct Heard {
    std::string time;
    double urbi;
    int receptions;
    std::string stations;
    bool operator==(const Heard&) const = default;
};

std::vector<Heard> Packets(ArchiveReader& archive) {
    std::vector<Heard> packets;
    archive.ForEachPacket({{}, AllChannels(), true}, [&](const ArchivedPacket& packet) {
        packets.push_back({packet.record.rxTime, packet.record.values[channel::Urbi], packet.receptions, packet.stations});
    });
    return packets;
}

std::string SatnogsLine(const char* time, const std::string& frame, const char* after = "") {
    return std::string(time) + "|" + HexText(frame) + after + "\r\n";
}

void RunSql(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

}  // namespace

TEST(MissionArchive, OneTransmissionOnceAtItsEarliestTimeWithEveryReception) {
    QTemporaryDir folder;
    const std::string beacon = BytesFromHex(SatelliteHeaderHex) + ">ORCA-5 de NOSAT";
    std::string capture;  // packets 1 and 2, and a text beacon heard twice an hour apart
    AppendRxTimeFrame(capture, "2021-02-06 14:00:05.000 UTC");
    capture += KissDataFrame(NumberedBeacon(1)) + KissDataFrame(beacon);
    AppendRxTimeFrame(capture, "2021-02-06 14:01:00.000 UTC");
    capture += KissDataFrame(NumberedBeacon(2));
    AppendRxTimeFrame(capture, "2021-02-06 15:00:05.000 UTC");
    capture += KissDataFrame(beacon);
    // packet 1 heard earlier by SatNOGS, packet 3 only there; the export newest first
    const std::string satnogs = SatnogsLine("2021-02-06 14:02:00", NumberedBeacon(3)) +
                                SatnogsLine("2021-02-06 14:00:02", NumberedBeacon(1), "||DL1ABC");
    const QString kiss = WriteBytes(folder.filePath("pass.kss"), capture);
    const QString export_ = WriteBytes(folder.filePath("export.csv"), satnogs);

    const auto archive = OpenArchive(folder.filePath("archive/mission.sqlite"));
    ArchiveFeed feed(*archive, "N0CALL");
    Feed(feed, kiss);
    Feed(feed, export_);
    // this station's name comes before the one an export names
    EXPECT_EQ(Packets(*archive), (std::vector<Heard>{{"2021-02-06 14:00:02.000 UTC", 1, 2, "N0CALL"},
                                                     {"2021-02-06 14:01:00.000 UTC", 2, 1, "N0CALL"},
                                                     {"2021-02-06 14:02:00.000 UTC", 3, 1, "N0CALL"}}));
    int beacons = 0;
    archive->ForEachTextBeacon({}, [&](const ArchivedPacket& heard) {
        EXPECT_EQ(heard.receptions, 1);
        EXPECT_EQ(heard.stations, "N0CALL");
        ++beacons;
    });
    EXPECT_EQ(beacons, 2) << "identical text beacons an hour apart are two transmissions";
    EXPECT_EQ(feed.Commit().counts.added, 5);
    EXPECT_EQ(feed.Commit().counts.heardAgain, 1);

    Feed(feed, kiss);  // the same file again adds nothing
    EXPECT_EQ(feed.Commit().counts.alreadyArchived, 4);
    EXPECT_EQ(Packets(*archive).size(), 3u);

    // a station without a name of its own keeps the one the export names
    const auto unnamed = OpenArchive(folder.filePath("unnamed.sqlite"));
    ArchiveFeed unnamedFeed(*unnamed, "");
    Feed(unnamedFeed, export_);
    EXPECT_EQ(Packets(*unnamed)[0].stations, "DL1ABC");
}

TEST(MissionArchive, FilesThatAreNoArchiveOrANewerOneAreLeftAlone) {
    QTemporaryDir folder;
    const std::string capture = KissDataFrame(NumberedBeacon(1));
    const QString sqlite = folder.filePath("other.sqlite");
    RunSql(sqlite, "CREATE TABLE notes(text)");
    const QString newer = folder.filePath("newer.sqlite");
    OpenArchive(newer).reset();
    RunSql(newer, "PRAGMA user_version = 99");
    const QByteArray newerBytes = Contents(newer);

    const std::pair<QString, QString> refused[] = {
        {WriteBytes(folder.filePath("pass.kss"), capture), " is not an orca5 archive"},
        {WriteBytes(folder.filePath("notes.txt"), "some notes\n"), " is not an orca5 archive"},
        {sqlite, " is not an orca5 archive"},
        {newer, " is an orca5 archive of version 99; this program knows versions up to 4"},
    };
    for (const auto& [path, why] : refused) {
        const QByteArray before = Contents(path);
        for (const auto mode : {SqliteArchive::Mode::ReadWrite, SqliteArchive::Mode::ReadOnly}) {
            QString error;
            EXPECT_FALSE(SqliteArchive::Open(path, mode, error));
            EXPECT_EQ(error, path + why);
        }
        EXPECT_EQ(Contents(path), before) << "untouched";
    }
}

TEST(MissionArchive, RebuildDecodesTheValuesAnewFromTheRawFrames) {
    QTemporaryDir folder;
    const QString path = folder.filePath("mission.sqlite");
    std::string capture;
    for (int n = 1; n <= 5; ++n) {
        AppendRxTimeFrame(capture, "2021-02-06 14:0" + std::to_string(n) + ":00.000 UTC");
        capture += KissDataFrame(BeaconBuilder().u16(79, static_cast<std::uint16_t>(n)).s8(87, -3).build());
    }
    const auto archive = OpenArchive(path);
    ArchiveFeed feed(*archive, "");
    Feed(feed, WriteBytes(folder.filePath("pass.kss"), capture));
    const auto column = [&](const char* sql) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &query, nullptr);
        std::vector<double> values;
        while (sqlite3_step(query) == SQLITE_ROW) values.push_back(sqlite3_column_double(query, 0));
        sqlite3_finalize(query);
        sqlite3_close(db);
        return values;
    };
    const std::vector<double> urbi{1, 2, 3, 4, 5};
    EXPECT_EQ(column("SELECT urbi FROM packets ORDER BY time_ms"), urbi) << "the table SQL tools read";
    RunSql(path, "UPDATE frames SET urbi = NULL, battery_1_temp = NULL");
    EXPECT_EQ(archive->Rebuild(), "");
    EXPECT_EQ(column("SELECT urbi FROM packets ORDER BY time_ms"), urbi);
    EXPECT_EQ(column("SELECT battery_1_temp FROM packets"), std::vector<double>(5, -3));
}

// The released schema versions name the columns for good; renaming a caption since must come
// with a version whose migration renames its column, and the newest then matches the captions.
TEST(MissionArchive, TheNewestSchemaNamesEachChannelAsItsCaptionDoes) {
    EXPECT_EQ(ChannelColumnName("X- TRI Volt"), "x_minus_tri_volt");
    EXPECT_EQ(ChannelColumnName("Y+ Temperature"), "y_plus_temperature");
    EXPECT_EQ(ChannelColumnName("Packet #"), "packet");
    for (int i = 0; i < kChannelCount; ++i)
        EXPECT_EQ(ArchiveColumn(i), ColumnOf(i)) << "channel " << i << " \"" << kChannels[static_cast<std::size_t>(i)].name << "\"";
    for (int version = 1; version <= kArchiveSchemaVersion; ++version) EXPECT_EQ(ReleasedColumns(version).size(), kChannels.size());
}

TEST(MissionArchive, ASmallDiskMidwaySaysWhyAndLeavesAConsistentArchive) {
    SmallDisk disk("1m");
    const auto archive = OpenArchive(disk.FilePath("mission.sqlite"));
    ArchiveFeed feed(*archive, "", 100);
    QString error;
    std::int64_t time = *UtcMilliseconds("2021-02-06 14:00:00");
    for (int n = 1; n <= 5000 && error.isEmpty(); ++n) {
        const std::string frame = NumberedBeacon(n);
        const std::string stamp = RxTimeTextOf(time += 60000);
        feed.Take(frame, {stamp, {}, "pass.kss", '#', n});
        if (n % 100 == 0) error = feed.Commit().error;
    }
    EXPECT_EQ(error, "database or disk is full");
    int packets = 0;
    archive->ForEachPacket({{}, AllChannels(), false}, [&](const ArchivedPacket&) { ++packets; });
    EXPECT_GT(packets, 0);
    EXPECT_EQ(packets % 100, 0) << "whole batches only";
    const ArchiveCounts counts = feed.Commit().counts;
    EXPECT_EQ(counts.added, packets) << "new only once committed";
    EXPECT_EQ(counts.added + counts.failed, counts.frames);
    EXPECT_TRUE(ArchiveCountsText(counts).ends_with(" not kept")) << ArchiveCountsText(counts);

    // an archive made on a full disk is no archive: nothing of it is left to pass for a new one
    disk.Fill();
    QString refused;
    EXPECT_FALSE(SqliteArchive::Open(disk.FilePath("new.sqlite"), SqliteArchive::Mode::ReadWrite, refused));
    EXPECT_EQ(refused, disk.FilePath("new.sqlite") + ": database or disk is full");
    EXPECT_EQ(disk.Files(), QStringList({"mission.sqlite", "mission.sqlite-shm", "mission.sqlite-wal"}));
}

TEST(MissionArchive, ARebuildOfManyFramesSaysWhyADecodeFailed) {
    QTemporaryDir folder;
    const QString path = folder.filePath("mission.sqlite");
    const auto archive = OpenArchive(path);
    Received result;
    for (int n = 1; n <= 10500; ++n)
        ASSERT_EQ(archive->Receive({NumberedBeacon(n), 1612620000000 + 60000LL * n, "pass.kss#" + std::to_string(n), ""}, result), "");
    ASSERT_EQ(archive->Commit(), "");
    // a frame past the first ten thousand cannot be written anew
    RunSql(path, "CREATE TRIGGER refuse BEFORE UPDATE OF obc_time ON frames WHEN NEW.id = 10200 "
                 "BEGIN SELECT RAISE(ABORT, 'frame 10200 refused'); END");
    EXPECT_EQ(archive->Rebuild(), "frame 10200 refused");
}

// The window's live arrivals ask for a commit and go on: the figures come from the writer's
// thread once it has written, however long another program holds the file.
TEST(MissionArchive, ACommitAskedWithoutWaitingReportsWhenTheWriterIsDone) {
    QTemporaryDir folder;
    const QString path = folder.filePath("mission.sqlite");
    const auto archive = OpenArchive(path);
    ArchiveFeed feed(*archive, "N0CALL");
    std::mutex mutex;
    std::condition_variable reported;
    std::optional<FeedReport> report;
    feed.committed = [&](const FeedReport& done) {
        const std::lock_guard lock(mutex);
        report = done;
        reported.notify_all();
    };
    sqlite3* other = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    for (int n = 1; n <= 3; ++n) feed.Take(NumberedBeacon(n), {.rxTimeText = "2021-02-06 14:0" + std::to_string(n) + ":00.000 UTC"});
    feed.CommitLater();
    {
        std::unique_lock lock(mutex);
        EXPECT_FALSE(reported.wait_for(lock, std::chrono::milliseconds(300), [&] { return report.has_value(); }))
            << "nothing is written while the file is held";
    }
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    std::unique_lock lock(mutex);
    ASSERT_TRUE(reported.wait_for(lock, std::chrono::seconds(30), [&] { return report.has_value(); }));
    EXPECT_EQ(report->error, "");
    EXPECT_EQ(report->counts.added, 3);
    EXPECT_EQ(Packets(*archive).size(), 3u);
}

TEST(MissionArchive, WhatWaitedOnDiskIsWrittenWhileCommitsAreAsked) {
    QTemporaryDir folder;
    const auto archive = OpenArchive(folder.filePath("mission.sqlite"));
    const QString waiting = folder.filePath(kArchiveWaitingFileName);
    std::string lines;
    for (int n = 1; n <= 300; ++n)
        lines += std::to_string(1612620000000 + 60000LL * n) + "\tN0CALL\tlive%20127.0.0.1%3A8001\t" + HexText(NumberedBeacon(n)) + '\n';
    WriteBytes(waiting, lines);
    // the writer tries the waiting frames again while the window asks for commits and reads the counts
    ArchiveFeed feed(*archive, "N0CALL", 10000, waiting, std::chrono::milliseconds(1));
    FeedReport report = feed.Commit();
    for (int tries = 0; report.counts.waiting > 0 && tries < 10000; ++tries) report = feed.Commit();
    EXPECT_EQ(report.counts.waiting, 0);
    EXPECT_EQ(report.counts.added, 300);
    EXPECT_FALSE(QFile::exists(waiting));
    EXPECT_EQ(Packets(*archive).size(), 300u);
}
