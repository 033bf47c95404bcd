#pragma once

#include "archive/archive_writer.h"
#include "telemetry/decode_view.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What feeding the archive did. A frame counts as new, heard again or known only once the
// batch it came in is committed.
struct ArchiveCounts {
    std::int64_t frames = 0;      // satellite frames read: telemetry and text beacons
    std::int64_t added = 0;       // transmissions the archive did not have
    std::int64_t heardAgain = 0;  // more receptions of transmissions it had
    std::int64_t alreadyArchived = 0;  // receptions it had already: a file read again
    std::int64_t skipped = 0;     // frames without a reception time to keep them by
    std::int64_t waiting = 0;     // frames waiting on disk for an archive that cannot be reached
    std::int64_t failed = 0;      // frames of batches the archive could not keep (a full disk)
};

// What a Commit found: why the archive could not take what was fed since the last one, or
// nothing; and the counts so far.
struct FeedReport {
    QString error;
    ArchiveCounts counts;
};

// Feeds the satellite's frames from the roads into an archive: each with its reception time,
// its source ("pass.kss#12", "export.csv:40", "live 127.0.0.1:8001") and the station (the one
// this station's, or when it has none the one a SatNOGS export names). The archive is written on a thread of its own,
// beside the decoding, and committed in batches; a failure is kept to be told, and feeding
// goes on, since no road stops for the archive.
class ArchiveFeed {
public:
    // With a file for them, frames wait there while the archive cannot be reached (a server
    // gone away), also across a restart of the program, and are written once it can be
    // reached again, tried at most every `retry`.
    ArchiveFeed(ArchiveWriter& store, std::string station, std::int64_t batch = 10000, QString waitingFile = {},
                std::chrono::milliseconds retry = std::chrono::seconds(5));
    // Writes and commits what was taken; a program that is to tell a failure commits first.
    ~ArchiveFeed();
    ArchiveFeed(const ArchiveFeed&) = delete;

    void Take(std::string_view frame, const FrameFacts& facts);
    // Waits until everything taken is in the archive, and ends the batch.
    FeedReport Commit();
    // The same without waiting: the writer ends the batch once it has written everything
    // taken so far, and then hands its report to `committed`, on its own thread.
    void CommitLater();
    std::function<void(const FeedReport&)> committed;

private:
    struct Frame {
        std::string bytes;
        std::int64_t timeMs;
        std::string source;
        std::string station;
    };

    using Frames = std::vector<Frame>;

    void HandOver();  // the frames taken so far, to the writer
    void Write();     // the writer thread
    void Keep(const Frame& frame);
    void Receive(const Frame& frame);
    void Fail(const QString& error);
    // The batch in hand, done; a lost archive makes its frames wait, and one that failed
    // counts them failed.
    void EndBatch();
    // The counts of the batch in hand taken back: they did not happen.
    void ForgetBatch();
    // When the archive was lost, the batch in hand goes to wait on disk, and what follows with
    // it; whether it was.
    bool WaitIfArchiveLost();
    void Wait(const Frame& frame);
    // Writes the waiting frames once the archive can be reached again.
    void TryAgain();

    ArchiveWriter& store_;
    std::string station_;
    std::int64_t framesPerBatch_;

    Frames taken_;  // the feeding thread's, handed over in hundreds: a hand-over costs a switch of threads

    // shared between the two threads, under the mutex
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Frames> handedOver_;  // to the writer, which has yet to take them
    bool commitAsked_ = false;
    bool reportAsked_ = false;  // a commit asked without waiting, whose report goes to `committed`
    bool writing_ = false;  // the writer has a frame or a commit in hand
    bool stopping_ = false;
    FeedReport report_;     // as of the last commit

    // the writer's alone
    std::int64_t inBatch_ = 0;
    QString waitingFile_;
    std::chrono::milliseconds retry_;
    Frames batchInHand_;            // its frames: they wait on disk should the archive be lost
    ArchiveCounts batchStart_;      // the counts before it
    bool unreachable_ = false;
    bool replaying_ = false;  // the frames in hand are those of the waiting file
    std::chrono::steady_clock::time_point nextTry_{};
    QString error_;
    ArchiveCounts counts_;          // the batch in hand included
    std::thread writer_;
};

// Where a live road's frames wait for an archive server that cannot be reached: the capture folder.
inline constexpr char kArchiveWaitingFileName[] = "archive-waiting.txt";

// "1200 frames read, 1100 new, 90 heard again, 10 already archived, 0 skipped", and how
// many the archive could not keep when there are any
std::string ArchiveCountsText(const ArchiveCounts& counts);
