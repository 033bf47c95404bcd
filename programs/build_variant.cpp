#include "programs/build_variant.h"

namespace {

constexpr ChartGroup kAllGroups[] = {
    {{17, 20, 23}},  // battery volts
    {{18, 21, 24}},  // battery temperatures
    {{19, 22, 25}},  // battery currents
    {{26, 36, 46}},  // X-, Y-, Z- volts
    {{27, 37, 47}},  // X-, Y-, Z- currents
    {{30, 40, 48}},  // X-, Y-, Z- temperatures
    {{31, 41, 49}},  // X+, Y+, Z+ volts
    {{32, 42, 50}},  // X+, Y+, Z+ currents
    {{35, 45, 51}},  // X+, Y+, Z+ temperatures
};

constexpr ChartGroup kEarlierGroups[] = {
    {{17, 20, 23}},
    {{18, 21, 24}},
    {{19, 22, 25}},
    {{30, 40, 48}},
    {{35, 45, 51}},
};

}  // namespace

const BuildVariant kOrca5s{
    .programName = "orca5s",
    .versionNumber = "0.6",
    .buildDate = "06 Feb 2021",
    .scrollableSurface = true,
    .log = {.decoderLogsFrames = true,
            .liveLogsArrivals = false,
            .fileLogsFendCount = false,
            .beaconLineHasTime = true,
            .beaconTextOffset = 24,  // past the 23-byte header and the first payload byte
            .satnogsSetsFrameHex = true},
    .chartGroups = kAllGroups,
};

const BuildVariant kOrca5{
    .programName = "orca5",
    .versionNumber = "0.5",
    .buildDate = "05 Feb 2021",
    .scrollableSurface = false,
    .log = {.decoderLogsFrames = false,
            .liveLogsArrivals = true,
            .fileLogsFendCount = true,
            .beaconLineHasTime = false,
            .beaconTextOffset = 23,  // right after the 23-byte header
            .satnogsSetsFrameHex = false},
    .chartGroups = kEarlierGroups,
};
