#include "intake/kiss.h"
#include "intake/live_chunk.h"
#include "support/beacon_builder.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <regex>

namespace {

// A live client in miniature: the de-framer's state and what went to the capture log.
struct LiveHarness : DecoderHarness {
    using DecoderHarness::DecoderHarness;

    int Arrive(std::string_view chunk) {
        return DecodeLiveChunk(context, stream, chunk, [&](const KissFrame& frame) { captured.emplace_back(frame.raw); });
    }

    KissStream stream;
    std::vector<std::string> captured;
};

std::string Beacon(std::uint16_t milliamperes) { return BeaconBuilder().u16(79, milliamperes).build(); }

}  // namespace

TEST(LiveChunk, OneFrameIsDecodedStampedAndHandedToTheCaptureLog) {
    LiveHarness live;
    const std::string arrival = KissDataFrame(Beacon(4200));
    ASSERT_EQ(arrival.size(), 219u);

    EXPECT_EQ(live.Arrive(arrival), 1);
    ASSERT_EQ(live.state.packetCount, 1);
    EXPECT_EQ(live.state.packetStore[0].values[14], 4200);
    EXPECT_EQ(live.captured, std::vector<std::string>{arrival});
    EXPECT_EQ(live.state.frameHex, HexText(Beacon(4200)));

    const std::string& rxTime = live.state.packetStore[0].rxTime;
    EXPECT_TRUE(std::regex_match(rxTime, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})"))) << rxTime;
    EXPECT_EQ(rxTime.substr(0, 10), QDateTime::currentDateTimeUtc().toString("yyyy-MM-dd").toStdString());
}

TEST(LiveChunk, PadsA200ByteFrameAndSkipsShortOnes) {
    LiveHarness live;
    EXPECT_EQ(live.Arrive(KissDataFrame(BeaconBuilder().u16(79, 7).payload())), 1);
    EXPECT_EQ(live.state.packetStore[0].values[14], 7);

    EXPECT_EQ(live.Arrive("\xC0\x00" "abc\xC0"), 0);
    EXPECT_EQ(live.Arrive(KissDataFrame("123456789")), 0) << "nine bytes after the command byte";
    EXPECT_EQ(live.Arrive(KissDataFrame("1234567890")), 1) << "ten bytes are logged, though not telemetry";
    EXPECT_EQ(live.state.packetCount, 1);
    EXPECT_EQ(live.captured.size(), 2u);
}

TEST(LiveChunk, FramesSplitOrSharingAnArrivalAllCount) {
    LiveHarness live;
    const std::string first = KissDataFrame(Beacon(1));
    const std::string second = KissDataFrame(Beacon(2), '\x10');  // any command byte is dropped
    const std::string third = KissDataFrame(Beacon(3));

    EXPECT_EQ(live.Arrive(first.substr(0, 100)), 0);
    EXPECT_EQ(live.Arrive(first.substr(100) + second + third.substr(0, 1)), 2);
    EXPECT_EQ(live.Arrive(third.substr(1)), 1);

    ASSERT_EQ(live.state.packetCount, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(live.state.packetStore[i].values[14], i + 1);
    EXPECT_EQ(live.captured, (std::vector<std::string>{first, second, third}));
}

TEST(LiveChunk, AnOverlongFrameIsDroppedAndTheNextOneDecoded) {
    LiveHarness live;
    EXPECT_EQ(live.Arrive("\xC0\x00" + std::string(KissStream::kMaxFrameBytes + 10, 'x')), 0);
    EXPECT_EQ(live.Arrive("more noise" + KissDataFrame(Beacon(9))), 1);
    EXPECT_EQ(live.state.packetStore[0].values[14], 9);
    EXPECT_EQ(live.stream.droppedFrames(), 1u);
}

TEST(LiveChunk, TheEarlierProgramLogsEachArrivalItself) {
    LiveHarness live(kOrca5);
    live.Arrive(KissDataFrame(Beacon(1)));
    ASSERT_EQ(live.view.frameLog.size(), 1u);
    EXPECT_EQ(live.view.frameLog[0], live.state.rxTimeText + " | 216 | " + HexText(Beacon(1)));

    LiveHarness current(kOrca5s);
    current.Arrive(KissDataFrame(Beacon(1)));
    EXPECT_EQ(current.view.frameLog, std::vector<std::string>{current.state.rxTimeText + " | " + HexText(Beacon(1))});
}
