// Where the satellite was, when conf.ini names its element sets (TLE): the packet shown's place
// and light on the table's last row, and the next pass over the station in the menu bar's
// corner, kept current.
#include "telemetry/time_stamps.h"
#include "ui/channel_chart.h"
#include "ui/health_window.h"
#include "ui/main_window.h"
#include "ui/twips.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>

#include <cmath>

namespace {

// "51.78 N 109.91 E"
QString PlaceText(const Geodetic& below) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(std::fabs(below.latitudeDeg), 0, 'f', 2).arg(below.latitudeDeg < 0 ? 'S' : 'N')
        .arg(std::fabs(below.longitudeDeg), 0, 'f', 2).arg(below.longitudeDeg < 0 ? 'W' : 'E');
}

// "42 min", "2 h 5 min": what is left, to the minute begun
QString MinutesLeftText(double ms) {
    const long long minutes = std::max(0LL, static_cast<long long>(std::ceil(ms / 60000)));
    return minutes < 60 ? QStringLiteral("%1 min").arg(minutes) : QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

}  // namespace

QString OrbitPointText(const std::optional<OrbitPoint>& point) {
    if (!point) return "no orbit: no reception time";
    QString text = QStringLiteral("%1, over %2 at %3 km").arg(point->sunlit ? "sunlit" : "eclipse", PlaceText(point->below))
                       .arg(point->below.altitudeKm, 0, 'f', 0);
    if (point->look) text += QStringLiteral(", %1 deg up").arg(point->look->elevationDeg, 0, 'f', 1);
    return text;
}

QString NextPassText(const std::optional<PredictedPass>& pass, double nowMs) {
    if (!pass) return "no pass in the next 24 hours";
    if (pass->aosMs <= nowMs) return "above the horizon now, LOS in " + MinutesLeftText(pass->losMs - nowMs);
    const QString aos = QDateTime::fromMSecsSinceEpoch(std::llround(pass->aosMs), Qt::UTC).toString("HH:mm");
    return QStringLiteral("next pass %1 UTC in %2, max %3 deg").arg(aos, MinutesLeftText(pass->aosMs - nowMs)).arg(pass->maxElevationDeg, 0, 'f', 0);
}

void Form1::OpenOrbit(const QString& confFolder) {
    if (configuration_.tle.isEmpty()) return;
    OrbitLabel = new QLabel(SSTab1->widget(0));
    OrbitLabel->setObjectName("OrbitLabel");
    OrbitLabel->setGeometry(TwipsRect(3600, 60 + 240 * 17, 6600, 255));  // the table's last row, beside its one channel
    OrbitLabel->setAccessibleDescription("Where the satellite was when the packet shown was heard");
    NextPassLabel = new QLabel(this);
    NextPassLabel->setObjectName("NextPassLabel");
    NextPassLabel->setAccessibleDescription("The satellite's next pass over the station");
    AddToMenuCorner(NextPassLabel, "next pass 00:00 UTC in 23 h 59 min, max 90 deg ");

    auto read = ReadElementSets(QDir(confFolder).filePath(configuration_.tle));
    if (const auto* problem = std::get_if<QString>(&read)) {
        const QString text = "Orbit off: " + *problem;
        for (QLabel* label : {OrbitLabel, NextPassLabel}) label->setText(text), label->setAccessibleName(text);
        Text4->setText(text);
        return;
    }
    orbit_.emplace(std::get<ElementSets>(std::move(read)));
    MSChart1->setAccessibleDescription("Shaded: packets heard while the satellite was in the Earth's shadow");
    if (configuration_.place)
        station_ = Geodetic{configuration_.place->latitudeDeg, configuration_.place->longitudeDeg, configuration_.place->altitudeM / 1000};
    auto* timer = new QTimer(this);
    timer->setInterval(5000);
    connect(timer, &QTimer::timeout, this, &Form1::ShowNextPass);
    timer->start();
    ShowNextPass();
}

void Form1::ShowOrbit(const TelemetryRecord* shown) {
    if (!OrbitLabel || !orbit_) return;
    const std::optional<std::int64_t> timeMs = shown ? UtcMilliseconds(shown->rxTime) : std::nullopt;
    const QString text = !shown ? QString() : OrbitPointText(timeMs ? orbit_->PointAt(static_cast<double>(*timeMs), station_) : std::nullopt);
    OrbitLabel->setText(text);
    OrbitLabel->setAccessibleName(text);
}

void Form1::ShowNextPass() {
    if (!NextPassLabel || !orbit_) return;
    QString text = "no station: LATITUDE and LONGITUDE in conf.ini";
    if (station_) {
        const double now = static_cast<double>(now_());
        // the pass in hand holds until it is over, a day without one for ten minutes; then the
        // next day is searched again
        if (nextPass_ ? nextPass_->losMs <= now : now >= nextSearchMs_) {
            const std::vector<PredictedPass> passes = PredictPasses(*orbit_, *station_, now, now + static_cast<double>(kDayMs));
            nextPass_ = passes.empty() ? std::nullopt : std::optional(passes.front());
            nextSearchMs_ = now + 600000;
        }
        text = NextPassText(nextPass_, now);
    }
    NextPassLabel->setText(text);
    NextPassLabel->setAccessibleName(text);
    if (health_) health_->ShowNextPass(text);
}

const std::vector<std::pair<int, int>>& Form1::EclipseRows() {
    if (!orbit_) return eclipseRows_;
    for (int row = eclipseRowsThrough_ + 1; row <= state_.packetCount; ++row) {
        const std::optional<std::int64_t> timeMs = UtcMilliseconds(state_.packetStore[row - 1].rxTime);
        const std::optional<OrbitPlace> place = timeMs ? orbit_->PlaceAt(static_cast<double>(*timeMs)) : std::nullopt;
        if (!place || place->sunlit) continue;
        if (!eclipseRows_.empty() && eclipseRows_.back().second == row - 1)
            eclipseRows_.back().second = row;
        else
            eclipseRows_.emplace_back(row, row);
    }
    eclipseRowsThrough_ = state_.packetCount;
    return eclipseRows_;
}

void Form1::SetClock(std::function<qint64()> now) {
    now_ = std::move(now);
    nextPass_.reset();
    nextSearchMs_ = 0;
    ShowNextPass();
}
