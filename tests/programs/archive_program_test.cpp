// The mission archive as a station uses it: orca5-decode filling and querying it, killed
// halfway, and the window archiving live while orca5-decode fills the same file.
#include "archive/sqlite/sqlite_archive.h"
#include "support/decode_process.h"
#include "support/small_disk.h"
#include "support/live_window.h"
#include "telemetry/hex_text.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QProcess>

#include <csignal>
#include <sqlite3.h>

namespace {

QString DemoCapture(const QTemporaryDir& folder, int frames) {
    const QString path = folder.filePath(QStringLiteral("demo-%1.kss").arg(frames));
    EXPECT_EQ(QProcess::execute(ORCA5_DEMO_CAPTURE_PATH, {path, QString::number(frames)}), 0);
    return path;
}

std::string Integrity(const QString& archive) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(archive).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    std::string result = sqlite3_step(check) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(check, 0)) : "";
    sqlite3_finalize(check);
    sqlite3_close(db);
    return result;
}

}  // namespace

TEST(ArchiveProgram, WhatGoesInComesOutAsTodaysCsv) {
    QTemporaryDir folder;
    const QString capture = DemoCapture(folder, 300), archive = folder.filePath("mission.sqlite");
    const Finished in = Decode({"--archive", archive, capture});
    EXPECT_EQ(in.exitCode, 0);
    EXPECT_EQ(in.out, "") << "filling writes no rows";
    EXPECT_TRUE(in.err.contains("archive: 310 frames read, 310 new, 0 heard again")) << in.err.toStdString();
    EXPECT_TRUE(Decode({"--archive", archive, capture}).err.contains("310 already archived"));

    EXPECT_EQ(Decode({"--archive", archive}).out, Decode({"--quiet", capture}).out) << "byte for byte";
    // the demo's beacons come a minute apart from 14:00:12
    const Finished range = Decode({"--archive", archive, "--from", "2021-02-06 14:01:12.000Z", "--to", "2021-02-06T14:03:12Z",
                              "--channels", "Urbi,Battery 1 Volt"});
    EXPECT_EQ(range.out.left(range.out.indexOf('\n')), "time;Urbi;Battery 1 Volt;\r");
    EXPECT_EQ(range.out.count('\n'), 1 + 2) << "from inclusive, to exclusive";
    EXPECT_TRUE(range.out.contains("\n2021-02-06 14:01:12.137 UTC;"));
    const Finished json = Decode({"--archive", archive, "--jsonl", "--to", "2021-02-06 14:00:13"});
    EXPECT_TRUE(json.out.startsWith("{\"rx_time\":\"2021-02-06T14:00:12.000Z\"")) << json.out.left(200).toStdString();
    EXPECT_TRUE(json.out.contains("\"receptions\":1,")) << "read twice from the same file: one reception";

    EXPECT_EQ(Decode({"--archive", archive, "--rebuild"}).exitCode, 0);
    EXPECT_EQ(Decode({"--archive", archive}).out, Decode({"--quiet", capture}).out) << "the same after a rebuild";
    EXPECT_EQ(Decode({"--archive", archive, "--channels", "Urbi,Voltage"}).exitCode, 2);
    EXPECT_EQ(Decode({"--archive", archive, "--from", "yesterday"}).exitCode, 2);
    const Finished notArchive = Decode({"--archive", capture});
    EXPECT_EQ(notArchive.exitCode, 1);
    EXPECT_TRUE(notArchive.err.contains(capture.toUtf8() + " is not an orca5 archive"));
}

TEST(ArchiveProgram, AnIngestKilledHalfwayLosesNothingWhenRunAgain) {
    QTemporaryDir folder;
    const QString capture = DemoCapture(folder, 200000), archive = folder.filePath("mission.sqlite");
    QProcess ingest;
    ingest.start(ORCA5_DECODE_PATH, {"--archive", archive, capture});
    ASSERT_TRUE(ingest.waitForStarted());
    QTest::qWait(600);
    ::kill(static_cast<pid_t>(ingest.processId()), SIGKILL);
    ASSERT_TRUE(ingest.waitForFinished());
    EXPECT_EQ(Integrity(archive), "ok");

    EXPECT_EQ(Decode({"--archive", archive, capture}).exitCode, 0);
    EXPECT_EQ(Integrity(archive), "ok");
    const Finished rows = Decode({"--archive", archive, "--channels", "Urbi"});
    EXPECT_EQ(rows.out.count('\n'), 1 + 200000) << "none missing, none twice";
}

TEST(ArchiveProgram, ASmallDiskMidwaySaysWhyAndTheArchiveStaysSound) {
    QTemporaryDir folder;
    const QString capture = DemoCapture(folder, 20000);
    SmallDisk disk("1m");
    const QString archive = disk.FilePath("mission.sqlite");
    const Finished full = Decode({"--archive", archive, capture});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_TRUE(full.err.contains(archive.toUtf8() + ": database or disk is full")) << full.err.toStdString();
    EXPECT_EQ(Integrity(archive), "ok");
}

TEST(ArchiveProgram, AnArchiveOfAnOlderVersionIsReadAsItIsAlsoOnAReadOnlyMedium) {
    QTemporaryDir folder;
    SmallDisk medium("4m");
    const QString capture = DemoCapture(folder, 50);
    for (const QString& archive : {folder.filePath("old.sqlite"), medium.FilePath("mission.sqlite")}) {
        EXPECT_EQ(Decode({"--archive", archive, capture}).exitCode, 0);
        // as the first version left it: no summaries
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(archive).constData(), &db);
        EXPECT_EQ(sqlite3_exec(db, "DROP TABLE summaries_30min; DROP TABLE summaries_180min; DROP TABLE summaries_1440min; "
                                   "DROP INDEX frames_heard_long; ALTER TABLE frames DROP COLUMN last_ms; PRAGMA user_version = 1", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    const QString old = folder.filePath("old.sqlite");
    const QByteArray before = Contents(old);
    EXPECT_EQ(Decode({"--archive", old, "--channels", "Urbi"}).out.count('\n'), 1 + 50);
    EXPECT_EQ(Contents(old), before) << "taking rows out writes nothing, and migrates nothing";

    medium.MakeReadOnly();
    const Finished rows = Decode({"--archive", medium.FilePath("mission.sqlite"), "--channels", "Urbi"});
    EXPECT_EQ(rows.exitCode, 0) << rows.err.toStdString();
    EXPECT_EQ(rows.out.count('\n'), 1 + 50);
}

TEST(ArchiveProgram, TheWindowLiveAndAnIngestShareTheArchive) {
    QTemporaryDir folder;
    const QString archive = folder.filePath("mission.sqlite");
    LiveWindow live(kOrca5s, "ARCHIVE = " + archive.toUtf8() + "\r\nCALLSIGN = N0CALL\r\n");
    live.SwitchOn();
    live.harness.window.MnuHistory->trigger();  // a third connection, in the window's process
    ASSERT_TRUE(live.harness.window.history());
    QProcess ingest;
    ingest.start(ORCA5_DECODE_PATH, {"--archive", archive, "--quiet", DemoCapture(folder, 100000)});
    for (int n = 1; n <= 20; ++n) {
        live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(n))), n);
        QTest::qWait(20);
    }
    ASSERT_TRUE(ingest.state() == QProcess::NotRunning || ingest.waitForFinished(60000));
    EXPECT_EQ(ingest.exitCode(), 0) << ingest.readAllStandardError().toStdString();
    EXPECT_FALSE(live.harness.window.Text4->text().contains("could not keep")) << live.harness.window.Text4->text().toStdString();
    // the ingest that ended took the window for gone no more than the journal with it
    EXPECT_TRUE(QFile::exists(archive + "-wal"));
    for (int n = 21; n <= 40; ++n) live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(n))), n);
    // the last arrival is committed on the feed's thread a moment after it is shown
    EXPECT_TRUE(QTest::qWaitFor([&] {
        QString error;
        const auto reader = SqliteArchive::Open(archive, SqliteArchive::Mode::ReadOnly, error);
        return reader && reader->CountPackets({}) == 100000 + 40;
    }, 10000));

    const Finished json = Decode({"--archive", archive, "--jsonl", "--channels", "Urbi"});
    EXPECT_EQ(json.out.count('\n'), 100000 + 40) << live.harness.window.Text4->text().toStdString();
    EXPECT_EQ(json.out.count("\"stations\":\"N0CALL\""), 40) << "the window's live frames, with its callsign";
    EXPECT_EQ(Integrity(archive), "ok");
}

TEST(ArchiveProgram, NoOutputIsStandardInputTheArchiveOrTheOtherOutput) {
    QTemporaryDir folder;
    const QString capture = DemoCapture(folder, 20), archive = folder.filePath("tiny.sqlite");
    const QString export_ = folder.filePath("e.csv");
    ASSERT_EQ(Decode({"--archive", archive, capture}).exitCode, 0);
    WriteBytes(export_, "2021-02-06 14:00:00|" + HexText(NumberedBeacon(1)) + "\r\n");
    const QByteArray archiveBytes = Contents(archive), exportBytes = Contents(export_);
    const QString out = folder.filePath("out.csv");

    const std::pair<QStringList, const char*> refused[] = {
        {{"-o", export_, "-"}, " is an input"},
        {{"--text-beacons-file", export_, "-"}, " is an input"},
        {{"--archive", archive, capture, "--text-beacons-file", archive}, " is the archive"},
        {{"--archive", archive, capture, "--text-beacons-file", archive + "-wal"}, " is the archive"},
        {{"--archive", archive, "-o", archive}, " is the archive"},
        {{"-o", out, "--text-beacons-file", out, capture}, "--output and --text-beacons-file name one file"},
    };
    for (const auto& [arguments, why] : refused) {
        const Finished run = DecodeReading(export_, arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(why)) << run.err.toStdString();
    }
    EXPECT_EQ(Contents(archive), archiveBytes);
    EXPECT_EQ(Contents(export_), exportBytes);
    EXPECT_FALSE(QFile::exists(out));
}

TEST(ArchiveProgram, EmptyValuesAndReversedRangesAreUsageErrors) {
    QTemporaryDir folder;
    const QString archive = folder.filePath("mission.sqlite");
    ASSERT_EQ(Decode({"--archive", archive, DemoCapture(folder, 5)}).exitCode, 0);
    const std::pair<QStringList, const char*> refused[] = {
        {{"--from", ""}, "--from takes a UTC time"},
        {{"--to", ""}, "--to takes a UTC time"},
        {{"--from", "2021-13-01"}, "--from takes a UTC time"},
        {{"--channels", ""}, "--channels names no channel"},
        {{"--channels", ","}, "--channels names no channel"},
        {{"--from", "2021-02-07", "--to", "2021-02-06"}, "--to (2021-02-06) comes after --from (2021-02-07)"},
        {{"--from", "2021-02-06", "--to", "2021-02-06"}, "comes after"},
    };
    for (const auto& [arguments, why] : refused) {
        const Finished run = Decode(QStringList{"--archive", archive} + arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(why)) << run.err.toStdString();
        EXPECT_EQ(run.out, "");
    }
}

TEST(ArchiveProgram, PassesAndStationsOfTwoStationsThatHeardTheSameBeacons) {
    QTemporaryDir folder;
    const QString archive = folder.filePath("mission.sqlite");
    // N0BBB heard the first 100 of N0AAA's 300 beacons at the same times: ties go to N0AAA
    EXPECT_EQ(Decode({"--archive", archive, "--station", "N0AAA", DemoCapture(folder, 300)}).exitCode, 0);
    EXPECT_EQ(Decode({"--archive", archive, "--station", "N0BBB", DemoCapture(folder, 100)}).exitCode, 0);
    EXPECT_EQ(Decode({"--archive", archive, "--passes"}).out,
              "station;start;end;packets;first_heard;only_here\r\n"
              "N0AAA;2021-02-06 14:00:12.000 UTC;2021-02-06 18:59:12.963 UTC;300;300;200\r\n"
              "N0BBB;2021-02-06 14:00:12.000 UTC;2021-02-06 15:39:12.563 UTC;100;0;0\r\n");
    EXPECT_EQ(Decode({"--archive", archive, "--stations", "--jsonl", "--station", "N0BBB"}).out,
              "{\"station\":\"N0BBB\",\"passes\":1,\"packets\":100,\"first_heard\":0,\"only_here\":0,"
              "\"first\":\"2021-02-06 14:00:12.000 UTC\",\"last\":\"2021-02-06 15:39:12.563 UTC\"}\n");
    // beacons a minute apart, with a gap of half a minute: a pass each
    const Finished short_ = Decode({"--archive", archive, "--passes", "--pass-gap", "0.5", "--from", "2021-02-06 14:01:00",
                                    "--to", "2021-02-06 14:03:00", "--station", "N0BBB"});
    EXPECT_EQ(short_.out.count("\r\n"), 1 + 2) << short_.out.toStdString();
    const Finished over = Decode({"--archive", archive, "--stations", "--from", "2021-02-06 15:00:00"});
    EXPECT_TRUE(over.out.contains("\r\nN0AAA;1;240;240;200;2021-02-06 15:00:12")) << over.out.toStdString();
    for (const QStringList& wrong : {QStringList{"--passes", "--stations"}, {"--passes", "--pass-gap", "0"}, {"--passes", "--influx"},
                                     {"--pass-gap", "5"}, {"--stations", "--channels", "Urbi"}})
        EXPECT_EQ(Decode(QStringList{"--archive", archive} + wrong).exitCode, 2) << wrong.join(' ').toStdString();
}
