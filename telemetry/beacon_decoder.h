#pragma once

#include "telemetry/decode_view.h"
#include "telemetry/log_style.h"

#include <string>
#include <string_view>

// Everything the decoder and the intake roads work on. A road keeps its context from frame to
// frame, and an import from file to file: a capture's time stamp holds for the frames after it.
struct DecoderContext {
    DecoderContext(DecodeView& view, const LogStyle& log) : view(view), log(log) {}

    DecodeView& view;
    const LogStyle& log;
    std::string rxTimeText;  // the last time stamp a capture gave
    TelemetryRecord record;  // what the frame in hand is decoded into
    std::string frame;       // the frame in hand where a road reads it from text, its buffer reused
    std::string source;      // the input being read: a file's name, or the live server
};

enum class DecodeResult {
    Stored,        // the packet was kept
    StoreFull,     // the store holds 10000 packets already
    FrameTooLong,  // more than 255 bytes
    FrameTooShort, // ends before the last field of the layout
};

// Decodes one 216-byte beacon frame into the record, and does nothing else: Stored when it
// could, FrameTooLong or FrameTooShort when not.
DecodeResult DecodeRecord(std::string_view frame, std::string_view rxTimeText, TelemetryRecord& record);

// Decodes one 216-byte beacon frame (a 200-byte payload comes padded with 16 spaces in front)
// and hands the packet on. A frame that cannot be decoded, or a packet that cannot be kept,
// is neither logged nor shown.
DecodeResult DecodeBeacon(DecoderContext& context, std::string_view frame, const FrameFacts& facts);
