#include "archive/archive_feed.h"

#include "intake/whole_file.h"
#include "telemetry/hex_text.h"
#include "telemetry/time_stamps.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

// Frames handed over at once, and hand-overs waiting for the writer at most: a few megabytes.
constexpr std::size_t kHandOverFrames = 512;
constexpr std::size_t kWaitingAtMost = 8;

// A frame without a reception time has nothing to be kept by: the writer counts it skipped.
constexpr std::int64_t kNoTime = INT64_MIN;

// Each line of the waiting file, a block at a time however many wait; how many there were.
std::int64_t ForEachWaitingLine(const QString& path, const std::function<void(const QByteArray&)>& take) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    std::int64_t lines = 0;  // whole ones: a line cut short by a crash is no frame
    for (QByteArray line; !(line = file.readLine()).isEmpty();) {
        const bool whole = line.endsWith('\n');
        lines += whole;
        take(whole ? line.chopped(1) : line);
    }
    return lines;
}

}  // namespace

ArchiveFeed::ArchiveFeed(ArchiveWriter& store, std::string station, std::int64_t batch, QString waitingFile,
                         std::chrono::milliseconds retry)
    : store_(store), station_(std::move(station)), framesPerBatch_(batch), waitingFile_(std::move(waitingFile)), retry_(retry),
      writer_([this] { Write(); }) {}

ArchiveFeed::~ArchiveFeed() {
    // frames that wait for a server are kept; anything else that failed is told
    if (const FeedReport last = Commit(); !last.error.isEmpty() && last.counts.waiting == 0)
        qWarning("%s: %s", qPrintable(store_.name()), qPrintable(last.error));
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void ArchiveFeed::Take(std::string_view frame, const FrameFacts& facts) {
    Frame taken{std::string(frame), UtcMilliseconds(facts.rxTimeText).value_or(kNoTime), {},
                std::string(station_.empty() ? facts.station : station_)};
    // a file by its name alone, so that the same file read from another folder adds nothing
    taken.source = SourceName(facts);
    if (facts.mark != '\0') taken.source.append(1, facts.mark).append(std::to_string(facts.number));
    taken_.push_back(std::move(taken));
    if (taken_.size() >= kHandOverFrames) HandOver();
}

void ArchiveFeed::HandOver() {
    if (taken_.empty()) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return handedOver_.size() < kWaitingAtMost; });
    handedOver_.push_back(std::exchange(taken_, {}));
    taken_.reserve(kHandOverFrames);
    changed_.notify_all();
}

FeedReport ArchiveFeed::Commit() {
    HandOver();
    std::unique_lock lock(mutex_);
    commitAsked_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return !commitAsked_ && handedOver_.empty() && !writing_; });
    FeedReport report = report_;
    report_.error.clear();  // told once
    return report;
}

void ArchiveFeed::CommitLater() {
    HandOver();
    const std::lock_guard lock(mutex_);
    commitAsked_ = reportAsked_ = true;
    changed_.notify_all();
}

void ArchiveFeed::Write() {
    // frames that waited when the program last ran
    if (!waitingFile_.isEmpty() && QFileInfo(waitingFile_).size() > 0) {
        unreachable_ = true;
        counts_.waiting = ForEachWaitingLine(waitingFile_, [](const QByteArray&) {});
    }
    std::unique_lock lock(mutex_);
    for (;;) {
        const auto asked = [&] { return !handedOver_.empty() || commitAsked_ || stopping_; };
        // an archive that cannot be reached is tried again whether or not frames come
        if (unreachable_)
            changed_.wait_for(lock, retry_, asked);
        else
            changed_.wait(lock, asked);
        writing_ = true;  // a Commit waits for what waited to be written
        const bool stopping = stopping_;
        lock.unlock();
        if (!stopping) TryAgain();  // a program that ends waits for no server
        lock.lock();
        writing_ = false;
        changed_.notify_all();
        if (!handedOver_.empty()) {
            const Frames frames = std::move(handedOver_.front());
            handedOver_.pop_front();
            writing_ = true;
            changed_.notify_all();
            lock.unlock();
            for (const Frame& frame : frames) Keep(frame);
            lock.lock();
            writing_ = false;
        } else if (commitAsked_) {
            writing_ = true;
            lock.unlock();
            if (unreachable_)
                Fail("cannot be reached; frames wait in " + waitingFile_);
            else
                EndBatch();
            lock.lock();
            if (report_.error.isEmpty()) report_.error = std::exchange(error_, {});
            report_.counts = counts_;
            if (std::exchange(reportAsked_, false) && committed) {
                const FeedReport report = report_;
                report_.error.clear();  // told once
                lock.unlock();
                committed(report);
                lock.lock();
            }
            writing_ = false;
            commitAsked_ = false;
            changed_.notify_all();
        } else if (stopping_) {
            return;  // with nothing left
        }
    }
}

void ArchiveFeed::Keep(const Frame& frame) {
    ++counts_.frames;
    if (frame.timeMs == kNoTime) return void(++counts_.skipped);
    if (unreachable_) return Wait(frame);
    Receive(frame);
}

void ArchiveFeed::Receive(const Frame& frame) {
    Received result = Received::New;
    if (const QString error = store_.Receive({frame.bytes, frame.timeMs, frame.source, frame.station}, result);
        !error.isEmpty()) {
        if (WaitIfArchiveLost()) return replaying_ ? void() : Wait(frame);
        ++inBatch_;  // this frame went with the batch
        store_.Rollback();
        ForgetBatch();
        return Fail(error);
    }
    if (!waitingFile_.isEmpty() && !replaying_) batchInHand_.push_back(frame);
    ++(result == Received::New ? counts_.added : result == Received::HeardAgain ? counts_.heardAgain : counts_.alreadyArchived);
    if (++inBatch_ >= framesPerBatch_) EndBatch();
}

void ArchiveFeed::EndBatch() {
    if (const QString error = store_.Commit(); !error.isEmpty() && !WaitIfArchiveLost()) {
        ForgetBatch();
        Fail(error);
    }
    inBatch_ = 0;
    batchInHand_.clear();
    batchStart_ = counts_;
}

void ArchiveFeed::ForgetBatch() {
    counts_.failed += inBatch_;
    counts_.added = batchStart_.added;
    counts_.heardAgain = batchStart_.heardAgain;
    counts_.alreadyArchived = batchStart_.alreadyArchived;
    inBatch_ = 0;
    batchInHand_.clear();
    batchStart_ = counts_;
}

bool ArchiveFeed::WaitIfArchiveLost() {
    if (waitingFile_.isEmpty() || !store_.Lost()) return false;
    unreachable_ = true;
    inBatch_ = 0;
    // what the lost batch counted did not happen: its frames wait (those replayed wait already)
    const ArchiveCounts now = counts_;
    counts_ = batchStart_;
    counts_.frames = now.frames;
    counts_.skipped = now.skipped;
    counts_.waiting = now.waiting;
    counts_.failed = now.failed;
    for (const Frame& frame : std::exchange(batchInHand_, {})) Wait(frame);
    return true;
}

void ArchiveFeed::Wait(const Frame& frame) {
    const std::string line = std::to_string(frame.timeMs) + '\t' + QUrl::toPercentEncoding(QString::fromStdString(frame.station)).toStdString() +
                             '\t' + QUrl::toPercentEncoding(QString::fromStdString(frame.source)).toStdString() + '\t' +
                             HexText(frame.bytes) + '\n';
    if (const QString error = AppendToFile(waitingFile_, line); !error.isEmpty()) return Fail(waitingFile_ + ": " + error);
    ++counts_.waiting;
}

void ArchiveFeed::TryAgain() {
    const auto now = std::chrono::steady_clock::now();
    if (!unreachable_ || now < nextTry_) return;
    nextTry_ = now + retry_;
    if (store_.Lost() && !store_.Reconnect()) return;
    // every waiting frame written again, in order; the merge keeps each once however often
    unreachable_ = false;
    replaying_ = true;
    batchStart_ = counts_;
    ForEachWaitingLine(waitingFile_, [this](const QByteArray& line) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 4 || unreachable_) return;
        Receive({BytesFromHex(std::string_view(fields[3].constData(), static_cast<std::size_t>(fields[3].size()))),
                 fields[0].toLongLong(), QByteArray::fromPercentEncoding(fields[2]).toStdString(),
                 QByteArray::fromPercentEncoding(fields[1]).toStdString()});
    });
    if (!unreachable_) EndBatch();
    replaying_ = false;
    if (unreachable_) return;
    QFile::remove(waitingFile_);
    counts_.waiting = 0;
}

void ArchiveFeed::Fail(const QString& error) {
    if (!error.isEmpty() && error_.isEmpty()) error_ = error;
}

std::string ArchiveCountsText(const ArchiveCounts& counts) {
    return std::to_string(counts.frames) + " frames read, " + std::to_string(counts.added) + " new, " +
           std::to_string(counts.heardAgain) + " heard again, " + std::to_string(counts.alreadyArchived) +
           " already archived, " + std::to_string(counts.skipped) + " skipped" +
           (counts.failed > 0 ? ", " + std::to_string(counts.failed) + " not kept" : std::string());
}
