#pragma once

#include "archive/archive_store.h"
#include "telemetry/decode_view.h"

#include <cstdint>
#include <string>

// What feeding the archive did.
struct ArchiveCounts {
    std::int64_t frames = 0;      // satellite frames read: telemetry and text beacons
    std::int64_t added = 0;       // transmissions the archive did not have
    std::int64_t heardAgain = 0;  // more receptions of transmissions it had
    std::int64_t known = 0;       // receptions it had already: a file read again
    std::int64_t skipped = 0;     // frames without a reception time to keep them by
};

// Feeds the satellite's frames from the roads into an archive: each with its reception time,
// its source ("pass.kss#12", "export.csv:40", "live 127.0.0.1:8001") and the station (the one
// a SatNOGS export names, or this station's). Writes
// are committed in batches; a failure is kept to be told, and feeding goes on, since no road
// stops for the archive.
class ArchiveFeed {
public:
    ArchiveFeed(ArchiveStore& store, std::string station, std::int64_t batch = 10000);

    void Take(std::string_view frame, const FrameFacts& facts);
    // Ends the batch in hand. Why the archive could not take what was fed, once, or nothing.
    QString Commit();

    const ArchiveCounts& counts() const { return counts_; }

private:
    void Fail(const QString& error);

    ArchiveStore& store_;
    std::string station_;
    std::int64_t batch_;
    std::int64_t inBatch_ = 0;
    std::string source_;
    QString error_;
    ArchiveCounts counts_;
};

// "2021-02-06: 1200 frames read, 1100 new, 90 heard again, 10 already archived, 0 skipped"
std::string ArchiveCountsText(const ArchiveCounts& counts);
