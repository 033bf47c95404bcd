// orca5-decode with a limits file: the summary, the transitions as rows, the command told of
// each, and the same transitions from the archive as from its files.
#include "intake/kiss.h"
#include "support/beacon_builder.h"
#include "support/decode_process.h"
#include "support/files.h"
#include "support/kiss_server.h"
#include "telemetry/hex_text.h"
#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr char kLimits[] = "LIMIT \"Battery 1 Volt\" 3.3 3.5 4.2 4.4\nSET TVAC\nLIMIT \"Battery 1 Volt\" 3.0 3.2 4.5 4.7\n";

// A packet a minute from 14:00 with Battery 1 Volt at these millivolts each.
std::string Capture(const std::vector<int>& millivolts) {
    std::string capture;
    for (std::size_t n = 0; n < millivolts.size(); ++n) {
        AppendRxTimeFrame(capture, RxTimeTextOf(1612620000000 + 60000 * static_cast<std::int64_t>(n)));
        capture += KissDataFrame(BeaconBuilder().u16(79, static_cast<std::uint16_t>(n + 1)).u16(85, static_cast<std::uint16_t>(millivolts[n])).build());
    }
    return capture;
}

struct LimitsRun {
    QTemporaryDir folder;
    QString capture = WriteBytes(folder.filePath("pass.kss"), Capture({4000, 3210, 4000, 3210}));
    QString limits = WriteBytes(folder.filePath("limits.txt"), kLimits);
};

}  // namespace

TEST(DecodeLimits, TheRowsStayAndTheSummaryTellsTheTransitions) {
    LimitsRun run;
    const Finished plain = Decode({run.capture});
    const Finished judged = Decode({run.capture, "--limits", run.limits});
    EXPECT_EQ(judged.exitCode, 0) << judged.err.toStdString();
    EXPECT_EQ(judged.out, plain.out) << "the rows as without limits";
    EXPECT_TRUE(judged.err.contains("orca5-decode: 3 limit transitions; out of limits now: Battery 1 Volt red_low (3.21 < 3.3)\n"))
        << judged.err.toStdString();
    const Finished tvac = Decode({run.capture, "--limits", run.limits, "--limit-set", "TVAC"});
    EXPECT_TRUE(tvac.err.contains("0 limit transitions; out of limits now: none")) << tvac.err.toStdString();
}

TEST(DecodeLimits, AlarmsAreARowATransitionInCsvOrJsonLines) {
    LimitsRun run;
    const Finished csv = Decode({run.capture, "--limits", run.limits, "--alarms", "-q"});
    EXPECT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    EXPECT_EQ(csv.out, "time;channel;state;previous;value;limit\r\n"
                       "2021-02-06 14:01:00.000 UTC;Battery 1 Volt;red_low;green;3.21;3.3\r\n"
                       "2021-02-06 14:02:00.000 UTC;Battery 1 Volt;green;red_low;4;\r\n"
                       "2021-02-06 14:03:00.000 UTC;Battery 1 Volt;red_low;green;3.21;3.3\r\n");
    const Finished json = Decode({run.capture, "--limits", run.limits, "--alarms", "--jsonl", "-q"});
    EXPECT_EQ(json.out.split('\n').first(),
              R"({"time":"2021-02-06T14:01:00.000Z","channel":"Battery 1 Volt","state":"red_low","previous":"green","value":3.21,"limit":3.3})");
}

TEST(DecodeLimits, ASatnogsExportIsJudgedOldestFirst) {
    LimitsRun run;
    // an export lists the newest first: 14:02 at 4 V, 14:01 at 3.21 V, 14:00 at 4 V
    std::string lines;
    for (const auto& [time, millivolts] : {std::pair{"14:02", 4000}, {"14:01", 3210}, {"14:00", 4000}})
        lines += std::string("2021-02-06 ") + time + ":00|" +
                 HexText(BeaconBuilder().u16(85, static_cast<std::uint16_t>(millivolts)).build()) + "\r\n";
    const QString export_ = WriteBytes(run.folder.filePath("export.csv"), lines);
    const Finished judged = Decode({export_, "--limits", run.limits, "--alarms", "-q"});
    EXPECT_EQ(judged.out, "time;channel;state;previous;value;limit\r\n"
                          "2021-02-06 14:01:00;Battery 1 Volt;red_low;green;3.21;3.3\r\n"
                          "2021-02-06 14:02:00;Battery 1 Volt;green;red_low;4;\r\n")
        << judged.err.toStdString();
}

TEST(DecodeLimits, TheCommandIsToldOfEachTransitionInOrderAndAFailureCounted) {
    LimitsRun run;
    const QString log = run.folder.filePath("hook.log");
    const Finished told = Decode({run.capture, "--limits", run.limits, "--alarms", "--on-alarm",
                                  "printf '%s|%s|%s|%s|%s|%s|%s\\n' \"$ORCA5_TIME\" \"$ORCA5_CHANNEL\" \"$ORCA5_STATE\" \"$ORCA5_PREVIOUS\" "
                                  "\"$ORCA5_VALUE\" \"$ORCA5_LIMIT\" \"$ORCA5_STATION\" >> '" + log + "'; echo not a row",
                                  "--station", "N0CALL"});
    EXPECT_EQ(told.exitCode, 0) << told.err.toStdString();
    EXPECT_EQ(Contents(log), "2021-02-06 14:01:00.000 UTC|Battery 1 Volt|red_low|green|3.21|3.3|N0CALL\n"
                             "2021-02-06 14:02:00.000 UTC|Battery 1 Volt|green|red_low|4||N0CALL\n"
                             "2021-02-06 14:03:00.000 UTC|Battery 1 Volt|red_low|green|3.21|3.3|N0CALL\n")
        << "every command done before the program ends, one at a time";
    EXPECT_FALSE(told.out.contains("not a row")) << "a command's output never mixes with the rows";
    EXPECT_TRUE(told.err.contains("3 alarm commands run, 0 failed")) << told.err.toStdString();

    const Finished failing = Decode({run.capture, "--limits", run.limits, "--on-alarm", "exit 3"});
    EXPECT_EQ(failing.exitCode, 0);
    EXPECT_TRUE(failing.err.contains("3 alarm commands run, 3 failed (the first: exit status 3)")) << failing.err.toStdString();
}

TEST(DecodeLimits, ABadFileOrSetExitsTwoNamingTheLineAndWritesNothing) {
    LimitsRun run;
    const QString bad = WriteBytes(run.folder.filePath("bad.txt"), "# limits\nLIMIT \"Batery 1 Volt\" 3.3 3.5 4.2 4.4\n");
    const Finished refused = Decode({run.capture, "--limits", bad});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.contains((bad + ":2: no channel is named \"Batery 1 Volt\" (did you mean \"Battery 1 Volt\"?)").toUtf8()))
        << refused.err.toStdString();
    const Finished noSet = Decode({run.capture, "--limits", run.limits, "--limit-set", "FLIGHT"});
    EXPECT_EQ(noSet.exitCode, 2);
    EXPECT_TRUE(noSet.err.contains("no set is named \"FLIGHT\"")) << noSet.err.toStdString();
    EXPECT_EQ(Decode({run.capture, "--alarms"}).exitCode, 2) << "--alarms goes with --limits";
}

TEST(DecodeLimits, TheArchiveGivesTheSameTransitionsAsItsFiles) {
    LimitsRun run;
    const QString archive = run.folder.filePath("mission.sqlite");
    ASSERT_EQ(Decode({"--archive", archive, run.capture, "-q"}).exitCode, 0);
    const Finished fromFile = Decode({run.capture, "--limits", run.limits, "--alarms", "-q"});
    const Finished fromArchive = Decode({"--archive", archive, "--limits", run.limits, "--alarms", "-q"});
    EXPECT_EQ(fromArchive.exitCode, 0) << fromArchive.err.toStdString();
    EXPECT_EQ(fromArchive.out, fromFile.out);
}

TEST(DecodeLimits, LiveEachTransitionIsARowAtOnceAndASilentSatelliteTurnsStale) {
    LimitsRun run;
    const QString limits = WriteBytes(run.folder.filePath("live.txt"), "LIMIT \"Battery 1 Volt\" 3.3 3.5 4.2 4.4\nSTALE 0.02\n");
    LocalKissServer server;
    QProcess recorder;
    recorder.start(ORCA5_DECODE_PATH, {"--live", QStringLiteral("127.0.0.1:%1").arg(server.port), "--capture-dir", run.folder.path(),
                                       "--limits", limits, "--alarms"});
    server.Accept();
    QByteArray rows;
    const auto waitFor = [&](const char* text) {
        return QTest::qWaitFor([&] { return (rows += recorder.readAllStandardOutput()).contains(text); }, 15000);
    };
    server.Send(Bytes(KissDataFrame(BeaconBuilder().u16(79, 1).u16(85, 3210).build())));
    EXPECT_TRUE(waitFor(";Battery 1 Volt;red_low;green;3.21;3.3\r\n")) << rows.toStdString();
    // a second and more without a packet: stale, told without waiting for one
    EXPECT_TRUE(waitFor(";*;stale;fresh;;\r\n")) << rows.toStdString();
    server.Send(Bytes(KissDataFrame(BeaconBuilder().u16(79, 2).u16(85, 4000).build())));
    EXPECT_TRUE(waitFor(";Battery 1 Volt;green;red_low;4;\r\n")) << rows.toStdString();
    EXPECT_TRUE(rows.contains(";*;fresh;stale;;\r\n")) << "the satellite's transition first";
    EXPECT_LT(rows.indexOf(";*;fresh;stale;;"), rows.indexOf(";Battery 1 Volt;green;red_low;"));
    ::kill(static_cast<pid_t>(recorder.processId()), SIGTERM);
    ASSERT_TRUE(recorder.waitForFinished(10000));
    EXPECT_EQ(recorder.exitCode(), 0);
}
