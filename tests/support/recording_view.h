#pragma once

#include "programs/log_styles.h"
#include "telemetry/beacon_decoder.h"
#include "telemetry/decode_view.h"

#include <string>
#include <vector>

// Records what decoding would show on the window.
class RecordingView : public DecodeView {
public:
    void AppendFrameLog(std::string_view line) override { frameLog.emplace_back(line); }
    void AppendBeaconText(std::string_view line) override { beaconText.emplace_back(line); }
    void ShowPayloadText(std::string_view text) override { payloadText = text; }
    void SetPacketMaximum(int packetCount) override { packetMaximum = packetCount; }

    std::vector<std::string> frameLog;
    std::vector<std::string> beaconText;
    std::string payloadText;
    int packetMaximum = -1;  // never set
};

// A program state with its view, as one program would decode into it.
struct DecoderHarness {
    explicit DecoderHarness(const LogStyle& log = kOrca5sLog) : context{state, view, log} {}

    ProgramState state;
    RecordingView view;
    DecoderContext context;
};
