#pragma once

#include "programs/log_styles.h"
#include "telemetry/beacon_decoder.h"
#include "telemetry/beacon_layout.h"
#include "telemetry/program_state.h"

#include <string>
#include <vector>

// What decoding would show on the window.
struct RecordingView {
    std::vector<std::string> frameLog;
    std::vector<std::string> beaconText;
    std::string payloadText;
    int packetMaximum = -1;  // never set
};

// A program state that keeps the packets decoded into it as the window does, and records the
// rest, as one program would decode.
struct DecoderHarness {
    explicit DecoderHarness(const LogStyle& log = kOrca5sLog) : context{decodeView, log} {}
    DecoderHarness(const DecoderHarness&) = delete;

    ProgramState state;
    RecordingView view;
    DecodeView decodeView{.packetDecoded = [this](DecodedPacket& packet) {
                              if (!state.StorePacket(packet)) return false;
                              view.payloadText = packet.frame.substr(kPayloadTextOffset, kPayloadTextLength);
                              view.packetMaximum = state.packetCount;
                              return true;
                          },
                          .frameLog = [this](std::string_view line) { view.frameLog.emplace_back(line); },
                          .beaconText = [this](std::string_view line) { view.beaconText.emplace_back(line); }};
    DecoderContext context;
};
