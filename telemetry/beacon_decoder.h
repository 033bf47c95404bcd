#pragma once

#include "telemetry/decode_view.h"
#include "telemetry/log_style.h"
#include "telemetry/program_state.h"

#include <string_view>

// Everything the decoder and the intake roads work on.
struct DecoderContext {
    ProgramState& state;
    DecodeView& view;
    const LogStyle& log;
};

enum class DecodeResult {
    Stored,        // the frame is now the last packet of the store
    StoreFull,     // 10000 packets are stored already
    FrameTooLong,  // more than 255 bytes
    FrameTooShort, // ends before the last field of the layout
};

// Decodes one 216-byte beacon frame (a 200-byte payload comes padded with 16 spaces in
// front) into a new packet. The caller sets state.rxTimeText and state.frameHex first.
// A refused frame leaves every record, packetCount, the navigation maximum and the logs
// untouched.
DecodeResult DecodeBeacon(DecoderContext& context, std::string_view frame);
