#pragma once

#include "intake/sids_station.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

// Where the station stands: LATITUDE and LONGITUDE in degrees (north and east), ALTITUDE in metres.
struct StationPlace {
    double latitudeDeg = 0, longitudeDeg = 0, altitudeM = 0;
};

// The settings of conf.ini, in the program's folder.
struct Configuration {
    QString imagePath;       // prefix of screenshot file names; ends with "/" to name a folder
    QString capturePath;     // the folder of the capture files; empty: the program's places say
    QString serverHost;      // the KISS server; empty when not configured
    std::optional<int> serverPort;
    bool screenshotButton = true;
    QString serverLabel;     // "[host:port]" once either is configured
    bool reconnect = false;  // RECONNECT = YES: the live client reconnects by itself
    std::optional<SidsStation> sids;  // SIDS = YES with every station key good: forward live frames
    QString sidsProblem;     // SIDS = YES, but a key is missing or malformed: why forwarding is off
    QString callsign;        // the station's, for forwarding and the archive's receptions
    QString archive;         // ARCHIVE: the archive's file, "YES" for the one in the capture folder; empty: none
    QString limits;          // LIMITS: a limits file; empty: no limits
    QString limitSet;        // LIMIT_SET: the set of it to use; empty: DEFAULT
    std::optional<std::int64_t> passGapMs;  // PASS_GAP: the silence, in minutes, that ends a pass
    QString tle;             // TLE: the satellite's element sets; empty: no orbit
    std::optional<StationPlace> place;  // LATITUDE and LONGITUDE both good, and ALTITUDE or 0
};

// "LAT,LON" or "LAT,LON,ALT_M", as --station-at takes it; nothing for any other text.
std::optional<StationPlace> StationPlaceOf(const QString& text);

// Minutes as typed ("15", "7.5"), above 0, in milliseconds; nothing for any other text.
std::optional<std::int64_t> MinutesOf(const QString& text);

struct ConfigurationResult {
    std::optional<Configuration> configuration;
    QString error;  // why start-up cannot go on, naming the file or the line
};

inline constexpr char kConfigurationFileName[] = "conf.ini";

// Lines of "KEY = value"; keys in any case, later lines override earlier ones. A line that is
// empty or starts with "#" is a comment, a line without "=" is ignored. The server's host
// and the SCREENSHOT value are taken upper-case; IMAGE_PATH keeps its case, since a path
// on a case-sensitive file system would break.
// Without IMAGE_PATH, screenshots go to the image folder.
ConfigurationResult ParseConfiguration(std::string_view text, const QString& imageFolder);

// Reads a conf.ini, wherever it stands.
ConfigurationResult ReadConfigurationFile(const QString& path, const QString& imageFolder);
