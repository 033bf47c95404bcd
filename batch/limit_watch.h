#pragma once

#include "archive/archive_reader.h"
#include "batch/batch_decode.h"
#include "limits/alarm_hook.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// The limits on the command line's road: each packet judged as it comes, in time order; its
// transitions written as rows (--alarms), told to a command (--on-alarm) and counted for the
// summary.
class LimitWatch {
public:
    struct Options {
        RowFormat format = RowFormat::Csv;    // of the rows: CSV or JSON lines
        char decimalSeparator = '.';
        std::function<void(std::string_view)> rows = {};  // none: the transitions make no rows
        std::optional<QString> command = {};              // run at each transition
        std::string station = {};                         // ORCA5_STATION
        std::size_t commandsWaitingAtMost = 0;            // live: 1000; 0: files, all of them run
    };

    LimitWatch(Limits limits, Options options);

    void Take(const TelemetryRecord& record);
    // Live, with no packet: the satellite turns stale when its time is past.
    void Tick(std::int64_t nowMs);

    // "12 limit transitions; out of limits now: Battery 1 Volt red_low (3.21 < 3.3)"
    std::string SummaryText() const;
    // Waits for the last command (reading files); what the commands did, when there are any.
    std::optional<AlarmHook::Counts> FinishCommands();

private:
    void Tell();

    LimitJudge judge_;
    Options options_;
    std::unique_ptr<AlarmHook> hook_;
    std::vector<LimitTransition> transitions_;  // of the packet in hand
    std::string rows_;
};

// Judges the archive's packets of a range, oldest first. Why the archive could not be read, or
// nothing.
QString WatchArchivedPackets(ArchiveReader& archive, const TimeRange& range, LimitWatch& watch);
