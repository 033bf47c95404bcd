#pragma once

#include "support/beacon_builder.h"

#include <random>
#include <string>
#include <vector>

// Beacon frames of random bytes, all different, the same in every run.
inline std::vector<std::string> DistinctFrames(int count) {
    std::mt19937 random(2021);
    std::vector<std::string> frames;
    for (int i = 0; i < count; ++i) {
        BeaconBuilder beacon;
        for (int offset = 0; offset < 216; ++offset) beacon.u8(offset, static_cast<std::uint8_t>(random()));
        frames.push_back(beacon.build());
    }
    return frames;
}
