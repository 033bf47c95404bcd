#include "intake/configuration.h"

#include "intake/whole_file.h"

#include <QDir>

#include <cmath>

namespace {

QString TrimSpaces(QString text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && (text[first] == u' ' || text[first] == u'\t')) ++first;
    while (last > first && (text[last - 1] == u' ' || text[last - 1] == u'\t')) --last;
    return text.mid(first, last - first);
}

QString ServerLabel(const Configuration& configuration) {
    const QString port = configuration.serverPort ? QString::number(*configuration.serverPort) : QString();
    return u'[' + configuration.serverHost + u':' + port + u']';
}

// Applies one "KEY = value" line; returns an error text when the value cannot be used.
QString ApplyLine(Configuration& configuration, const QString& key, const QString& value) {
    if (key == u"IMAGE_PATH") {
        configuration.imagePath = value;
    } else if (key == u"TCP_SERVER") {
        configuration.serverHost = value.toUpper();
        configuration.serverLabel = ServerLabel(configuration);
    } else if (key == u"TCP_PORT") {
        bool isNumber = false;
        const int port = value.toInt(&isNumber, 10);
        if (!isNumber || port < 1 || port > 65535)
            return QStringLiteral("TCP_PORT \"%1\" is not a port number (1 to 65535)").arg(value);
        configuration.serverPort = port;
        configuration.serverLabel = ServerLabel(configuration);
    } else if (key == u"SCREENSHOT") {
        configuration.screenshotButton = value.toUpper() == u"YES";
    } else if (key == u"CAPTURE_PATH") {
        configuration.capturePath = value;
    } else if (key == u"RECONNECT") {
        configuration.reconnect = value.toUpper() == u"YES";
    } else if (key == u"ARCHIVE") {
        configuration.archive = value;
    } else if (key == u"LIMITS") {
        configuration.limits = value;
    } else if (key == u"LIMIT_SET") {
        configuration.limitSet = value;
    } else if (key == u"TLE") {
        configuration.tle = value;
    } else if (key == u"ALTITUDE") {
        bool isNumber = false;
        const double metres = value.toDouble(&isNumber);
        if (!isNumber || !std::isfinite(metres) || std::fabs(metres) > 100000)
            return QStringLiteral("ALTITUDE \"%1\" is not a height in metres").arg(value);
        configuration.place.emplace().altitudeM = metres;  // placed once LATITUDE and LONGITUDE are read
    } else if (key == u"PASS_GAP") {
        configuration.passGapMs = MinutesOf(value);
        if (!configuration.passGapMs) return QStringLiteral("PASS_GAP \"%1\" is not a number of minutes above 0").arg(value);
    }
    return {};
}

// The SiDS keys, checked once all lines are read; a problem turns forwarding off, nothing more.
struct SidsKeys {
    bool on = false;
    QString url = kSatnogsDbTelemetryUrl, callsign, latitude, longitude, noradId;
};

bool TakeSidsKey(SidsKeys& keys, const QString& key, const QString& value) {
    if (key == u"SIDS") keys.on = value.toUpper() == u"YES";
    else if (key == u"SIDS_URL") keys.url = value;
    else if (key == u"CALLSIGN") keys.callsign = value;
    else if (key == u"LATITUDE") keys.latitude = value;
    else if (key == u"LONGITUDE") keys.longitude = value;
    else if (key == u"NORAD_ID") keys.noradId = value;
    else return false;
    return true;
}

std::optional<double> Degrees(const QString& text, double limit) {
    bool isNumber = false;
    const double degrees = text.toDouble(&isNumber);
    return isNumber && degrees >= -limit && degrees <= limit ? std::optional(degrees) : std::nullopt;
}

// The station, or why it cannot forward.
QString TakeSidsStation(Configuration& configuration, const SidsKeys& keys) {
    if (!keys.on) return {};
    SidsStation station;
    station.url = QUrl(keys.url, QUrl::StrictMode);
    const bool web = station.url.scheme() == u"http" || station.url.scheme() == u"https";
    if (!station.url.isValid() || !web || station.url.host().isEmpty())
        return QStringLiteral("SIDS_URL \"%1\" is not an http or https address").arg(keys.url);
    station.callsign = keys.callsign;
    if (station.callsign.isEmpty()) return "no CALLSIGN";
    const auto latitude = Degrees(keys.latitude, 90), longitude = Degrees(keys.longitude, 180);
    if (!latitude) return QStringLiteral("LATITUDE \"%1\" is not in degrees from -90 to 90").arg(keys.latitude);
    if (!longitude) return QStringLiteral("LONGITUDE \"%1\" is not in degrees from -180 to 180").arg(keys.longitude);
    bool isNumber = false;
    station.noradId = keys.noradId.toInt(&isNumber);
    if (!isNumber || station.noradId <= 0) return QStringLiteral("NORAD_ID \"%1\" is not a catalogue number").arg(keys.noradId);
    station.latitude = *latitude;
    station.longitude = *longitude;
    configuration.sids = station;
    return {};
}

}  // namespace

std::optional<std::int64_t> MinutesOf(const QString& text) {
    bool isNumber = false;
    const double minutes = text.toDouble(&isNumber);
    // up to a year: beyond it every station's receptions are one pass anyway
    constexpr double kYearMinutes = 366.0 * 24 * 60;
    if (!isNumber || !(minutes > 0) || minutes > kYearMinutes) return std::nullopt;
    return std::llround(minutes * 60000);
}

std::optional<StationPlace> StationPlaceOf(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 2 && parts.size() != 3) return std::nullopt;
    const auto latitude = Degrees(parts[0].trimmed(), 90), longitude = Degrees(parts[1].trimmed(), 180);
    bool isNumber = true;
    const double metres = parts.size() == 3 ? parts[2].trimmed().toDouble(&isNumber) : 0;
    if (!latitude || !longitude || !isNumber || !std::isfinite(metres)) return std::nullopt;
    return StationPlace{*latitude, *longitude, metres};
}

ConfigurationResult ParseConfiguration(std::string_view text, const QString& imageFolder) {
    Configuration configuration;
    configuration.imagePath = imageFolder + u'/';

    SidsKeys sids;
    const QStringList lines = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).split(u'\n');
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QString line = lines[number];
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) continue;

        const QString key = TrimSpaces(line.left(equals)).toUpper();
        const QString value = TrimSpaces(line.mid(equals + 1));
        if (TakeSidsKey(sids, key, value)) continue;
        const QString error = ApplyLine(configuration, key, value);
        if (!error.isEmpty())
            return {std::nullopt, QStringLiteral("%1, line %2: %3").arg(kConfigurationFileName).arg(number + 1).arg(error)};
    }
    configuration.callsign = sids.callsign;
    // a station that forwards nothing may still name its place, for the orbit's look angles
    const auto latitude = Degrees(sids.latitude, 90), longitude = Degrees(sids.longitude, 180);
    if (latitude && longitude)
        configuration.place = StationPlace{*latitude, *longitude, configuration.place ? configuration.place->altitudeM : 0};
    else
        configuration.place.reset();
    if (const QString problem = TakeSidsStation(configuration, sids); !problem.isEmpty())
        configuration.sidsProblem = "SiDS forwarding is off: " + problem + " in " + kConfigurationFileName;
    return {configuration, {}};
}

ConfigurationResult ReadConfigurationFile(const QString& path, const QString& imageFolder) {
    const WholeFile file = ReadWholeFile(path);
    if (!file.read) return {std::nullopt, QStringLiteral("%1 cannot be read: %2").arg(path, file.error)};
    return ParseConfiguration(ByteView(file.bytes), imageFolder);
}
