#include "archive/csv_export.h"

#include "telemetry/value_text.h"

std::string CsvText(const ProgramState& state, char decimalSeparator) {
    std::string text;
    text.reserve(static_cast<std::size_t>(state.packetCount + 1) * 400);
    text += CsvHeading();
    for (int n = 1; n <= state.packetCount; ++n) AppendCsvRow(text, *state.Packet(n), decimalSeparator);
    return text;
}

const std::string& CsvHeading() {
    static const std::string heading = [] {
        std::string line = "time;";
        for (const Channel& channel : kChannels) line.append(channel.name).append(";");
        return line + "\r\n";
    }();
    return heading;
}

void AppendCsvRow(std::string& out, const TelemetryRecord& record, char decimalSeparator) {
    out.append(record.rxTime).append(";");
    for (const double value : record.values) {
        AppendValueText(out, value, decimalSeparator);
        out += ';';
    }
    out += "\r\n";
}
