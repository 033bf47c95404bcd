#pragma once

#include "telemetry/log_style.h"

// The log lines of each program, apart from the rest of its variant so that code without a
// window (tests, fuzzers) decodes exactly as the program does.
inline constexpr LogStyle kOrca5sLog{.decoderLogsFrames = true,
                                     .liveLogsArrivals = false,
                                     .fileLogsFendCount = false,
                                     .beaconLineHasTime = true,
                                     .beaconTextOffset = 24,  // past the 23-byte header and the first payload byte
                                     .satnogsSetsFrameHex = true};

inline constexpr LogStyle kOrca5Log{.decoderLogsFrames = false,
                                    .liveLogsArrivals = true,
                                    .fileLogsFendCount = true,
                                    .beaconLineHasTime = false,
                                    .beaconTextOffset = 23,  // right after the 23-byte header
                                    .satnogsSetsFrameHex = false};

// orca5-decode writes text beacons as orca5s lists them, logs no frames, and writes a live
// packet as the capture file it records gives it back.
inline constexpr LogStyle kDecodeLog{.decoderLogsFrames = false,
                                     .liveLogsArrivals = false,
                                     .fileLogsFendCount = false,
                                     .beaconLineHasTime = kOrca5sLog.beaconLineHasTime,
                                     .beaconTextOffset = kOrca5sLog.beaconTextOffset,
                                     .satnogsSetsFrameHex = true,
                                     .liveAsRecorded = true};
