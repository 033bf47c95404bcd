#include "exports/csv_export.h"

#include "telemetry/value_text.h"

#include <array>

std::string CsvText(const ProgramState& state, char decimalSeparator) {
    std::string text;
    text.reserve(static_cast<std::size_t>(state.packetCount + 1) * 400);
    text += CsvHeading();
    for (int n = 1; n <= state.packetCount; ++n) AppendCsvRow(text, *state.Packet(n), decimalSeparator);
    return text;
}

std::string CsvHeading(std::span<const int> channels) {
    std::string line = "time;";
    for (const int channel : channels) line.append(kChannels[static_cast<std::size_t>(channel)].name).append(";");
    return line + "\r\n";
}

const std::string& CsvHeading() {
    static const std::string heading = CsvHeading(AllChannels());
    return heading;
}

void AppendCsvRow(std::string& out, const TelemetryRecord& record, char decimalSeparator, std::span<const int> channels) {
    RowBuffer row(out, record.rxTime.size() + channels.size() * (kValueTextMost + 1) + 3);
    row.Text(record.rxTime).Char(';');
    for (const int channel : channels) row.Value(record.values[static_cast<std::size_t>(channel)], decimalSeparator).Char(';');
    row.Text("\r\n");
}

void AppendCsvRow(std::string& out, const TelemetryRecord& record, char decimalSeparator) {
    AppendCsvRow(out, record, decimalSeparator, AllChannels());
}
