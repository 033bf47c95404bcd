#pragma once

#include "telemetry/beacon_decoder.h"

#include <QString>

#include <string_view>

// What reading one capture file did.
struct KissCaptureOutcome {
    bool read = false;  // false: the file could not be opened or read, see error
    QString error;
    int dataFrames = 0;   // frames other than time stamps
    int stored = 0;       // telemetry frames that became packets
    int refused = 0;      // telemetry frames the decoder refused (a full store)
};

// Decodes a KISS capture held in memory: cut at every FEND (bytes before the first and after
// the last belong to no frame); time-stamp frames set the reception time of the frames after
// them; data frames are decoded by length, and the satellite's text beacons are logged.
KissCaptureOutcome DecodeKissCapture(DecoderContext& context, std::string_view capture);

// Reads a capture file whole and decodes it.
KissCaptureOutcome ReadKissFile(DecoderContext& context, const QString& path);
