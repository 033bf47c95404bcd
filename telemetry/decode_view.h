#pragma once

#include "telemetry/hex_text.h"
#include "telemetry/packet_store.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// A frame's hexadecimal text, made from its bytes the first time something asks for it (the
// "debug" page, a JSON line, the outbox), so that a road writing CSV never makes it. A road
// that has the text already (a SatNOGS line) gives it as it is.
class FrameHex {
public:
    FrameHex() = default;
    FrameHex(std::string_view text) : text_(text) {}  // NOLINT(google-explicit-constructor): a text is one
    FrameHex(const std::string& text) : text_(text) {}  // NOLINT(google-explicit-constructor)
    FrameHex(const char* text) : text_(text) {}         // NOLINT(google-explicit-constructor)
    // Made into `room`, reused from frame to frame, when first asked for.
    FrameHex(std::string_view bytes, std::string& room) : bytes_(bytes), room_(&room), made_(false) {}

    std::string_view text() const {
        if (!made_) {
            HexText(bytes_, *room_);
            text_ = *room_;
            made_ = true;
        }
        return text_;
    }
    operator std::string_view() const { return text(); }  // NOLINT(google-explicit-constructor)
    bool empty() const { return made_ ? text_.empty() : bytes_.empty(); }
    std::size_t size() const { return made_ ? text_.size() : 2 * bytes_.size(); }

private:
    std::string_view bytes_;
    std::string* room_ = nullptr;
    mutable std::string_view text_;
    mutable bool made_ = true;
};

// What a road knows of a frame besides its bytes.
struct FrameFacts {
    std::string_view rxTimeText = {};  // when it was received, as the road has it
    FrameHex frameHex = {};            // the frame as received, in hexadecimal; empty where the road keeps none
    std::string_view source = {};      // what it came from: a file's name, or the live server
    char mark = '\0';                  // before its number in a source's text: '#' a capture's, ':' an export's
    std::int64_t number = 0;           // where it stands in its source, from 1: a capture's data frame,
                                       // an export's line; 0 for a frame received live
    std::string_view station = {};     // who received it, where the source says
};

// "pass.kss#12", "export.csv:40", or the source alone for a frame received live.
inline std::string SourceText(const FrameFacts& facts) {
    std::string text(facts.source);
    if (facts.mark != '\0') text.append(1, facts.mark).append(std::to_string(facts.number));
    return text;
}

// What a frame came from, without its place in it: a file by its name alone ("pass.kss", the
// same from whatever folder it is read), or "live 127.0.0.1:8001".
inline std::string SourceName(const FrameFacts& facts) {
    if (facts.mark == '\0') return "live " + std::string(facts.source);
    return std::string(facts.source.substr(facts.source.rfind('/') + 1));
}

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
    std::function<bool(DecodedPacket& packet)> packetDecoded = {};
    std::function<void(std::string_view line)> frameLog = {};    // the "debug" page
    std::function<void(std::string_view line)> beaconText = {};  // the "ASCII beacons" page
    // Every frame of the satellite, telemetry or text beacon, as received: for the archive.
    std::function<void(std::string_view frame, const FrameFacts& facts)> satelliteFrame = {};

    void LogFrame(std::string_view line) const {
        if (frameLog) frameLog(line);
    }
    void LogBeaconText(std::string_view line) const {
        if (beaconText) beaconText(line);
    }
    void TakeSatelliteFrame(std::string_view frame, const FrameFacts& facts) const {
        if (satelliteFrame) satelliteFrame(frame, facts);
    }
};
