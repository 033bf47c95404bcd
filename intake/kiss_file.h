#pragma once

#include "intake/kiss_stream.h"
#include "telemetry/beacon_decoder.h"

#include <QString>

#include <string_view>

// What reading one capture did.
struct KissCaptureOutcome {
    bool read = false;  // false: the file could not be opened or read, see error
    QString error;
    int dataFrames = 0;   // frames other than time stamps
    int stored = 0;       // telemetry frames that became packets
    int refused = 0;      // telemetry frames the decoder refused (a full store)
    int textBeacons = 0;  // frames with the satellite's text-beacon header
};

// Decodes a capture as its bytes come, in one piece or in many: cut at every FEND (bytes
// before the first and after the last belong to no frame); time-stamp frames set the
// reception time of the frames after them; data frames are decoded by length, and the
// satellite's text beacons are logged. A frame split between pieces waits for the rest.
class KissCaptureDecoder {
public:
    // A capture read in blocks bounds its frames, so that a file of garbage is never held whole.
    explicit KissCaptureDecoder(DecoderContext& context, std::size_t maxFrameBytes = KissStream::kUnbounded);

    void Feed(std::string_view bytes);

    const KissCaptureOutcome& outcome() const { return outcome_; }
    // Frames dropped for passing the bound.
    std::uint64_t droppedFrames() const { return stream_.droppedFrames(); }

private:
    void TakeFrame(std::string_view frame);
    void TakeDataFrame(std::string_view frame);

    DecoderContext& context_;
    KissStream stream_;
    std::string frameHex_;  // the frame in hand, its buffer reused
    KissCaptureOutcome outcome_;
};

// Decodes a KISS capture held in memory whole.
KissCaptureOutcome DecodeKissCapture(DecoderContext& context, std::string_view capture);

// Reads a capture file whole and decodes it.
KissCaptureOutcome ReadKissFile(DecoderContext& context, const QString& path);
