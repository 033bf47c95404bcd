#include "batch/archive_rows.h"

#include "exports/csv_export.h"
#include "exports/json_lines.h"
#include "exports/line_protocol.h"
#include "intake/frame_recognition.h"
#include "telemetry/channel_names.h"
#include "telemetry/hex_text.h"
#include "telemetry/time_stamps.h"

namespace {

constexpr std::size_t kFlushBytes = 1 << 18;

}  // namespace

std::variant<ArchiveQuery, QString> ReadArchiveQuery(const std::optional<QString>& from, const std::optional<QString>& to,
                                                     const std::optional<QString>& channels) {
    ArchiveQuery query;
    for (const auto& [text, end, option] : {std::tuple{from, &query.range.from, "--from"}, {to, &query.range.to, "--to"}}) {
        if (!text) continue;
        *end = ParseUtcTime(*text);
        if (!*end) return QStringLiteral("%1 takes a UTC time such as 2021-02-06 14:00:00, not \"%2\"").arg(option, *text);
    }
    if (query.range.from && query.range.to && *query.range.from >= *query.range.to)
        return QStringLiteral("--to (%1) comes after --from (%2)").arg(*to, *from);
    for (const QString& name : channels.value_or(QString()).split(',', Qt::SkipEmptyParts)) {
        const QString wanted = name.trimmed();
        const auto known = std::find_if(kChannels.begin(), kChannels.end(),
                                        [&](const Channel& channel) { return QLatin1String(channel.name.data(), channel.name.size()) == wanted; });
        if (known == kChannels.end()) return "no channel is named \"" + wanted + "\"";
        query.channels.push_back(static_cast<int>(known - kChannels.begin()));
    }
    if (channels && query.channels.empty()) return "--channels names no channel";
    if (query.channels.empty()) query.channels.assign(AllChannels().begin(), AllChannels().end());
    return query;
}

QString WriteArchivedPackets(ArchiveReader& store, const ArchiveQuery& query, RowFormat format, char decimalSeparator,
                             const std::function<void(std::string_view)>& write,
                             const std::function<void(const ArchivedPacket&)>& each, const OrbitColumns& orbit) {
    const bool station = orbit.station.has_value();
    std::string rows = WithOrbitHeading(format == RowFormat::Csv ? CsvHeading(query.channels) : std::string(), orbit);
    std::string frameHex;
    PointSpacing spacing;
    const PacketQuery packets{query.range, each ? AllChannels() : std::span<const int>(query.channels), format != RowFormat::Csv};
    const QString error = store.ForEachPacket(packets, [&](const ArchivedPacket& packet) {
        if (each) each(packet);
        const std::size_t start = rows.size();
        switch (format) {
        case RowFormat::Csv: AppendCsvRow(rows, packet.record, decimalSeparator, query.channels); break;
        case RowFormat::JsonLines:
            HexText(packet.frame, frameHex);
            AppendArchivedJsonLine(rows, packet.record, frameHex, packet.receptions, packet.stations, query.channels);
            break;
        // the stations that heard it, and the archive as its source
        case RowFormat::LineProtocol:
            AppendLineProtocol(rows, packet.record, {packet.stations, "archive", 0, spacing.Next(packet.stations, {}, packet.record.rxTime)},
                               query.channels);
            break;
        }
        if (orbit.orbit)
            AppendOrbitToRow(rows, start, format, orbit.orbit->PointAt(static_cast<double>(packet.timeMs), orbit.station), station,
                             decimalSeparator);
        if (rows.size() < kFlushBytes) return;
        write(rows);
        rows.clear();
    });
    write(rows);
    return error;
}

QString WriteArchivedTextBeacons(ArchiveReader& store, const ArchiveQuery& query, const LogStyle& log,
                                 const std::function<void(std::string_view)>& write) {
    return store.ForEachTextBeacon(query.range, [&](const ArchivedPacket& beacon) {
        write(BeaconTextLine(beacon.frame, beacon.record.rxTime, log) + '\n');
    });
}
