#pragma once

#include "telemetry/packet_store.h"

#include <cstdint>
#include <functional>
#include <string_view>

// What a road knows of a frame besides its bytes.
struct FrameFacts {
    std::string_view rxTimeText;  // when it was received, as the road has it
    std::string_view frameHex;    // the frame as received, in hexadecimal; empty where the road keeps none
    std::int64_t number = 0;      // where it stands in its source, from 1: a capture's data frame, an
                                  // export's line; 0 for a frame received live
};

// A packet as the roads hand it on: the record decoded, and the frame it came from.
struct DecodedPacket {
    TelemetryRecord& record;  // a consumer that keeps the packet may take the record's contents
    std::string_view frame;   // the bytes decoded: 216 (a 200-byte payload comes padded in front)
    const FrameFacts& facts;
};

// Where decoding reports. Each consumer says what a packet means to it: the window keeps it in
// its store and shows it, the batch decoder writes a row, tests record it. Texts are bytes, one
// character per byte (Latin-1 when shown); lines carry no line end. A log left empty is not kept.
struct DecodeView {
    // A packet was decoded: false when it could not be kept (a full store), which the roads count.
    std::function<bool(DecodedPacket& packet)> packetDecoded;
    std::function<void(std::string_view line)> frameLog;    // the "debug" page
    std::function<void(std::string_view line)> beaconText;  // the "ASCII beacons" page

    void LogFrame(std::string_view line) const {
        if (frameLog) frameLog(line);
    }
    void LogBeaconText(std::string_view line) const {
        if (beaconText) beaconText(line);
    }
};
