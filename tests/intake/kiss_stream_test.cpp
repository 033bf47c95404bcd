#include "intake/kiss_stream.h"
#include "support/beacon_builder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace std::string_view_literals;

namespace {

struct Collected {
    std::vector<std::string> raw;
    std::vector<std::string> unescaped;
};

Collected FeedAll(KissStream& stream, const std::vector<std::string_view>& arrivals) {
    Collected collected;
    for (const std::string_view arrival : arrivals) {
        stream.Feed(arrival, [&](const KissFrame& frame) {
            collected.raw.emplace_back(frame.raw);
            collected.unescaped.emplace_back(frame.unescaped);
        });
    }
    return collected;
}

Collected FeedAll(const std::vector<std::string_view>& arrivals) {
    KissStream stream;
    return FeedAll(stream, arrivals);
}

// Garbage, a beacon with bytes that need escaping, an empty frame, a short frame.
std::string SampleStream() {
    const std::string beacon = BeaconBuilder().u16(77, 0xC0DB).u8(100, 0xC0).u8(101, 0xDB).build();
    return "noise\xDB\xDC" + KissDataFrame(beacon) + "\xC0\xC0" + KissDataFrame("short", '\x01');
}

}  // namespace

TEST(KissStream, YieldsWholeFramesUnescaped) {
    const std::string beacon = BeaconBuilder().u16(77, 0xC0DB).u8(100, 0xC0).u8(101, 0xDB).build();
    const Collected frames = FeedAll({SampleStream()});

    ASSERT_EQ(frames.unescaped.size(), 2u) << "garbage before the first FEND and empty frames yield nothing";
    EXPECT_EQ(frames.unescaped[0], std::string(1, '\0') + beacon);
    EXPECT_EQ(frames.raw[0], KissDataFrame(beacon)) << "raw keeps the escapes and the delimiters";
    EXPECT_EQ(frames.unescaped[1], "\x01short");
}

TEST(KissStream, SameFramesHoweverTheStreamIsSplit) {
    const std::string stream = SampleStream();
    const Collected whole = FeedAll({stream});

    std::vector<std::string_view> bytes;
    for (std::size_t i = 0; i < stream.size(); ++i) bytes.push_back(std::string_view(stream).substr(i, 1));
    const Collected byteByByte = FeedAll(bytes);
    EXPECT_EQ(byteByByte.unescaped, whole.unescaped);
    EXPECT_EQ(byteByByte.raw, whole.raw);

    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        const std::string_view view(stream);
        const Collected split = FeedAll({view.substr(0, cut), view.substr(cut)});
        EXPECT_EQ(split.unescaped, whole.unescaped) << "cut at " << cut;
        EXPECT_EQ(split.raw, whole.raw) << "cut at " << cut;
    }
}

TEST(KissStream, AFrameContinuesAcrossArrivals) {
    KissStream stream;
    EXPECT_TRUE(FeedAll(stream, {"\xC0\x00" "AB"sv}).unescaped.empty());
    const Collected rest = FeedAll(stream, {"CD\xC0\x00" "EF\xC0\xC0\x00" "G"sv});
    EXPECT_EQ(rest.unescaped, (std::vector<std::string>{std::string("\0ABCD", 5), std::string("\0EF", 3)}));
    EXPECT_EQ(FeedAll(stream, {"H\xC0"}).unescaped, std::vector<std::string>{std::string("\0GH", 3)});
}

TEST(KissStream, DropsAnOverlongFrameAndResynchronises) {
    const std::string longest = "\xC0" + std::string(KissStream::kMaxFrameBytes, 'x') + "\xC0";
    const std::string tooLong = "\xC0" + std::string(KissStream::kMaxFrameBytes + 1, 'y');
    const std::string next = KissDataFrame("next");

    KissStream stream;
    const Collected frames = FeedAll(stream, {longest, tooLong, "more garbage", next});
    ASSERT_EQ(frames.raw.size(), 2u);
    EXPECT_EQ(frames.raw[0], longest);
    EXPECT_EQ(frames.raw[1], next);
    EXPECT_EQ(stream.droppedFrames(), 1u);

    // held across arrivals, cut just before the closing FEND: the bound is the same
    const std::string_view held = longest;
    KissStream split;
    EXPECT_EQ(FeedAll(split, {held.substr(0, held.size() - 1), "\xC0"}).raw, std::vector<std::string>{longest});
    EXPECT_EQ(FeedAll(split, {tooLong, "\xC0"}).raw, std::vector<std::string>{});
    EXPECT_EQ(split.droppedFrames(), 1u);
}

TEST(KissStream, AMegabyteWithoutFendHoldsNoMoreThanOneFrame) {
    KissStream stream;
    const std::string chunk(64 * 1024, 'z');
    std::size_t yielded = 0;
    stream.Feed("\xC0", [&](const KissFrame&) { ++yielded; });
    for (int i = 0; i < 16; ++i) stream.Feed(chunk, [&](const KissFrame&) { ++yielded; });
    EXPECT_EQ(yielded, 0u);
    EXPECT_EQ(stream.droppedFrames(), 1u) << "dropped once, then waiting for a FEND";
    stream.Feed(KissDataFrame("after"), [&](const KissFrame& frame) {
        ++yielded;
        EXPECT_EQ(frame.unescaped, std::string("\0after", 6));
    });
    EXPECT_EQ(yielded, 1u);
}
