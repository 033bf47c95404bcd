#include "batch/row_writer.h"

#include "telemetry/vector_state.h"

namespace {

constexpr std::size_t kBatchPackets = 128;
constexpr std::size_t kBatchesInHand = 2;
constexpr std::size_t kSinkBytes = 1 << 18;

}  // namespace

RowWriter::RowWriter(std::string heading, Format format, Sink sink)
    : format_(std::move(format)), sink_(std::move(sink)), rows_(std::move(heading)), thread_([this] { Run(); }) {
    filling_.packets.resize(kBatchPackets);
}

RowWriter::~RowWriter() {
    Flush();
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

RowWriter::Packet& RowWriter::Add() {
    if (filling_.used == filling_.packets.size()) Send();
    return filling_.packets[filling_.used++];
}

// Hands the batch in filling to the writer, waiting while it has its hands full; a spare one
// (its strings' room kept) takes its place.
void RowWriter::Send() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kBatchesInHand; });
    queue_.push_back(std::move(filling_));
    filling_ = {};
    if (spare_.empty()) {
        filling_.packets.resize(kBatchPackets);
    } else {
        filling_.packets = std::move(spare_.back());
        spare_.pop_back();
    }
    lock.unlock();
    changed_.notify_all();
}

void RowWriter::Flush() {
    if (filling_.used > 0) Send();
    std::unique_lock lock(mutex_);
    flushWanted_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !flushWanted_; });
}

void RowWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queue_.empty() || flushWanted_ || stop_; });
        if (!queue_.empty()) {
            Batch batch = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            ClearUpperVectorHalves();
            for (std::size_t i = 0; i < batch.used; ++i) format_(rows_, batch.packets[i]);
            if (rows_.size() >= kSinkBytes) {
                sink_(rows_);
                rows_.clear();
            }
            lock.lock();
            spare_.push_back(std::move(batch.packets));
        } else if (flushWanted_) {
            lock.unlock();
            if (!rows_.empty()) sink_(rows_);
            rows_.clear();
            lock.lock();
            flushWanted_ = false;
        } else {
            return;  // stopped, with nothing left
        }
        changed_.notify_all();
    }
}
