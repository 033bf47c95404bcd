#include "archive/json_lines.h"

#include "telemetry/time_stamps.h"
#include "telemetry/value_text.h"

#include <array>
#include <cstdio>

namespace {

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

}  // namespace

void AppendJsonLine(std::string& out, const TelemetryRecord& record, std::string_view source, std::string_view frameHex) {
    // the keys of the channels, made once: the names need no escapes
    static const std::array<std::string, kChannelCount> kKeys = [] {
        std::array<std::string, kChannelCount> keys;
        for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = ",\"" + std::string(kChannels[i].name) + "\":";
        return keys;
    }();
    const std::string rxTime = IsoRxTime(record.rxTime);
    out += "{\"rx_time\":";
    out += rxTime.empty() ? "null" : '"' + rxTime + '"';
    out.append(",\"obc_time\":\"").append(record.obcTime).append("\",\"source\":");
    AppendJsonString(out, source);
    out.append(",\"frame\":\"").append(frameHex).append("\"");
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        out += kKeys[i];
        if (static_cast<int>(i) == kJobIdChannel)
            AppendJsonString(out, record.jobIdText);
        else
            AppendValueText(out, record.values[i], '.');
    }
    out += "}\n";
}
