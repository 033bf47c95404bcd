#include "archive/archive_feed.h"

#include "telemetry/time_stamps.h"

ArchiveFeed::ArchiveFeed(ArchiveStore& store, std::string station, std::int64_t batch)
    : store_(store), station_(std::move(station)), batch_(batch) {}

void ArchiveFeed::Take(std::string_view frame, const FrameFacts& facts) {
    ++counts_.frames;
    const std::optional<std::int64_t> time = UtcMilliseconds(facts.rxTimeText);
    if (!time) return void(++counts_.skipped);
    // a file by its name alone, so that the same file read from another folder adds nothing
    const std::string_view source = facts.source;
    if (facts.mark == '\0') {
        source_.assign("live ").append(source);
    } else {
        source_.assign(source.substr(source.rfind('/') + 1)).append(1, facts.mark).append(std::to_string(facts.number));
    }
    Received result = Received::New;
    const std::string_view station = facts.station.empty() ? std::string_view(station_) : facts.station;
    if (const QString error = store_.Receive({frame, *time, source_, station}, result); !error.isEmpty())
        return Fail(error);
    ++(result == Received::New ? counts_.added : result == Received::HeardAgain ? counts_.heardAgain : counts_.known);
    if (++inBatch_ < batch_) return;
    inBatch_ = 0;
    Fail(store_.Commit());
}

QString ArchiveFeed::Commit() {
    Fail(store_.Commit());
    return std::exchange(error_, {});
}

void ArchiveFeed::Fail(const QString& error) {
    if (!error.isEmpty() && error_.isEmpty()) error_ = error;
}

std::string ArchiveCountsText(const ArchiveCounts& counts) {
    return std::to_string(counts.frames) + " frames read, " + std::to_string(counts.added) + " new, " +
           std::to_string(counts.heardAgain) + " heard again, " + std::to_string(counts.known) +
           " already archived, " + std::to_string(counts.skipped) + " skipped";
}
