#include "archive/archive_sql.h"

#include <algorithm>
#include <vector>

std::string EachChannel(const std::function<std::string(const std::string& column, int channel)>& piece,
                        std::span<const std::string_view> columns) {
    std::string sql;
    for (int i = 0; i < kChannelCount; ++i) sql += piece(std::string(columns[static_cast<std::size_t>(i)]), i);
    return sql;
}

std::string SummaryValueOf(int channel) { return channel == kJobIdChannel ? "0.0" : std::string(ArchiveColumn(channel)); }

std::string SummaryTable(int level) { return "summaries_" + std::to_string(kSummaryBucketMs[level] / 60000) + "min"; }

std::string ArchiveSql::Parameter(int number) const { return d_.placeholder + std::to_string(number); }

std::string ArchiveSql::InRange(const std::string& column) const {
    return column + " >= " + d_.timeOf(Parameter(1)) + " AND " + column + " < " + d_.timeOf(Parameter(2));
}

std::string ArchiveSql::ChannelColumns(std::span<const std::string_view> columns) const {
    return EachChannel([&](const std::string& column, int channel) {
        return ", " + column + " " + std::string(channel == kJobIdChannel ? d_.text : d_.real);
    }, columns);
}

std::string ArchiveSql::SummaryTables(std::span<const std::string_view> columns) const {
    const std::string integer(d_.integer), real(d_.real);
    std::string sql;
    for (int level = 0; level < kSummaryLevels; ++level)
        sql += "CREATE TABLE " + SummaryTable(level) + "(start_ms " + integer + " PRIMARY KEY, packets " + integer + " NOT NULL" +
               EachChannel([&](const std::string& c, int) { return ", " + c + "_min " + real + ", " + c + "_max " + real + ", " + c + "_sum " + real; },
                           columns) +
               ");" + Summarize(level, false, columns) + ";";
    return sql;
}

std::string ArchiveSql::Summarize(int level, bool ranged, std::span<const std::string_view> columns) const {
    const std::string length = std::to_string(kSummaryBucketMs[level]);
    const bool finest = level == 0;
    const std::string time = finest ? d_.milliseconds(std::string(d_.time)) : "start_ms";
    std::string sql = "INSERT INTO " + SummaryTable(level) + " SELECT " + time + " / " + length + " * " + length +
                      (finest ? ", count(*)" : ", sum(packets)");
    sql += EachChannel([&](const std::string& c, int channel) {
        const std::string value = channel == kJobIdChannel ? "0.0" : c;
        return finest ? ", min(" + value + "), max(" + value + "), sum(" + value + ")"
                      : ", min(" + c + "_min), max(" + c + "_max), sum(" + c + "_sum)";
    }, columns);
    sql += finest ? " FROM frames WHERE obc_time IS NOT NULL" : " FROM " + SummaryTable(level - 1) + " WHERE packets > 0";
    if (ranged) sql += " AND " + time + " >= " + Parameter(1) + " AND " + time + " < " + Parameter(2);
    sql += " GROUP BY 1";
    // where the emptied buckets stay, each is replaced whole
    if (d_.deletes) return sql;
    return sql + " ON CONFLICT (start_ms) DO UPDATE SET packets = excluded.packets" + EachChannel([](const std::string& c, int) {
               return ", " + c + "_min = excluded." + c + "_min, " + c + "_max = excluded." + c + "_max, " + c + "_sum = excluded." + c + "_sum";
           }, columns);
}

std::string ArchiveSql::AddSummary(int level) const {
    const std::string table = SummaryTable(level);
    std::string values;
    for (int k = 0; k < 3 * kChannelCount; ++k) values += ", " + Parameter(k + 3);
    const std::string least(d_.least), greatest(d_.greatest);
    return "INSERT INTO " + table + "(start_ms, packets" +
           EachChannel([](const std::string& c, int) { return ", " + c + "_min, " + c + "_max, " + c + "_sum"; }) + ") VALUES(" +
           Parameter(1) + ", " + Parameter(2) + values + ") ON CONFLICT (start_ms) DO UPDATE SET packets = " + table +
           ".packets + excluded.packets" + EachChannel([&](const std::string& c, int) {
               const std::string t = table + ".";
               return ", " + c + "_min = " + least + "(" + t + c + "_min, excluded." + c + "_min), " + c + "_max = " + greatest + "(" + t + c +
                      "_max, excluded." + c + "_max), " + c + "_sum = " + t + c + "_sum + excluded." + c + "_sum";
           });
}

std::string ArchiveSql::ClearSummaries(int level) const {
    const std::string range = " WHERE start_ms >= " + Parameter(1) + " AND start_ms < " + Parameter(2);
    return (d_.deletes ? "DELETE FROM " + SummaryTable(level) : "UPDATE " + SummaryTable(level) + " SET packets = 0") + range;
}

std::string ArchiveSql::Decoded() const {
    return "UPDATE frames SET obc_time = " + Parameter(2) +
           EachChannel([&](const std::string& c, int channel) { return ", " + c + " = " + Parameter(channel + 3); }) + " WHERE id = " + Parameter(1);
}

std::string ArchiveSql::FramesAfter() const {
    return "SELECT id, bytes FROM frames WHERE id > " + Parameter(1) + " ORDER BY id LIMIT " + Parameter(2);
}

// Receptions and stations of the frame a row names; a station that heard it twice is named
// twice (SQL's DISTINCT here would sort each row's stations apart). Then the station of its
// earliest reception, the first by name of a tie, as the passes count it.
std::string ArchiveSql::Heard() const {
    const std::string time(d_.time);
    return ", (SELECT count(*) FROM receptions r WHERE r.frame = f.id), (SELECT " + std::string(d_.stations) +
           " FROM receptions r WHERE r.frame = f.id AND station <> ''), (SELECT station FROM receptions r WHERE r.frame = f.id ORDER BY " +
           time + ", station" + std::string(d_.bytewise) + " LIMIT 1)";
}

// Ordered as the time index is (time, digest, id): read in its order, never sorted.
std::string ArchiveSql::Packets(const PacketQuery& query, bool fromColumns) const {
    const std::string time = "f." + std::string(d_.time);
    std::string columns;
    if (fromColumns) {
        columns = "f.obc_time";
        for (const int channel : query.channels) columns.append(", f.").append(ArchiveColumn(channel));
    } else {
        columns = "f.bytes" + (query.receptions ? Heard() : std::string());
    }
    return "SELECT " + d_.milliseconds(time) + ", " + columns + " FROM frames f WHERE " + InRange(time) +
           " AND f.obc_time IS NOT NULL ORDER BY " + time + ", f.digest, f.id" +
           (query.limit > 0 ? " LIMIT " + std::to_string(query.limit) : std::string());
}

std::string ArchiveSql::TextBeacons() const {
    const std::string time = "f." + std::string(d_.time);
    return "SELECT " + d_.milliseconds(time) + ", f.bytes" + Heard() + " FROM frames f WHERE " + InRange(time) +
           " AND f.obc_time IS NULL ORDER BY " + time + ", f.digest, f.id";
}

std::string ArchiveSql::Summaries(int level, int channel) const {
    const std::string c(ArchiveColumn(channel));
    return "SELECT start_ms, packets, " + c + "_min, " + c + "_max, " + c + "_sum FROM " + SummaryTable(level) + " WHERE start_ms >= " +
           Parameter(1) + " AND start_ms < " + Parameter(2) + " AND packets > 0 ORDER BY start_ms";
}

std::string ArchiveSql::Values(int channel) const {
    const std::string time(d_.time);
    return "SELECT " + d_.milliseconds(time) + ", " + SummaryValueOf(channel) + " FROM frames WHERE " + InRange(time) +
           " AND obc_time IS NOT NULL ORDER BY " + time;
}

std::string ArchiveSql::PacketTime(std::string_view which) const {
    const std::string time(d_.time);
    return "SELECT " + d_.milliseconds(std::string(which) + "(" + time + ")") + " FROM frames WHERE " + InRange(time) + " AND obc_time IS NOT NULL";
}

std::string ArchiveSql::CountPackets() const {
    return "SELECT count(*) FROM frames WHERE " + InRange(std::string(d_.time)) + " AND obc_time IS NOT NULL";
}

// A frame emptied into another keeps no time, and the receptions left with it count no more.
std::string ArchiveSql::Receptions() const {
    const std::string time = "r." + std::string(d_.time);
    return "SELECT r.frame, " + d_.milliseconds(time) + ", r.station, CASE WHEN f.obc_time IS NULL THEN 0 ELSE 1 END FROM receptions r "
           "JOIN frames f ON f.id = r.frame WHERE " + InRange(time) + " AND f." + std::string(d_.time) + " IS NOT NULL ORDER BY r.frame";
}

std::string ArchiveSql::StationDays() const {
    const std::string time = "f." + std::string(d_.time), day = std::to_string(kDayMs);
    return "SELECT " + d_.milliseconds(time) + " / " + day + " * " + day + ", count(DISTINCT f.id) FROM frames f JOIN receptions r ON r.frame = f.id "
           "WHERE " + InRange(time) + " AND f.obc_time IS NOT NULL AND r.station = " + Parameter(3) + " GROUP BY 1 ORDER BY 1";
}

std::string ArchiveSql::Stations() const {
    // the range's bounds are bound to every query: open here
    return "SELECT station FROM receptions WHERE station <> '' AND " + InRange(std::string(d_.time)) + " GROUP BY station ORDER BY station" +
           std::string(d_.bytewise);
}

void AssignStations(std::string& stations, std::string_view listed) {
    std::vector<std::string_view> seen;
    stations.clear();
    for (std::size_t start = 0; start < listed.size();) {
        const std::size_t end = std::min(listed.find(',', start), listed.size());
        const std::string_view station = listed.substr(start, end - start);
        start = end + 1;
        if (std::find(seen.begin(), seen.end(), station) != seen.end()) continue;
        seen.push_back(station);
        if (!stations.empty()) stations += ',';
        stations.append(station);
    }
}
