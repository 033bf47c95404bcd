#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <string_view>

// A station that forwards what it receives to a SatNOGS database (the "SiDS" submission).
struct SidsStation {
    QUrl url;
    QString callsign;
    double latitude = 0;   // degrees, north positive
    double longitude = 0;  // degrees, east positive
    int noradId = 0;
};

inline constexpr char kSatnogsDbTelemetryUrl[] = "https://db.satnogs.org/api/telemetry/";

// "59.34W", "48.85N": the absolute value in degrees, then the letter of its side.
QString LocatorText(double degrees, char positive, char negative);

// The form of one frame's submission, application/x-www-form-urlencoded: noradID, source,
// timestamp (ISO 8601 UTC with three decimals and "Z"), frame (upper-case hexadecimal),
// locator, longitude, latitude, version.
QByteArray SidsForm(const SidsStation& station, std::string_view isoTime, std::string_view frameHex,
                    const QString& version);
