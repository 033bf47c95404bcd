#include "archive/batch_frames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::int64_t kStartMs = 1612569600000;

// Frame k of many: bytes of their own, a second apart.
std::string FrameBytes(int k) { return "frame " + std::to_string(k) + std::string(100, static_cast<char>('a' + k % 26)); }

std::vector<std::int64_t> FoundIds(const BatchFrames& batch, std::int64_t timeMs, const std::string& bytes) {
    std::vector<MergeStatements::SamePacket> found;
    batch.FindSame(timeMs, Digest(bytes), bytes, found);
    std::vector<std::int64_t> ids;
    for (const auto& packet : found) ids.push_back(packet.id);
    return ids;
}

}  // namespace

// A batch holds tens of thousands of frames in one arena, which grows in pieces and is let go
// of when the batch ends: every frame keeps its bytes and sources however much it grew, and
// the next batch knows nothing of the last.
TEST(BatchFrames, KeepsEveryFrameAsItGrowsAndForgetsThemAllAtTheEnd) {
    BatchFrames batch;
    constexpr int kFrames = 30000;
    for (int k = 0; k < kFrames; ++k) {
        const std::string bytes = FrameBytes(k);
        batch.InArchive(k + 1, kStartMs + 1000 * k, kStartMs + 1000 * k, Digest(bytes), bytes, "N0CALL.kss#" + std::to_string(k), "N0CALL");
    }
    for (const int k : {0, 1, kFrames / 2, kFrames - 1}) {
        EXPECT_EQ(FoundIds(batch, kStartMs + 1000 * k + 500, FrameBytes(k)), std::vector<std::int64_t>{k + 1}) << k;
        // the reception read with it is known: heard from its source by its station again, it is
        // not new; by another station from a source of the same name, it is
        const std::string bytes = FrameBytes(k);
        EXPECT_FALSE(batch.AddReception(k + 1, {bytes, kStartMs + 1000 * k, "N0CALL.kss#" + std::to_string(k), "N0CALL"})) << k;
        EXPECT_TRUE(batch.AddReception(k + 1, {bytes, kStartMs + 1000 * k, "N0CALL.kss#" + std::to_string(k), "N1CALL"})) << k;
    }
    ASSERT_EQ(batch.receptions().size(), 4u);
    EXPECT_EQ(batch.receptions()[3].source, "N0CALL.kss#" + std::to_string(kFrames - 1));
    EXPECT_EQ(batch.receptions()[3].station, "N1CALL");

    batch.Clear();
    EXPECT_TRUE(batch.empty());
    EXPECT_TRUE(FoundIds(batch, kStartMs, FrameBytes(0)).empty());
    EXPECT_FALSE(batch.ToRead(kStartMs, kStartMs, kHourMs).empty());
    // the same bytes a batch later, under another id, are that frame alone
    batch.InArchive(99, kStartMs, kStartMs, Digest(FrameBytes(0)), FrameBytes(0), "N2CALL.kss#1", "N2CALL");
    EXPECT_EQ(FoundIds(batch, kStartMs, FrameBytes(0)), std::vector<std::int64_t>{99});
}

// The new frames' values are written once: a batch that writes part way (its summaries full)
// hands on only the frames new since, each with its own values.
TEST(BatchFrames, WritesEachNewFramesValuesOnce) {
    BatchFrames batch;
    TelemetryRecord values;
    const auto insert = [&](std::int64_t id, double first) {
        values.values[0] = first;
        values.obcTime = "2021/02/06 00:00:" + std::to_string(10 + id);
        const std::string bytes = FrameBytes(static_cast<int>(id));
        batch.Insert(id, kStartMs + 1000 * id, Digest(bytes), bytes, &values);
    };
    insert(1, 1.5);
    insert(2, 2.5);
    ASSERT_EQ(batch.Fresh().size(), 2u);
    EXPECT_EQ(batch.Fresh()[0]->telemetry->values[0], 1.5);
    EXPECT_EQ(batch.Fresh()[1]->telemetry->obcTime, "2021/02/06 00:00:12");
    batch.Written();
    insert(3, 3.5);
    const std::vector<const BatchFrames::Frame*> fresh = batch.Fresh();
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0]->id, 3);
    EXPECT_EQ(fresh[0]->telemetry->values[0], 3.5);
    EXPECT_EQ(fresh[0]->telemetry->obcTime, "2021/02/06 00:00:13");
    // the written ones are still known to the batch
    EXPECT_EQ(FoundIds(batch, kStartMs + 1000, FrameBytes(1)), std::vector<std::int64_t>{1});
}
