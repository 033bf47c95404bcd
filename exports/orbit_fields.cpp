#include "exports/orbit_fields.h"

#include <charconv>
#include <cmath>

namespace {

// The columns, their decimals (a ten-thousandth of a degree is some 11 m on the ground), and
// how each is read from a point.
struct Column {
    const char* name;
    int decimals;
    double (*value)(const OrbitPoint&);
    bool fromStation;
};

constexpr Column kColumns[] = {
    {"sat_lat", 4, [](const OrbitPoint& p) { return p.below.latitudeDeg; }, false},
    {"sat_lon", 4, [](const OrbitPoint& p) { return p.below.longitudeDeg; }, false},
    {"sat_alt_km", 3, [](const OrbitPoint& p) { return p.below.altitudeKm; }, false},
    {"elevation", 2, [](const OrbitPoint& p) { return p.look->elevationDeg; }, true},
    {"azimuth", 2, [](const OrbitPoint& p) { return p.look->azimuthDeg; }, true},
};
constexpr const char* kSunlit = "sunlit";

// In fixed notation, rounded half away from zero: the value's units of the last decimal as an
// integer, its point put in (what to_chars does for any number, a good deal faster for these).
void AppendNumber(std::string& out, double value, int decimals, char decimalSeparator) {
    static constexpr double kScale[] = {1, 10, 100, 1000, 10000};
    const long long units = std::llround(value * kScale[decimals]);
    const unsigned long long magnitude = units < 0 ? 0ULL - static_cast<unsigned long long>(units) : static_cast<unsigned long long>(units);
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    std::size_t count = static_cast<std::size_t>(end - digits);
    if (units < 0) out += '-';
    if (count <= static_cast<std::size_t>(decimals)) {  // below 1: zeros before the digits
        out.append(1, '0').append(1, decimalSeparator).append(static_cast<std::size_t>(decimals) - count, '0').append(digits, count);
        return;
    }
    out.append(digits, count - static_cast<std::size_t>(decimals)).append(1, decimalSeparator).append(end - decimals, end);
}

// Each column in order, sunlit after the height: calls take(name, point's number or nothing)
// and sunlit(name).
template <typename Number, typename Sunlit>
void EachColumn(bool station, Number number, Sunlit sunlit) {
    for (const Column& column : kColumns) {
        if (column.fromStation && !station) continue;
        number(column);
        if (std::string_view(column.name) == "sat_alt_km") sunlit();
    }
}

}  // namespace

std::string OrbitCsvHeading(bool station) {
    std::string heading;
    EachColumn(station, [&](const Column& c) { heading.append(c.name).append(1, ';'); }, [&] { heading.append(kSunlit).append(1, ';'); });
    return heading;
}

void AppendOrbitCsv(std::string& out, const std::optional<OrbitPoint>& point, bool station, char decimalSeparator) {
    EachColumn(station, [&](const Column& c) {
        if (point) AppendNumber(out, c.value(*point), c.decimals, decimalSeparator);
        out += ';';
    }, [&] { out.append(point ? (point->sunlit ? "1" : "0") : "").append(1, ';'); });
}

void AppendOrbitJson(std::string& out, const std::optional<OrbitPoint>& point, bool station) {
    EachColumn(station, [&](const Column& c) {
        out.append(",\"").append(c.name).append("\":");
        if (point) AppendNumber(out, c.value(*point), c.decimals, '.');
        else out += "null";
    }, [&] { out.append(",\"").append(kSunlit).append("\":").append(point ? (point->sunlit ? "true" : "false") : "null"); });
}

void AppendOrbitFields(std::string& out, const OrbitPoint& point, bool station) {
    EachColumn(station, [&](const Column& c) {
        out.append(1, ',').append(c.name).append(1, '=');
        AppendNumber(out, c.value(point), c.decimals, '.');
    }, [&] { out.append(1, ',').append(kSunlit).append(point.sunlit ? "=true" : "=false"); });
}
