#include "archive/archive_feed.h"

#include "telemetry/time_stamps.h"

namespace {

// Frames handed over at once, and hand-overs waiting for the writer at most: a few megabytes.
constexpr std::size_t kHandOverFrames = 512;
constexpr std::size_t kWaitingAtMost = 8;

// A frame without a reception time has nothing to be kept by: the writer counts it skipped.
constexpr std::int64_t kNoTime = INT64_MIN;

}  // namespace

ArchiveFeed::ArchiveFeed(ArchiveStore& store, std::string station, std::int64_t batch)
    : store_(store), station_(std::move(station)), batch_(batch), writer_([this] { Write(); }) {}

ArchiveFeed::~ArchiveFeed() {
    Commit();
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void ArchiveFeed::Take(std::string_view frame, const FrameFacts& facts) {
    Frame taken{std::string(frame), UtcMilliseconds(facts.rxTimeText).value_or(kNoTime), {},
                std::string(facts.station.empty() ? station_ : facts.station)};
    // a file by its name alone, so that the same file read from another folder adds nothing
    if (facts.mark == '\0') {
        taken.source.assign("live ").append(facts.source);
    } else {
        const std::string_view file = facts.source.substr(facts.source.rfind('/') + 1);
        taken.source.assign(file).append(1, facts.mark).append(std::to_string(facts.number));
    }
    taken_.push_back(std::move(taken));
    if (taken_.size() >= kHandOverFrames) HandOver();
}

void ArchiveFeed::HandOver() {
    if (taken_.empty()) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_.size() < kWaitingAtMost; });
    waiting_.push_back(std::exchange(taken_, {}));
    taken_.reserve(kHandOverFrames);
    changed_.notify_all();
}

QString ArchiveFeed::Commit() {
    HandOver();
    std::unique_lock lock(mutex_);
    commitAsked_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return !commitAsked_ && waiting_.empty() && !writing_; });
    return std::exchange(error_, {});
}

void ArchiveFeed::Write() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return !waiting_.empty() || commitAsked_ || stopping_; });
        if (!waiting_.empty()) {
            const Frames frames = std::move(waiting_.front());
            waiting_.pop_front();
            writing_ = true;
            changed_.notify_all();
            lock.unlock();
            for (const Frame& frame : frames) Keep(frame);
            lock.lock();
            writing_ = false;
        } else if (commitAsked_) {
            writing_ = true;
            lock.unlock();
            inBatch_ = 0;
            Fail(store_.Commit());
            lock.lock();
            writing_ = false;
            commitAsked_ = false;
            changed_.notify_all();
        } else {
            return;  // stopping, with nothing left
        }
    }
}

void ArchiveFeed::Keep(const Frame& frame) {
    ++counts_.frames;
    if (frame.timeMs == kNoTime) return void(++counts_.skipped);
    Received result = Received::New;
    if (const QString error = store_.Receive({frame.bytes, frame.timeMs, frame.source, frame.station}, result);
        !error.isEmpty())
        return Fail(error);
    ++(result == Received::New ? counts_.added : result == Received::HeardAgain ? counts_.heardAgain : counts_.known);
    if (++inBatch_ < batch_) return;
    inBatch_ = 0;
    Fail(store_.Commit());
}

void ArchiveFeed::Fail(const QString& error) {
    if (!error.isEmpty() && error_.isEmpty()) error_ = error;
}

std::string ArchiveCountsText(const ArchiveCounts& counts) {
    return std::to_string(counts.frames) + " frames read, " + std::to_string(counts.added) + " new, " +
           std::to_string(counts.heardAgain) + " heard again, " + std::to_string(counts.known) +
           " already archived, " + std::to_string(counts.skipped) + " skipped";
}
