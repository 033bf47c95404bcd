// orca5-decode with a PostgreSQL archive on a server the test starts: made by its owner,
// filled by a station, read out as an SQLite archive reads out, and charted as a dashboard
// would chart it.
#include "support/decode_process.h"
#include "support/kiss_server.h"
#include "support/postgres_server.h"
#include "support/qt_printing.h"
#include "support/window_harness.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include <csignal>

TEST(SharedArchiveProgram, AStationFillsWhatTheOwnerMadeAndItReadsOutAsAnSqliteArchive) {
    LocalPostgresServer server;
    ASSERT_EQ(server.problem, "");
    QTemporaryDir folder;
    const QString capture = folder.filePath("pass.kss"), local = folder.filePath("mission.sqlite");
    QProcess::execute(ORCA5_DEMO_CAPTURE_PATH, {capture, "300"});
    ASSERT_EQ(server.Sql("orca5", "CREATE ROLE station LOGIN PASSWORD 'station secret'"), "");
    const QString station = server.Url("station", "station secret");

    // before the owner made it, a station is told what to run, and nothing is written
    const Finished early = Decode({"--archive", station, capture});
    EXPECT_EQ(early.exitCode, 1);
    EXPECT_TRUE(early.err.contains("has no orca5 archive yet; its owner runs: orca5-decode --archive postgresql://orca5_owner@"))
        << early.err.toStdString();
    EXPECT_FALSE(early.err.contains("secret")) << "no message shows the password";

    const Finished made = Decode({"--archive", server.Url(), "--migrate"});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    // made, but not yet granted: the station is told what it lacks, writing or migrating
    for (const QStringList& arguments : {QStringList{capture}, QStringList{"--migrate"}}) {
        const Finished refused = Decode(QStringList{"--archive", station} + arguments);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.contains("permission denied for table orca5_schema")) << refused.err.toStdString();
        EXPECT_FALSE(refused.err.contains("transaction is aborted")) << refused.err.toStdString();
    }
    EXPECT_TRUE(Decode({"--archive", station, capture}).err.contains("the archive's owner grants this role SELECT, INSERT and UPDATE"));
    // a station's role as README makes it
    ASSERT_EQ(server.Sql("orca5", "GRANT SELECT, INSERT, UPDATE ON ALL TABLES IN SCHEMA public TO station;"
                                  "GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO station"),
              "");
    const Finished filled = Decode({"--archive", station, "--station", "N0CALL", capture});
    ASSERT_EQ(filled.exitCode, 0) << filled.err.toStdString();
    EXPECT_TRUE(filled.err.contains("archive: 310 frames read, 310 new")) << filled.err.toStdString();
    ASSERT_EQ(Decode({"--archive", local, "--station", "N0CALL", capture}).exitCode, 0);
    for (const QStringList& query : {QStringList{}, QStringList{"--jsonl"}, QStringList{"--text-beacons"},
                                     QStringList{"--from", "2021-02-06 15:00:00", "--channels", "Battery 1 Volt"}}) {
        const Finished shared = Decode(QStringList{"--archive", station} + query);
        EXPECT_EQ(shared.exitCode, 0) << shared.err.toStdString();
        EXPECT_EQ(shared.out, Decode(QStringList{"--archive", local} + query).out) << query.join(' ').toStdString();
    }

    // a time-series panel's SQL as README gives it, the time filter as the dashboard fills it in
    EXPECT_EQ(server.Value("SELECT count(*) FROM (SELECT time AS \"time\", battery_1_volt FROM packets "
                           "WHERE time BETWEEN '2021-02-06T14:00:00Z' AND '2021-02-06T15:00:00Z' ORDER BY 1) panel"),
              "60");
}

TEST(SharedArchiveProgram, TheWindowArchivesIntoTheServerAndBrowsesIt) {
    LocalPostgresServer server;
    ASSERT_EQ(server.problem, "");
    ASSERT_EQ(Decode({"--archive", server.Url(), "--migrate"}).exitCode, 0);
    WindowHarness harness(kOrca5s, "ARCHIVE = " + server.Url().toUtf8() + "\r\n");
    const QString capture = harness.folder.filePath("pass.kss");
    QProcess::execute(ORCA5_DEMO_CAPTURE_PATH, {capture, "120"});
    harness.dialogs.answers.push_back(QStringList{capture});
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_EQ(server.Value("SELECT count(*) FROM packets"), "120");

    harness.window.LoadTimeRange({1612620000000, 1612623600000});  // 14:00 to 15:00
    EXPECT_EQ(harness.state.packetCount, 60);
    harness.window.WriteCSVFile_Click();
    EXPECT_EQ(harness.window.Text4->text(), harness.folder.filePath("orca5-archive_20210206-20210206.csv") + " has been written")
        << "beside the capture files";
    harness.window.MnuHistory->trigger();
    QApplication::processEvents();
    ASSERT_TRUE(harness.window.history());
    std::int64_t drawn = 0;
    for (const HistoryColumn& column : harness.window.history()->series()[0]) drawn += column.values.packets;
    EXPECT_EQ(drawn, 120);

    // away while an import runs: its frames wait; back, they are written while ranges are loaded
    const QString receptions = server.Value("SELECT count(*) FROM receptions");
    server.Stop();
    harness.dialogs.answers.push_back(QStringList{capture});
    harness.window.MnuOpenKISSFile_Click();
    const QString waiting = harness.folder.filePath("archive-waiting.txt");
    ASSERT_TRUE(QFile::exists(waiting));
    ASSERT_TRUE(server.Start()) << server.problem.toStdString();
    int loads = 0;
    for (; QFile::exists(waiting) && loads < 400; ++loads) {
        harness.window.LoadTimeRange({1612620000000, 1612623600000});
        EXPECT_EQ(harness.state.packetCount, 60) << harness.window.Text4->text().toStdString();
        QTest::qWait(25);
    }
    EXPECT_FALSE(QFile::exists(waiting)) << "written once the server answered, after " << loads << " loads";
    EXPECT_EQ(server.Value("SELECT count(*) FROM receptions"), receptions) << "each once";
}

TEST(SharedArchiveProgram, ARecorderKeepsEveryFrameThroughAServerThatGoesAwayAndARestart) {
    LocalPostgresServer database;
    ASSERT_EQ(database.problem, "");
    ASSERT_EQ(Decode({"--archive", database.Url(), "--migrate"}).exitCode, 0);
    QTemporaryDir folder;
    LocalKissServer kiss;
    std::unique_ptr<QProcess> recorder;
    const auto start = [&] {
        recorder = std::make_unique<QProcess>();
        recorder->start(ORCA5_DECODE_PATH, {"--live", QStringLiteral("127.0.0.1:%1").arg(kiss.port), "--capture-dir", folder.path(),
                                            "--archive", database.Url(), "--station", "N0CALL", "--quiet"});
        kiss.Accept();
    };
    const auto send = [&](int first, int last) {
        std::string frames;
        for (int n = first; n <= last; ++n) frames += KissDataFrame(NumberedBeacon(n));
        kiss.Send(Bytes(frames));
    };
    const auto archived = [&] { return database.Value("SELECT count(*) FROM receptions").toInt(); };
    const QString waiting = folder.filePath("archive-waiting.txt");

    start();
    send(1, 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return archived() == 5; }, 10000)) << archived();
    database.Stop();
    send(6, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(waiting) && Contents(waiting).count('\n') == 5; }, 10000))
        << Contents(waiting).toStdString();
    // the program ends while they wait, and is started again once the server is back
    ::kill(static_cast<pid_t>(recorder->processId()), SIGTERM);
    ASSERT_TRUE(recorder->waitForFinished(10000));
    const QByteArray said = recorder->readAllStandardError();
    EXPECT_TRUE(said.contains("archive: cannot be reached; frames wait in " + waiting.toUtf8())) << said.toStdString();
    ASSERT_TRUE(database.Start()) << database.problem.toStdString();
    start();
    send(11, 12);
    ASSERT_TRUE(QTest::qWaitFor([&] { return archived() == 12; }, 15000)) << archived();
    EXPECT_FALSE(QFile::exists(waiting));
    // away and back while it runs: it connects again and writes what waited
    database.Stop();
    send(13, 14);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(waiting) && Contents(waiting).count('\n') == 2; }, 10000));
    ASSERT_TRUE(database.Start());
    send(15, 15);
    ASSERT_TRUE(QTest::qWaitFor([&] { return archived() == 15; }, 15000)) << archived();
    EXPECT_EQ(database.Value("SELECT count(*) FROM frames"), "15") << "each once";
    ::kill(static_cast<pid_t>(recorder->processId()), SIGTERM);
    ASSERT_TRUE(recorder->waitForFinished(10000));
}
