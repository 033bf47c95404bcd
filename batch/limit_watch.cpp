#include "batch/limit_watch.h"

#include "exports/alarm_rows.h"
#include "telemetry/channel_names.h"
#include "telemetry/time_stamps.h"

LimitWatch::LimitWatch(Limits limits, Options options) : judge_(std::move(limits)), options_(std::move(options)) {
    if (options_.command) hook_ = std::make_unique<AlarmHook>(*options_.command, options_.station, options_.commandsWaitingAtMost);
    if (options_.rows && options_.format == RowFormat::Csv) options_.rows(AlarmCsvHeading());
}

void LimitWatch::Take(const TelemetryRecord& record) {
    judge_.Judge(UtcMilliseconds(record.rxTime), record, transitions_);
    Tell();
}

void LimitWatch::Tick(std::int64_t nowMs) {
    judge_.Tick(nowMs, transitions_);
    Tell();
}

void LimitWatch::Tell() {
    if (transitions_.empty()) return;
    for (const LimitTransition& transition : transitions_) {
        if (hook_) hook_->Tell(transition);
        if (!options_.rows) continue;
        if (options_.format == RowFormat::JsonLines)
            AppendAlarmJsonLine(rows_, transition);
        else
            AppendAlarmCsvRow(rows_, transition, options_.decimalSeparator);
    }
    transitions_.clear();
    if (options_.rows) options_.rows(rows_);
    rows_.clear();
}

std::string LimitWatch::SummaryText() const {
    return std::to_string(judge_.transitions()) + " limit transitions; out of limits now: " + judge_.OutOfLimitsText();
}

std::optional<AlarmHook::Counts> LimitWatch::FinishCommands() {
    if (!hook_) return std::nullopt;
    return hook_->Finish();
}

QString WatchArchivedPackets(ArchiveReader& archive, const TimeRange& range, LimitWatch& watch) {
    return archive.ForEachPacket({range, AllChannels(), false}, [&](const ArchivedPacket& packet) { watch.Take(packet.record); });
}
