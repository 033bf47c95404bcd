#pragma once

#include "telemetry/channel_table.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

// A channel's limits: below red low or above red high is red, below yellow low or above yellow
// high yellow, and a value equal to a threshold is inside. A state holds once so many packets
// in a row showed it.
struct ChannelLimits {
    double redLow = 0, yellowLow = 0, yellowHigh = 0, redHigh = 0;
    int persist = 1;
};

// The limits of one set of a limits file, a channel each where it names one, and how long the
// satellite may be silent before it is stale.
struct Limits {
    std::array<std::optional<ChannelLimits>, kChannelCount> channels;
    std::optional<std::int64_t> staleMs;
    QString file;  // what it was read from, for messages
    QString set;
};

// The set a limits file names DEFAULT: what its lines before any SET belong to.
inline constexpr char kDefaultLimitSet[] = "DEFAULT";

// Reads a limits file: a statement a line, "#" to the line's end a comment, numbers with ".":
//   SET NAME                                  the lines after it belong to the set NAME
//   LIMIT "Battery 1 Volt" 3.3 3.5 4.2 4.4    red low, yellow low, yellow high, red high
//   LIMIT "Z+ Temperature" -20 -10 50 60 PERSIST 2
//   STALE 360                                 minutes without a packet: the satellite is stale
// The set asked for (DEFAULT when none is), or "FILE:LINE: what is wrong" with the first line
// that is wrong, or why the file or the set is not there.
std::variant<Limits, QString> ReadLimitsFile(const QString& path, const QString& set = {});

// The same of a file's text, named so in messages.
std::variant<Limits, QString> ParseLimits(const QString& name, const QByteArray& text, const QString& set);

// The channel a name is, as the CSV heading names it; or nothing.
std::optional<int> ChannelNamed(std::string_view name);

// The channel's name nearest to a name that is none: fewest letters to change, case aside.
std::string_view NearestChannelName(std::string_view name);
