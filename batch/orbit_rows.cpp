#include "batch/orbit_rows.h"

#include "exports/orbit_fields.h"

#include <algorithm>

std::string WithOrbitHeading(std::string heading, const OrbitColumns& orbit) {
    if (orbit.orbit && !heading.empty()) heading.insert(heading.size() - 2, OrbitCsvHeading(orbit.station.has_value()));
    return heading;
}

void AppendOrbitToRow(std::string& rows, std::size_t start, RowFormat format, const std::optional<OrbitPoint>& point, bool station,
                      char decimalSeparator) {
    const std::size_t endAt = format == RowFormat::LineProtocol ? rows.find_last_of(' ') : rows.size() - 2;
    if (endAt == std::string::npos || endAt < start) return;
    // the row's end set aside, the columns written, the end put back
    char end[32];
    const std::size_t endLength = std::min(rows.size() - endAt, sizeof end);
    rows.copy(end, endLength, endAt);
    rows.resize(endAt);
    switch (format) {
    case RowFormat::Csv: AppendOrbitCsv(rows, point, station, decimalSeparator); break;
    case RowFormat::JsonLines: AppendOrbitJson(rows, point, station); break;
    case RowFormat::LineProtocol:
        if (point) AppendOrbitFields(rows, *point, station);
        break;
    }
    rows.append(end, endLength);
}
