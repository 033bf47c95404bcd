#include "exports/json_lines.h"

#include "exports/csv_export.h"
#include "telemetry/time_stamps.h"
#include "telemetry/value_text.h"

#include <array>
#include <cstdio>

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

namespace {

// The key of each channel, made once: the names need no escapes.
const std::string& ChannelKey(int channel) {
    static const std::array<std::string, kChannelCount> kKeys = [] {
        std::array<std::string, kChannelCount> keys;
        for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = ",\"" + std::string(kChannels[i].name) + "\":";
        return keys;
    }();
    return kKeys[static_cast<std::size_t>(channel)];
}

// Every channel's key, for the room a line's channels may take.
std::size_t KeysLength() {
    static const std::size_t length = [] {
        std::size_t sum = 0;
        for (int i = 0; i < kChannelCount; ++i) sum += ChannelKey(i).size();
        return sum;
    }();
    return length;
}

void AppendTimes(std::string& out, const TelemetryRecord& record) {
    const std::string rxTime = IsoRxTime(record.rxTime);
    out += "{\"rx_time\":";
    if (rxTime.empty())
        out += "null";
    else
        out.append(1, '"').append(rxTime).append(1, '"');
    out.append(",\"obc_time\":\"").append(record.obcTime).append("\"");
}

// The channels written into room made once: a line's numbers cost one growth of the string.
void AppendChannels(std::string& out, const TelemetryRecord& record, std::span<const int> channels) {
    std::string jobId;
    AppendJsonString(jobId, record.jobIdText);
    RowBuffer row(out, KeysLength() + channels.size() * kValueTextMost + jobId.size() + 2);
    for (const int channel : channels) {
        row.Text(ChannelKey(channel));
        if (channel == kJobIdChannel)
            row.Text(jobId);
        else
            row.Value(record.values[static_cast<std::size_t>(channel)], '.');
    }
    row.Text("}\n");
}

}  // namespace

void AppendJsonLine(std::string& out, const TelemetryRecord& record, std::string_view source, std::string_view frameHex) {
    AppendTimes(out, record);
    out += ",\"source\":";
    AppendJsonString(out, source);
    out.append(",\"frame\":\"").append(frameHex).append("\"");
    AppendChannels(out, record, AllChannels());
}

void AppendArchivedJsonLine(std::string& out, const TelemetryRecord& record, std::string_view frameHex, int receptions,
                            std::string_view stations, std::span<const int> channels) {
    AppendTimes(out, record);
    out.append(",\"frame\":\"").append(frameHex).append("\",\"receptions\":").append(std::to_string(receptions));
    out += ",\"stations\":";
    AppendJsonString(out, stations);
    AppendChannels(out, record, channels);
}
