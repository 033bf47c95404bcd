// orca5-decode --live as a station runs it: a process against a local KISS server and a local
// stand-in for the SatNOGS database, ended by SIGTERM and by SIGKILL, and started again.
#include "intake/capture_log.h"
#include "intake/kiss_file.h"
#include "support/decode_process.h"
#include "support/fake_sids_server.h"
#include "support/kiss_server.h"
#include "support/recording_view.h"
#include "support/small_disk.h"
#include "support/window_harness.h"
#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QSet>

#include <csignal>

namespace {

struct Station {
    Station() {
        WriteBytes(folder.filePath("station.ini"), "SIDS = YES\nSIDS_URL = " + database.Url().toStdString() +
                                                       "\nCALLSIGN = N0CALL\nLATITUDE = 48.85\n"
                                                       "LONGITUDE = -59.34\nNORAD_ID = 99999\n");
    }

    // Starts the recorder and waits until the server has its connection.
    void Start() {
        recorder = std::make_unique<QProcess>();
        recorder->start(ORCA5_DECODE_PATH, {"--live", QStringLiteral("127.0.0.1:%1").arg(server.port), "--capture-dir",
                                            folder.path(), "--conf", folder.filePath("station.ini"), "--jsonl",
                                            "--archive", folder.filePath("mission.sqlite")});
        server.Accept();
    }

    // Sends numbered beacons, and a frame of another station, and waits for their rows.
    void Send(int first, int last) {
        std::string frames = KissDataFrame("another station's frame");
        for (int n = first; n <= last; ++n) frames += KissDataFrame(NumberedBeacon(n));
        server.Send(Bytes(frames));
        ASSERT_TRUE(QTest::qWaitFor([&] { return (rows += recorder->readAllStandardOutput()).count('\n') == last; }, 10000))
            << rows.toStdString();
    }

    void Stop(int signal) {
        ::kill(static_cast<pid_t>(recorder->processId()), signal);
        ASSERT_TRUE(recorder->waitForFinished(10000));
    }

    QTemporaryDir folder;
    LocalKissServer server;
    FakeSidsServer database;
    std::unique_ptr<QProcess> recorder;
    QByteArray rows;
};

}  // namespace

TEST(Recorder, KeepsAndForwardsEveryFrameThroughSigtermAndSigkill) {
    Station station;
    station.Start();
    station.Send(1, 3);
    station.Stop(SIGTERM);
    EXPECT_EQ(station.recorder->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(station.recorder->exitCode(), 0);

    station.Start();
    station.Send(4, 6);
    station.Stop(SIGKILL);

    station.Start();
    station.Send(7, 9);
    QSet<QString> forwarded;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (const QString& frame : station.database.Frames()) forwarded.insert(frame);
        return forwarded.size() == 9;
    }, 20000)) << forwarded.size() << " frames at the database";
    for (int n = 1; n <= 9; ++n) EXPECT_TRUE(forwarded.contains(QString::fromStdString(HexText(NumberedBeacon(n))))) << n;
    station.Stop(SIGTERM);

    // every frame in the day's capture file, once and in order, the other station's too
    DecoderHarness readBack;
    const KissCaptureOutcome capture =
        ReadKissFile(readBack.context, CaptureFileName(station.folder.path(), UtcTimestampText()));
    EXPECT_EQ(capture.dataFrames, 12);
    EXPECT_EQ(StoredUrbi(readBack.state), (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9}));

    // and in the archive before its row was written, with the station's callsign
    const Finished archived = Decode({"--archive", station.folder.filePath("mission.sqlite"), "--jsonl", "--channels", "Urbi"});
    EXPECT_EQ(archived.out.count("\"stations\":\"N0CALL\""), 9) << archived.out.toStdString();
}

TEST(Recorder, ALastBatchTheArchiveCouldNotKeepEndsItWithOne) {
    QTemporaryDir folder;
    SmallDisk disk("1m");
    LocalKissServer server;
    QProcess recorder;
    recorder.start(ORCA5_DECODE_PATH, {"--live", QStringLiteral("127.0.0.1:%1").arg(server.port), "--capture-dir", folder.path(),
                                       "--archive", disk.FilePath("mission.sqlite"), "--quiet"});
    server.Accept();
    QByteArray rows;
    const auto send = [&](int first, int last) {
        std::string frames;
        for (int n = first; n <= last; ++n) frames += KissDataFrame(NumberedBeacon(n));
        server.Send(Bytes(frames));
        ASSERT_TRUE(QTest::qWaitFor([&] { return (rows += recorder.readAllStandardOutput()).count('\n') == 1 + last; }, 10000));
    };
    send(1, 1);
    disk.Fill();
    send(2, 40);
    ::kill(static_cast<pid_t>(recorder.processId()), SIGTERM);
    ASSERT_TRUE(recorder.waitForFinished(10000));
    EXPECT_EQ(recorder.exitCode(), 1);
    const QByteArray said = recorder.readAllStandardError();
    EXPECT_TRUE(said.contains("archive: the last frames were not kept: database or disk is full")) << said.toStdString();
}
