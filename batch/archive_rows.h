#pragma once

#include "archive/archive_reader.h"
#include "batch/batch_decode.h"

#include <QString>

#include <functional>
#include <string_view>
#include <variant>
#include <vector>

// What is asked of the archive: orca5-decode's --from, --to and --channels.
struct ArchiveQuery {
    TimeRange range;
    std::vector<int> channels;  // in the order asked; every channel when none was named
};

// The query of --from, --to (each "2021-02-06", "2021-02-06 14:00:00" or
// "2021-02-06T14:00:00.123Z", UTC) and --channels ("Battery 1 Volt,Urbv"), each when given;
// or what is wrong with them: a time that is none, a range that ends before it starts, a
// name that is no channel's, a list that names none.
std::variant<ArchiveQuery, QString> ReadArchiveQuery(const std::optional<QString>& from, const std::optional<QString>& to,
                                                     const std::optional<QString>& channels);

// Writes the telemetry packets of the range as rows, oldest first: CSV as "Write CSV File"
// writes it (the time being the packet's earliest reception), or JSON lines with how often
// and by whom each was heard. Why the archive could not be read, or nothing.
// With `each`, every packet is handed to it too, with all its channels' values; with element sets
// each row gains the orbit's columns at the packet's time.
QString WriteArchivedPackets(ArchiveReader& store, const ArchiveQuery& query, RowFormat format, char decimalSeparator,
                             const std::function<void(std::string_view)>& write,
                             const std::function<void(const ArchivedPacket&)>& each = {}, const OrbitColumns& orbit = {});

// Writes the text beacons of the range as the log style lists them.
QString WriteArchivedTextBeacons(ArchiveReader& store, const ArchiveQuery& query, const LogStyle& log,
                                 const std::function<void(std::string_view)>& write);
