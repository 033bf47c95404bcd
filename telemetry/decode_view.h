#pragma once

#include <string_view>

// What decoding shows on the window. The window implements it; tests record it.
// Texts are bytes, one character per byte (Latin-1 when shown); lines carry no line end.
class DecodeView {
public:
    virtual ~DecodeView() = default;

    virtual void AppendFrameLog(std::string_view line) = 0;    // the "debug" page
    virtual void AppendBeaconText(std::string_view line) = 0;  // the "ASCII beacons" page
    virtual void ShowPayloadText(std::string_view text) = 0;   // the last frame's payload text
    virtual void SetPacketMaximum(int packetCount) = 0;        // the navigation bar's upper end
};
