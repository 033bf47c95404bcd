#pragma once

#include "telemetry/channel_table.h"

#include <QString>

#include <array>
#include <string>

// One row of the telemetry table as the screen shows it.
struct ShownChannel {
    QString name;
    QString value;
    QString unit;
};

// The banner's 52 characters: the title, three spaces and our attribution.
inline constexpr char kTlmBanner[] = "ORCA-5 Telemetry Decoder   by the orca5 contributors";

// The text followed by spaces up to the width; a longer text is kept whole.
QString PadRight(const QString& text, int width);

// The packet on screen as a fixed-column report: banner, underline, an empty line, and the
// channels in pairs, name, value and unit each padded to its column. Lines end in CR LF.
std::string TlmReportText(const std::array<ShownChannel, kChannelCount>& table);
