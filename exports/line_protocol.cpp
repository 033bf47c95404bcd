#include "exports/line_protocol.h"

#include "telemetry/channel_names.h"
#include "telemetry/beacon_layout.h"
#include "telemetry/time_stamps.h"
#include "telemetry/value_text.h"

#include <array>

namespace {

enum class FieldType { Integer, Decimal, Text };

struct FieldKey {
    std::string name;  // ",battery_1_volt=" (the first field's comma is dropped)
    FieldType type;
};

// Each channel's key and type, made once: a value read from the frame as it stands is a count.
const FieldKey& KeyOf(int channel) {
    static const std::array<FieldKey, kChannelCount> kKeys = [] {
        std::array<FieldKey, kChannelCount> keys;
        for (int i = 0; i < kChannelCount; ++i) {
            const auto field = std::find_if(kBeaconLayout.begin(), kBeaconLayout.end(), [&](const Field& f) { return f.channel == i; });
            FieldKey& key = keys[static_cast<std::size_t>(i)];
            key.name.append(",").append(ColumnOf(i)).append("=");
            key.type = field == kBeaconLayout.end() ? FieldType::Text : field->divisor == 1 ? FieldType::Integer : FieldType::Decimal;
        }
        return keys;
    }();
    return kKeys[static_cast<std::size_t>(channel)];
}

// A tag value: commas, spaces and equals signs are escaped.
void AppendTagValue(std::string& out, std::string_view value) {
    for (const char c : value) {
        if (c == ',' || c == ' ' || c == '=' || c == '\\') out += '\\';
        out += c;
    }
}

void AppendText(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

}  // namespace

bool AppendLineProtocol(std::string& out, const TelemetryRecord& record, const LineTags& tags, std::span<const int> channels) {
    const std::optional<std::int64_t> timeMs = UtcMilliseconds(record.rxTime);
    if (!timeMs) return false;
    out += "orca5";
    if (!tags.station.empty()) AppendTagValue(out.append(",station="), tags.station);
    AppendTagValue(out.append(",source="), tags.source);
    out += ' ';
    for (std::size_t k = 0; k < channels.size(); ++k) {
        const int channel = channels[k];
        const FieldKey& key = KeyOf(channel);
        out += std::string_view(key.name).substr(k == 0 ? 1 : 0);  // no comma before the first
        if (key.type == FieldType::Text) {
            AppendText(out, record.jobIdText);
            continue;
        }
        AppendValueText(out, record.values[static_cast<std::size_t>(channel)], '.');
        if (key.type == FieldType::Integer) out += 'i';
    }
    if (tags.place > 0) out.append(",place=").append(std::to_string(tags.place)).append("i");
    out.append(" ").append(std::to_string(*timeMs * 1000000 + tags.nanoseconds)).append("\n");
    return true;
}

std::int64_t PointSpacing::Next(std::string_view station, std::string_view source, std::string_view rxTime) {
    const std::size_t length = series_.size();
    const bool same = rxTime == rxTime_ && length == station.size() + 1 + source.size() &&
                      series_.compare(0, station.size(), station) == 0 && series_.compare(station.size() + 1, source.size(), source) == 0;
    if (same) return ++count_;
    series_.assign(station).append(1, '\n').append(source);
    rxTime_.assign(rxTime);
    return count_ = 0;
}
