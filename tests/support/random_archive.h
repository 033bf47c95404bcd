#pragma once

#include "archive/archive_writer.h"
#include "support/beacon_builder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

// A packet put into an archive: its time and its "Urbi" (the value a numbered beacon carries).
struct HeardValue {
    std::int64_t timeMs;
    double value;
};

// Passes of a beacon every 10 s for 6 to 12 minutes at random times over so many days from
// the start, "Urbi" wandering at random, written into the archive and returned oldest first.
inline std::vector<HeardValue> FillRandomArchive(ArchiveWriter& archive, unsigned seed, int days, std::int64_t startMs,
                                                 int passesPerDay = 4) {
    std::mt19937 random(seed);
    std::vector<std::int64_t> passStarts;
    for (int pass = 0; pass < days * passesPerDay; ++pass)
        passStarts.push_back(startMs + std::uniform_int_distribution<std::int64_t>(0, days * kDayMs - kHourMs)(random));
    std::sort(passStarts.begin(), passStarts.end());
    std::vector<HeardValue> heard;
    int value = 30000;
    for (const std::int64_t start : passStarts) {
        const int beacons = std::uniform_int_distribution(36, 72)(random);
        for (int n = 0; n < beacons; ++n) {
            value = std::clamp(value + std::uniform_int_distribution(-400, 400)(random), 0, 50000);
            const std::int64_t time = start + 10000 * n + std::uniform_int_distribution(0, 999)(random);
            // passes may overlap: a time is heard once
            if (!heard.empty() && time <= heard.back().timeMs) continue;
            heard.push_back({time, static_cast<double>(value)});
        }
    }
    Received result;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        // the packet number tells equal values apart: each is a transmission of its own
        const std::string frame =
            BeaconBuilder().u16(79, static_cast<std::uint16_t>(heard[i].value)).u32(20, static_cast<std::uint32_t>(i)).build();
        EXPECT_EQ(archive.Receive({frame, heard[i].timeMs, "random.kss#" + std::to_string(i), "N0CALL"}, result), "");
    }
    EXPECT_EQ(archive.Commit(), "");
    return heard;
}
