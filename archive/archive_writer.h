#pragma once

#include "archive/archive_reader.h"

#include <string_view>

// One reception of a satellite frame.
struct Reception {
    std::string_view frame;   // the bytes as received
    std::int64_t timeMs = 0;  // UTC, milliseconds since 1970
    std::string_view source;  // "pass.kss#12", "export.csv:40", "live 127.0.0.1:8001"
    std::string_view station; // the receiving station's callsign, or nothing
};

// What one reception did to the archive.
enum class Received {
    New,         // a transmission the archive did not have
    HeardAgain,  // the same bytes within 10 minutes: one more reception of a packet it had
    AlreadyArchived,  // this very reception was in the archive already (a file read again)
};

// The same transmission heard again within this time is one packet.
inline constexpr std::int64_t kSameTransmissionMs = 10 * 60 * 1000;

// An archive open to be written: it keeps receptions, and reads what it has as any reader.
class ArchiveWriter : public ArchiveReader {
public:
    // Keeps one reception; telemetry is decoded into the wide table as it comes. Writes gather in
    // a batch that Commit ends. Why it could not, or nothing.
    virtual QString Receive(const Reception& reception, Received& result) = 0;
    virtual QString Commit() = 0;
    // Takes back the batch in hand, after a failure in it.
    virtual void Rollback() = 0;

    // Decodes the wide table and its summaries anew from the raw frames, after a decoder fix.
    virtual QString Rebuild() = 0;
};
