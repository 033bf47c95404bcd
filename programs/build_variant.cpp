#include "programs/build_variant.h"

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
};
