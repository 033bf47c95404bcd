#include "batch/pass_rows.h"

#include "archive/station_activity.h"
#include "exports/json_lines.h"
#include "telemetry/time_stamps.h"

#include <charconv>
#include <cmath>
#include <variant>
#include <vector>

namespace {

constexpr std::size_t kFlushBytes = 1 << 18;

// A row's fields, each a text, a count or a number of two decimals, named for JSON.
using Field = std::variant<std::string, std::int64_t, double>;
struct Named {
    const char* name;
    Field value;
};

// A text field in CSV: quoted, its quotes doubled, only when it holds what would split the row.
void AppendCsvText(std::string& out, std::string_view text) {
    if (text.find_first_of(";\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out += '"';
    for (const char c : text) out.append(c == '"' ? 2 : 1, c);
    out += '"';
}

void AppendTwoDecimals(std::string& out, double value) {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2).ptr);
}

void AppendRow(std::string& out, RowFormat format, const std::vector<Named>& fields) {
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (format == RowFormat::JsonLines) {
            out += k == 0 ? "{\"" : ",\"";
            out.append(fields[k].name).append("\":");
        } else if (k > 0) {
            out += ';';
        }
        if (const auto* number = std::get_if<std::int64_t>(&fields[k].value))
            out += std::to_string(*number);
        else if (const auto* decimal = std::get_if<double>(&fields[k].value))
            AppendTwoDecimals(out, *decimal);
        else if (format == RowFormat::JsonLines)
            AppendJsonString(out, std::get<std::string>(fields[k].value));
        else
            AppendCsvText(out, std::get<std::string>(fields[k].value));
    }
    out += format == RowFormat::JsonLines ? "}\n" : "\r\n";  // CSV's lines end as the CSV export's do
}

std::string HeadingOf(const std::vector<Named>& fields) {
    std::string heading;
    for (const Named& field : fields) heading.append(heading.empty() ? "" : ";").append(field.name);
    return heading + "\r\n";
}

std::vector<Named> PassFields(const Pass& pass) {
    return {{"station", pass.station},          {"start", RxTimeTextOf(pass.startMs)},    {"end", RxTimeTextOf(pass.endMs)},
            {"packets", pass.packets},          {"first_heard", pass.firstHeard},         {"only_here", pass.onlyHere}};
}

std::vector<Named> StationFields(const StationRecord& station) {
    return {{"station", station.station},   {"passes", station.passes},           {"packets", station.packets},
            {"first_heard", station.firstHeard}, {"only_here", station.onlyHere}, {"first", RxTimeTextOf(station.firstMs)},
            {"last", RxTimeTextOf(station.lastMs)}};
}

std::vector<Named> PredictedFields(const PredictedPass& pass) {
    return {{"aos", RxTimeTextOf(std::llround(pass.aosMs))},
            {"los", RxTimeTextOf(std::llround(pass.losMs))},
            {"max_elevation", pass.maxElevationDeg},
            {"max_time", RxTimeTextOf(std::llround(pass.maxTimeMs))}};
}

// Writes the rows of those items a filter keeps, the CSV heading first.
template <typename Item>
void WriteRows(const std::vector<Item>& items, RowFormat format, std::vector<Named> (*fields)(const Item&),
               const std::function<bool(const Item&)>& keep, const std::function<void(std::string_view)>& write) {
    std::string rows = format == RowFormat::Csv ? HeadingOf(fields(Item{})) : std::string();
    for (const Item& item : items) {
        if (!keep(item)) continue;
        AppendRow(rows, format, fields(item));
        if (rows.size() < kFlushBytes) continue;
        write(rows);
        rows.clear();
    }
    write(rows);
}

bool InRange(const TimeRange& range, std::int64_t timeMs) {
    return (!range.from || timeMs >= *range.from) && (!range.to || timeMs < *range.to);
}

}  // namespace

QString WritePasses(ArchiveReader& archive, const PassQuery& query, RowFormat format, const std::function<void(std::string_view)>& write) {
    // a pass that starts in the range is made from the receptions before it too
    StationActivity activity;
    if (QString error = ReadStationActivity(archive, {}, query.gapMs, activity); !error.isEmpty()) return error;
    WriteRows<Pass>(activity.passes, format, PassFields, [&](const Pass& pass) {
        return InRange(query.range, pass.startMs) && (!query.station || pass.station == *query.station);
    }, write);
    return {};
}

QString WriteStations(ArchiveReader& archive, const PassQuery& query, RowFormat format,
                      const std::function<void(std::string_view)>& write) {
    StationActivity activity;
    if (QString error = ReadStationActivity(archive, query.range, query.gapMs, activity); !error.isEmpty()) return error;
    WriteRows<StationRecord>(activity.stations, format, StationFields, [&](const StationRecord& station) {
        return !query.station || station.station == *query.station;
    }, write);
    return {};
}

void WritePredictedPasses(const std::vector<PredictedPass>& passes, RowFormat format, const std::function<void(std::string_view)>& write) {
    WriteRows<PredictedPass>(passes, format, PredictedFields, [](const PredictedPass&) { return true; }, write);
}
