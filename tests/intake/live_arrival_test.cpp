#include "intake/frame_recognition.h"
#include "intake/kiss_file.h"
#include "intake/live_arrival.h"
#include "support/beacon_builder.h"
#include "support/files.h"
#include "support/small_disk.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <regex>

namespace {

// A live client in miniature: the de-framer's state and a capture folder of its own.
struct LiveHarness : DecoderHarness {
    using DecoderHarness::DecoderHarness;

    int Arrive(std::string_view chunk) {
        last = DecodeLiveChunk(context, stream, chunk, captureFolder);
        return last.frames;
    }
    QString CaptureFile() const {
        return CaptureFileName(captureFolder, QDateTime::currentDateTimeUtc().toString("yyyy-MM-dd").toStdString());
    }

    QTemporaryDir folder;
    QString captureFolder = folder.path();
    KissStream stream;
    LiveArrival last;
};


}  // namespace

TEST(LiveArrival, OneFrameIsDecodedStampedAndAppendedToTheDaysCaptureFile) {
    LiveHarness live;
    const std::string arrival = KissDataFrame(NumberedBeacon(4200));
    ASSERT_EQ(arrival.size(), 219u);

    EXPECT_EQ(live.Arrive(arrival), 1);
    ASSERT_EQ(live.state.packetCount, 1);
    EXPECT_EQ(live.state.packetStore[0].values[14], 4200);
    EXPECT_EQ(live.state.frameHex, HexText(NumberedBeacon(4200)));
    EXPECT_EQ(live.last.stored, 1);

    const std::string& rxTime = live.state.packetStore[0].rxTime;
    EXPECT_TRUE(std::regex_match(rxTime, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})"))) << rxTime;
    EXPECT_EQ(live.last.rxTimeText, rxTime + " UTC") << "one clock reading stamps the packet and the file";

    ASSERT_TRUE(live.last.lastWrite && live.last.lastWrite->written);
    EXPECT_EQ(live.last.lastWrite->frameBytes, 219u);
    EXPECT_EQ(live.last.lastWrite->fileName, live.CaptureFile());
    const QByteArray capture = Contents(live.CaptureFile());
    EXPECT_EQ(capture, Bytes("\xC0\x09" + live.last.rxTimeText + "\xC0" + arrival));
}

TEST(LiveArrival, PadsA200ByteFrameAndSkipsShortOnes) {
    LiveHarness live;
    EXPECT_EQ(live.Arrive(KissDataFrame(BeaconBuilder().u16(79, 7).payload())), 1);
    EXPECT_EQ(live.state.packetStore[0].values[14], 7);

    EXPECT_EQ(live.Arrive("\xC0\x00" "abc\xC0"), 0);
    EXPECT_EQ(live.Arrive(KissDataFrame("123456789")), 0) << "nine bytes after the command byte";
    EXPECT_FALSE(live.last.lastWrite) << "short frames are not recorded";
    EXPECT_EQ(live.Arrive(KissDataFrame("1234567890")), 1) << "ten bytes are recorded, though not telemetry";
    EXPECT_EQ(live.last.stored + live.last.refused, 0);
    EXPECT_EQ(live.state.packetCount, 1);
    EXPECT_EQ(Contents(live.CaptureFile()).count("\xC0\x09"), 2);
}

TEST(LiveArrival, FramesSplitOrSharingAnArrivalReadBackFromTheCaptureFile) {
    LiveHarness live;
    const std::string first = KissDataFrame(NumberedBeacon(1));
    const std::string second = KissDataFrame(NumberedBeacon(2), '\x10');  // any command byte is dropped
    const std::string third = KissDataFrame(NumberedBeacon(3));

    EXPECT_EQ(live.Arrive(first.substr(0, 100)), 0);
    EXPECT_EQ(live.Arrive(first.substr(100) + second + third.substr(0, 1)), 2);
    EXPECT_EQ(live.last.lastWrite->frameBytes, second.size()) << "the status line names the last frame";
    EXPECT_EQ(live.Arrive(third.substr(1)), 1);
    ASSERT_EQ(live.state.packetCount, 3);

    // each frame behind its own time stamp, as it arrived: the file reads back as the same packets
    DecoderHarness readBack;
    EXPECT_EQ(ReadKissFile(readBack.context, live.CaptureFile()).stored, 3);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(readBack.state.Packet(n)->values, live.state.Packet(n)->values) << n;
        EXPECT_EQ(readBack.state.Packet(n)->rxTime, live.state.Packet(n)->rxTime + " UTC") << n;
    }
}

TEST(LiveArrival, AnOverlongFrameIsDroppedAndTheNextOneDecoded) {
    LiveHarness live;
    EXPECT_EQ(live.Arrive("\xC0\x00" + std::string(KissStream::kMaxFrameBytes + 10, 'x')), 0);
    EXPECT_EQ(live.Arrive("more noise" + KissDataFrame(NumberedBeacon(9))), 1);
    EXPECT_EQ(live.state.packetStore[0].values[14], 9);
    EXPECT_EQ(live.stream.droppedFrames(), 1u);
    EXPECT_EQ(Contents(live.CaptureFile()).size(), 30 + 219);
}

TEST(LiveArrival, AFrameStillCountsWhenTheCaptureFileCannotBeWritten) {
    LiveHarness live;
    QDir(live.folder.path()).mkdir(QFileInfo(live.CaptureFile()).fileName());  // a folder in its place
    EXPECT_EQ(live.Arrive(KissDataFrame(NumberedBeacon(9))), 1);
    EXPECT_EQ(live.state.packetCount, 1);
    EXPECT_EQ(live.last.unrecorded, 1);
    ASSERT_TRUE(live.last.lastWrite);
    EXPECT_FALSE(live.last.lastWrite->written);
    EXPECT_FALSE(live.last.lastWrite->error.isEmpty());
}

TEST(LiveArrival, ASmallDiskIsToldWhenItStartsAndWhenItEnds) {
    SmallDisk disk;
    LiveHarness live;
    live.captureFolder = disk.Path();
    CaptureTrouble trouble;
    disk.Fill();
    live.Arrive(KissDataFrame(NumberedBeacon(1)));
    EXPECT_EQ(trouble.News(live.last), live.CaptureFile() + " could not be written: No space left on device");
    live.Arrive(KissDataFrame(NumberedBeacon(2)) + KissDataFrame(NumberedBeacon(3)));
    EXPECT_EQ(trouble.News(live.last), "") << "told once, not once a frame";
    disk.Free();
    live.Arrive(KissDataFrame(NumberedBeacon(4)));
    EXPECT_EQ(trouble.News(live.last), live.CaptureFile() + " can be written again: 3 frames were not recorded");
    EXPECT_EQ(live.state.packetCount, 4) << "every frame decoded all the same";
    EXPECT_EQ(Contents(live.CaptureFile()).size(), 30 + 219);
    EXPECT_EQ(trouble.News(live.last), "");
}

TEST(LiveArrival, AsRecordedTheLivePacketTakesTheStampAndTextBeaconsAreListed) {
    LiveHarness live(kDecodeLog);
    const std::string beacon = BytesFromHex(SatelliteHeaderHex) + ">hello";
    live.Arrive(KissDataFrame(NumberedBeacon(1)) + KissDataFrame(beacon));
    EXPECT_EQ(live.last.textBeacons, 1);
    ASSERT_EQ(live.view.beaconText.size(), 1u);
    EXPECT_TRUE(live.view.beaconText[0].ends_with(" UTC | hello")) << live.view.beaconText[0];
    EXPECT_EQ(live.state.Packet(1)->rxTime, Contents(live.CaptureFile()).mid(2, 27).toStdString());

    LiveHarness window(kOrca5sLog);
    window.Arrive(KissDataFrame(NumberedBeacon(1)) + KissDataFrame(beacon));
    EXPECT_EQ(window.last.textBeacons, 0);
    EXPECT_TRUE(window.view.beaconText.empty()) << "the window lists them from the capture file";
}

TEST(LiveArrival, AFullStoreRefusesButStillRecords) {
    LiveHarness live;
    live.state.packetCount = kStoreCapacity;
    EXPECT_EQ(live.Arrive(KissDataFrame(NumberedBeacon(1)) + KissDataFrame(NumberedBeacon(2))), 2);
    EXPECT_EQ(live.last.refused, 2);
    EXPECT_EQ(live.state.packetCount, kStoreCapacity);
    EXPECT_EQ(Contents(live.CaptureFile()).size(), 2 * (30 + 219));
}

TEST(LiveArrival, TheEarlierProgramLogsEachArrivalItself) {
    LiveHarness live(kOrca5Log);
    live.Arrive(KissDataFrame(NumberedBeacon(1)));
    ASSERT_EQ(live.view.frameLog.size(), 1u);
    EXPECT_EQ(live.view.frameLog[0], live.state.Packet(1)->rxTime + " | 216 | " + HexText(NumberedBeacon(1)));

    LiveHarness current(kOrca5sLog);
    current.Arrive(KissDataFrame(NumberedBeacon(1)));
    EXPECT_EQ(current.view.frameLog, std::vector<std::string>{current.state.Packet(1)->rxTime + " | " + HexText(NumberedBeacon(1))});
}

TEST(CaptureLog, OneFilePerUtcDay) {
    QTemporaryDir folder;
    EXPECT_TRUE(AppendToCaptureLog(folder.path(), "2021-02-06 23:59:59.999", "one").written);
    EXPECT_TRUE(AppendToCaptureLog(folder.path(), "2021-02-07 00:00:00.000", "two").written);
    EXPECT_TRUE(AppendToCaptureLog(folder.path(), "2021-02-07 00:00:01.000", "three").written);
    EXPECT_EQ(Contents(folder.filePath("2021-02-06_orca5.kss")), "one");
    EXPECT_EQ(Contents(folder.filePath("2021-02-07_orca5.kss")), "twothree");
}
