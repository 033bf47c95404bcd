#include "intake/sids_station.h"

#include <QUrlQuery>

#include <cmath>

QString LocatorText(double degrees, char positive, char negative) {
    return QString::number(std::fabs(degrees), 'g', 10) + QChar(degrees < 0 ? negative : positive);
}

QByteArray SidsForm(const SidsStation& station, std::string_view isoTime, std::string_view frameHex,
                    const QString& version) {
    QUrlQuery form;
    form.addQueryItem("noradID", QString::number(station.noradId));
    form.addQueryItem("source", station.callsign);
    form.addQueryItem("timestamp", QString::fromLatin1(isoTime.data(), static_cast<qsizetype>(isoTime.size())));
    form.addQueryItem("frame", QString::fromLatin1(frameHex.data(), static_cast<qsizetype>(frameHex.size())).toUpper());
    form.addQueryItem("locator", "longLat");
    form.addQueryItem("longitude", LocatorText(station.longitude, 'E', 'W'));
    form.addQueryItem("latitude", LocatorText(station.latitude, 'N', 'S'));
    form.addQueryItem("version", version);
    return form.query(QUrl::FullyEncoded).toLatin1();
}
