#include "intake/frame_recognition.h"
#include "intake/kiss_file.h"
#include "support/beacon_builder.h"
#include "support/recording_view.h"
#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

std::string TimeFrame(std::string_view text) {
    std::string frame;
    AppendRxTimeFrame(frame, text);
    return frame;
}

// A text beacon of the satellite: its header, one byte, the text.
std::string TextBeacon(std::string_view text) { return BytesFromHex(SatelliteHeaderHex) + ">" + std::string(text); }

std::string WithCurrentLevel(std::uint16_t milliamperes) { return BeaconBuilder().u16(79, milliamperes).build(); }

}  // namespace

TEST(KissCapture, TimeStampFramesStampTheFramesAfterThem) {
    const std::string capture = "junk before" + TimeFrame("2021-02-06 14:00:00.100 UTC") +
                                KissDataFrame(WithCurrentLevel(1)) + TimeFrame("2021-02-06 14:01:00.200 UTC") +
                                KissDataFrame(BeaconBuilder().u16(79, 2).payload()) +
                                KissDataFrame(WithCurrentLevel(3)) + "\xC0\x00 a last frame without its FEND";
    DecoderHarness harness;
    const KissCaptureOutcome outcome = DecodeKissCapture(harness.context, capture);

    EXPECT_TRUE(outcome.read);
    EXPECT_EQ(outcome.dataFrames, 3);
    EXPECT_EQ(outcome.stored, 3);
    ASSERT_EQ(harness.state.packetCount, 3);
    const PacketStore& store = harness.state.packetStore;
    EXPECT_EQ(store[0].rxTime, "2021-02-06 14:00:00.100 UTC");
    EXPECT_EQ(store[1].rxTime, "2021-02-06 14:01:00.200 UTC");
    EXPECT_EQ(store[2].rxTime, "2021-02-06 14:01:00.200 UTC");
    EXPECT_EQ(store[0].values[14], 1);
    EXPECT_EQ(store[1].values[14], 2) << "a 200-byte frame decodes behind 16 spaces";
    EXPECT_EQ(store[2].values[14], 3);
    EXPECT_EQ(harness.view.frameLog.back(), "2021-02-06 14:01:00.200 UTC | " + HexText(WithCurrentLevel(3)));
}

TEST(KissCapture, EscapedBytesComeBackInTheValues) {
    DecoderHarness harness;
    DecodeKissCapture(harness.context, KissDataFrame(BeaconBuilder().u16(77, 0xC0DB).u32(47, 0xDBDCDDC0).build()));
    ASSERT_EQ(harness.state.packetCount, 1);
    EXPECT_EQ(harness.state.packetStore[0].values[13], 0xC0DB / 1000.0);
    EXPECT_EQ(harness.state.packetStore[0].values[3], 0xDBDCDDC0);
}

TEST(KissCapture, NothingToCutLeavesTheContextAlone) {
    for (const std::string capture : {"", "no delimiter at all", "\xC0 one FEND only", "\xC0\xC0\xC0"}) {
        DecoderHarness harness;
        harness.context.rxTimeText = "kept";
        const KissCaptureOutcome outcome = DecodeKissCapture(harness.context, capture);
        EXPECT_EQ(outcome.dataFrames, 0);
        EXPECT_EQ(harness.context.rxTimeText, "kept");
        EXPECT_TRUE(harness.view.frameLog.empty());
    }
}

TEST(KissCapture, OnlyTelemetryLengthsAreDecoded) {
    DecoderHarness harness;
    for (const std::size_t length : {199u, 201u, 215u, 217u}) {
        EXPECT_EQ(DecodeKissCapture(harness.context, KissDataFrame(std::string(length, 'a'))).dataFrames, 1);
    }
    EXPECT_EQ(harness.state.packetCount, 0);
    EXPECT_TRUE(harness.view.frameLog.empty());
}

TEST(KissCapture, MillisecondTimeStampsAreNineBytesWhateverTheyHold) {
    DecoderHarness harness;
    DecodeKissCapture(harness.context, std::string("\xC0\x09\x00\x00\x01\x77\x77\xA4\x6B\x7B\xC0", 11) +
                                           KissDataFrame(WithCurrentLevel(1)));
    EXPECT_EQ(harness.state.packetStore[0].rxTime, GeneralDateText(QDateTime(QDate(2021, 2, 6), QTime(14, 0), Qt::UTC),
                                                                   QLocale()) + ".123 UTC");

    DecodeKissCapture(harness.context, "\xC0\x09" "12345678\xC0");
    EXPECT_TRUE(harness.context.rxTimeText.ends_with(" UTC"));
    EXPECT_NE(harness.context.rxTimeText, harness.state.packetStore[0].rxTime) << "read as a count, not as text";
}

TEST(KissCapture, TextBeaconsOfTheSatelliteAreLogged) {
    const std::string capture = TimeFrame("2021-02-06 14:00:00.000 UTC") + KissDataFrame(TextBeacon("Hello from orbit")) +
                                KissDataFrame("xy" + TextBeacon("found anywhere")) +
                                KissDataFrame(BeaconBuilder().text(0, "NOT THE SATELLITE").build());
    DecoderHarness harness;
    DecodeKissCapture(harness.context, capture);
    EXPECT_EQ(harness.view.beaconText,
              (std::vector<std::string>{"2021-02-06 14:00:00.000 UTC | Hello from orbit",
                                        "2021-02-06 14:00:00.000 UTC | \xF0>found anywhere"}));
    EXPECT_EQ(harness.state.packetCount, 1) << "any station's 216-byte frame is telemetry";

    DecoderHarness earlier(kOrca5Log);
    DecodeKissCapture(earlier.context, capture);
    EXPECT_EQ(earlier.view.beaconText, (std::vector<std::string>{">Hello from orbit", "\x03\xF0>found anywhere"}));
    EXPECT_EQ(earlier.view.frameLog, std::vector<std::string>{"kiss frames: 8"});
}

TEST(KissCapture, AFullStoreRefusesAndTheReadGoesOn) {
    DecoderHarness harness;
    harness.state.packetCount = kStoreCapacity;
    const KissCaptureOutcome outcome =
        DecodeKissCapture(harness.context, KissDataFrame(WithCurrentLevel(1)) + KissDataFrame(TextBeacon("still logged")));
    EXPECT_EQ(outcome.refused, 1);
    EXPECT_EQ(outcome.stored, 0);
    EXPECT_EQ(harness.view.beaconText.size(), 1u);
}

TEST(KissFile, ReadsAFileWholeAndSaysWhyItCannot) {
    QTemporaryDir folder;
    const QString path = folder.filePath("2021-02-06_orca5.kss");
    std::string capture;
    for (std::uint16_t i = 1; i <= 3; ++i) {
        AppendRxTimeFrame(capture, "2021-02-06 14:00:0" + std::to_string(i) + ".000 UTC");
        capture += KissDataFrame(WithCurrentLevel(i));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(capture.data(), static_cast<qint64>(capture.size()));
    file.close();

    DecoderHarness harness;
    const KissCaptureOutcome outcome = ReadKissFile(harness.context, path);
    EXPECT_TRUE(outcome.read);
    EXPECT_EQ(outcome.stored, 3);
    EXPECT_EQ(harness.state.packetStore[2].rxTime, "2021-02-06 14:00:03.000 UTC");
    EXPECT_EQ(harness.state.packetStore[2].values[14], 3);

    const KissCaptureOutcome missing = ReadKissFile(harness.context, folder.filePath("missing.kss"));
    EXPECT_FALSE(missing.read);
    EXPECT_FALSE(missing.error.isEmpty());
    const KissCaptureOutcome folderItself = ReadKissFile(harness.context, folder.path());
    EXPECT_FALSE(folderItself.read);
    EXPECT_EQ(harness.state.packetCount, 3);
}
