// The orbit against an independent peer, Debian's python3-sgp4: its verification element sets
// propagated over their spans, positions within a metre; the sub-satellite point by the same
// conventions worked out apart in Python; and the shadow's edges where the Earth hides the Sun.
#include "orbit/earth_frames.h"
#include "orbit/eclipses.h"
#include "orbit/pass_prediction.h"
#include "orbit/sgp4.h"
#include "orbit/sunlight.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <cmath>
#include <algorithm>
#include <sstream>

namespace {

// For each set of the verification file: "SET" and its two lines, then a line a time of its span,
// "minutes x y z lat lon alt" (the Earth-fixed place by GMST of IAU 1982 and WGS-84), or
// "minutes error" where the model breaks down.
constexpr char kPeer[] = R"(
import math, os, sgp4
from sgp4.api import Satrec, WGS72
def geodetic(x, y, z):
    a, f = 6378.137, 1 / 298.257223563
    e2 = f * (2 - f)
    b = a * (1 - f)
    p = math.hypot(x, y)
    # Bowring's closed form, then two rounds of the exact relation
    theta = math.atan2(z * a, p * b)
    lat = math.atan2(z + (e2 / (1 - e2)) * b * math.sin(theta) ** 3, p - e2 * a * math.cos(theta) ** 3)
    for _ in range(2):
        n = a / math.sqrt(1 - e2 * math.sin(lat) ** 2)
        h = p / math.cos(lat) - n
        lat = math.atan2(z, p * (1 - e2 * n / (n + h)))
    n = a / math.sqrt(1 - e2 * math.sin(lat) ** 2)
    return math.degrees(lat), math.degrees(math.atan2(y, x)), p / math.cos(lat) - n
def gmst(jd):
    t = (jd - 2451545.0) / 36525.0
    s = 67310.54841 + (876600.0 * 3600 + 8640184.812866) * t + 0.093104 * t * t - 6.2e-6 * t ** 3
    return math.radians((s / 240.0) % 360.0)
lines = open(os.path.join(os.path.dirname(sgp4.__file__), 'SGP4-VER.TLE')).read().splitlines()
ones = [l for l in lines if l.startswith('1 ')]
twos = [l for l in lines if l.startswith('2 ')]
for one, two in zip(ones, twos):
    sat = Satrec.twoline2rv(one[:69], two[:69], WGS72)
    start, stop, step = (float(w) for w in two[69:].split())
    print('SET', one[:69], '|', two[:69])
    t = start
    while t <= stop + 1e-9:
        e, r, v = sat.sgp4_tsince(t)
        if e:
            print(repr(t), 'error')
        else:
            g = gmst(sat.jdsatepoch + sat.jdsatepochF + t / 1440.0)
            x, y = math.cos(g) * r[0] + math.sin(g) * r[1], -math.sin(g) * r[0] + math.cos(g) * r[1]
            print(repr(t), *(repr(c) for c in r), *(repr(c) for c in geodetic(x, y, r[2])))
        t += step
)";

std::string PeerOutput() {
    QProcess python;
    python.start("/usr/bin/python3", {"-c", kPeer});
    if (!python.waitForFinished(120000) || python.exitCode() != 0)
        ADD_FAILURE() << "python3-sgp4 did not run: " << python.readAllStandardError().toStdString();
    return python.readAllStandardOutput().toStdString();
}

std::optional<ElementSet> SetOf(const std::string& one, const std::string& two, QString& error) {
    const auto read = ParseElementSets("SGP4-VER.TLE", QByteArray::fromStdString(one + "\n" + two + "\n"));
    if (const QString* wrong = std::get_if<QString>(&read)) return error = *wrong, std::nullopt;
    return std::get<ElementSets>(read).sets().front();
}

double Angle(double a, double b) { return std::fabs(std::remainder(a - b, 360.0)); }

}  // namespace

TEST(Orbit, TheVerificationSetsAsPythonSgp4PropagatesThem) {
    std::istringstream peer(PeerOutput());
    std::optional<ElementSet> set;
    std::optional<Sgp4> model;
    int sets = 0, deepSpace = 0, positions = 0;
    for (std::string line; std::getline(peer, line);) {
        if (line.starts_with("SET ")) {
            const std::size_t bar = line.find(" | ");
            QString error;
            set = SetOf(line.substr(4, bar - 4), line.substr(bar + 3), error);
            if (set) {
                model.emplace(*set);
                ++sets;
            } else {
                // the file's cases of a model breaking down come with checksums of their own making
                EXPECT_TRUE(error.contains("deep-space") || (line.starts_with("SET 1 3333") && error.contains("checksum")))
                    << error.toStdString() << "\n" << line;
                model.reset();
                ++deepSpace;
            }
            continue;
        }
        if (!model) continue;
        std::istringstream fields(line);
        double minutes = 0;
        fields >> minutes;
        std::array<double, 6> expected{};
        for (double& value : expected) fields >> value;
        const std::optional<OrbitState> state = model->Propagate(minutes);
        if (!fields) continue;  // the peer's model broke down here: no position to compare
        ASSERT_TRUE(state) << "set " << set->catalogNumber << " at " << minutes << " min";
        for (std::size_t i = 0; i < 3; ++i)
            ASSERT_NEAR(state->positionKm[i], expected[i], 0.001) << "set " << set->catalogNumber << " at " << minutes << " min";
        const Geodetic place = GeodeticOf(EarthFixed(state->positionKm, set->epochMs + minutes * 60000));
        EXPECT_NEAR(place.latitudeDeg, expected[3], 0.02);
        EXPECT_LT(Angle(place.longitudeDeg, expected[4]), 0.02);
        EXPECT_NEAR(place.altitudeKm, expected[5], 0.2);
        EXPECT_GE(place.longitudeDeg, -180);
        EXPECT_LE(place.longitudeDeg, 180);
        ++positions;
    }
    EXPECT_EQ(sets, 9) << "near-Earth sets compared";
    EXPECT_EQ(deepSpace, 24) << "deep-space sets refused, and three of made-up checksums";
    EXPECT_GE(positions, 150);
}

TEST(Orbit, LookAnglesAndTheShadowsEdges) {
    // a point straight above a station is at 90 degrees; one due east on its horizon, at 90 of azimuth
    const Geodetic station{48.0, 11.0, 0.5};
    const Geodetic above{48.0, 11.0, 500};
    EXPECT_NEAR(LookFrom(station, EarthFixedOf(above)).elevationDeg, 90, 1e-6);
    const Geodetic east{48.0, 30.0, 500};
    const LookAngles toEast = LookFrom(station, EarthFixedOf(east));
    EXPECT_GT(toEast.azimuthDeg, 60);
    EXPECT_LT(toEast.azimuthDeg, 90);
    EXPECT_NEAR(toEast.elevationDeg, 12.4, 0.1);
    EXPECT_NEAR(LookFrom(station, EarthFixedOf(Geodetic{20.0, 11.0, 500})).azimuthDeg, 180, 1e-6);

    // the Sun of the March equinox of 2021 (20 March, 09:37 UTC) stands on the equator
    const double equinoxMs = 1616233020000.0;
    const Vector sun = SunPosition(equinoxMs);
    const double distance = std::hypot(sun[0], sun[1], sun[2]);
    EXPECT_NEAR(std::asin(sun[2] / distance) * 180 / M_PI, 0, 0.02);
    EXPECT_NEAR(distance, 148.9e6, 0.2e6);
    // a satellite 500 km up, between the Earth and the Sun, is lit; behind the Earth it is in
    // its shadow until it is off the shadow's axis by more than the Earth's radius
    const double r = 6878.137;
    const Vector towards{sun[0] / distance, sun[1] / distance, sun[2] / distance};
    EXPECT_TRUE(Sunlit({r * towards[0], r * towards[1], r * towards[2]}, sun));
    EXPECT_FALSE(Sunlit({-r * towards[0], -r * towards[1], -r * towards[2]}, sun));
    // on the circle of the terminator seen from the orbit: its angle from the anti-Sun line
    const double edge = std::asin(6378.137 / r);
    const Vector side{0, 0, 1};  // the Sun lies in the equator: the pole is square to it
    for (const auto& [angle, lit] : {std::pair{edge - 0.001, false}, {edge + 0.001, true}}) {
        Vector at;
        for (std::size_t i = 0; i < 3; ++i) at[i] = r * (-std::cos(angle) * towards[i] + std::sin(angle) * side[i]);
        EXPECT_EQ(Sunlit(at, sun), lit) << angle;
    }
}

namespace {

// The ISS's passes over a station in Bavaria for the day after its set's epoch, as the peer's
// propagator gives them: the elevation each 10 s, each crossing of the horizon and the highest
// point found again each 50 ms around it. "aos los max_elevation max_time", milliseconds.
constexpr char kPeerPasses[] = R"(
import math, sys
from sgp4.api import Satrec, WGS72
one, two = sys.argv[1], sys.argv[2]
sat = Satrec.twoline2rv(one, two, WGS72)
a, f = 6378.137, 1 / 298.257223563
e2 = f * (2 - f)
lat, lon, h = math.radians(48.0), math.radians(11.0), 0.5
n = a / math.sqrt(1 - e2 * math.sin(lat) ** 2)
st = ((n + h) * math.cos(lat) * math.cos(lon), (n + h) * math.cos(lat) * math.sin(lon), (n * (1 - e2) + h) * math.sin(lat))
up = (math.cos(lat) * math.cos(lon), math.cos(lat) * math.sin(lon), math.sin(lat))
epoch_ms = (sat.jdsatepoch - 2440587.5 + sat.jdsatepochF) * 86400000.0
def elevation(ms):
    e, r, v = sat.sgp4_tsince((ms - epoch_ms) / 60000.0)
    jd = ms / 86400000.0 + 2440587.5
    t = (jd - 2451545.0) / 36525.0
    g = math.radians(((67310.54841 + (876600.0 * 3600 + 8640184.812866) * t + 0.093104 * t * t - 6.2e-6 * t ** 3) / 240.0) % 360.0)
    x, y = math.cos(g) * r[0] + math.sin(g) * r[1], -math.sin(g) * r[0] + math.cos(g) * r[1]
    d = (x - st[0], y - st[1], r[2] - st[2])
    return math.degrees(math.asin(sum(d[i] * up[i] for i in range(3)) / math.sqrt(sum(c * c for c in d))))
def fine(start, stop, step=50.0):
    t = start
    while t <= stop:
        yield t, elevation(t)
        t += step
t, previous = epoch_ms, elevation(epoch_ms)
aos = None
while t < epoch_ms + 86400000.0:
    t += 10000.0
    now = elevation(t)
    if now > 0 and previous <= 0:
        aos = next(s for s, el in fine(t - 10000.0, t) if el > 0)
    if now <= 0 and previous > 0 and aos is not None:
        los = next(s for s, el in fine(t - 10000.0, t) if el <= 0)
        top = max(fine(aos, los, 500.0), key=lambda p: p[1])[0]
        best = max(fine(top - 1000.0, top + 1000.0), key=lambda p: p[1])
        print(repr(aos), repr(los), repr(best[1]), repr(best[0]))
    previous = now
)";

}  // namespace

TEST(Orbit, PassesAsThePeerFindsThem) {
    const std::string one = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
    const std::string two = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";
    QProcess python;
    python.start("/usr/bin/python3", {"-c", kPeerPasses, QString::fromStdString(one), QString::fromStdString(two)});
    ASSERT_TRUE(python.waitForFinished(300000) && python.exitCode() == 0) << python.readAllStandardError().toStdString();
    std::istringstream peer(python.readAllStandardOutput().toStdString());
    std::vector<PredictedPass> expected;
    for (PredictedPass pass; peer >> pass.aosMs >> pass.losMs >> pass.maxElevationDeg >> pass.maxTimeMs;) expected.push_back(pass);
    ASSERT_GE(expected.size(), 4u);

    const ElementSets sets = std::get<ElementSets>(ParseElementSets("iss.tle", QByteArray::fromStdString(one + "\n" + two + "\n")));
    const double epochMs = sets.sets().front().epochMs;
    const Orbit orbit(sets);
    const Geodetic station{48.0, 11.0, 0.5};
    const std::vector<PredictedPass> passes = PredictPasses(orbit, station, epochMs, epochMs + 86400000.0);
    ASSERT_EQ(passes.size(), expected.size());
    for (std::size_t i = 0; i < passes.size(); ++i) {
        // the peer's times are the first 50 ms step past the crossing
        EXPECT_NEAR(passes[i].aosMs, expected[i].aosMs, 2000);
        EXPECT_NEAR(passes[i].losMs, expected[i].losMs, 2000);
        EXPECT_NEAR(passes[i].maxElevationDeg, expected[i].maxElevationDeg, 0.05);
        EXPECT_NEAR(passes[i].maxTimeMs, expected[i].maxTimeMs, 2000);
    }
    // the highest ones only, and a pass under way at the start taken from its acquisition
    const double highest = std::max_element(passes.begin(), passes.end(), [](auto& a, auto& b) {
        return a.maxElevationDeg < b.maxElevationDeg;
    })->maxElevationDeg;
    EXPECT_EQ(PredictPasses(orbit, station, epochMs, epochMs + 86400000.0, highest - 0.01).size(), 1u);
    const PredictedPass& first = passes.front();
    const std::vector<PredictedPass> midway = PredictPasses(orbit, station, first.maxTimeMs, first.maxTimeMs + 1000);
    ASSERT_EQ(midway.size(), 1u);
    EXPECT_NEAR(midway[0].aosMs, first.aosMs, 2);
    EXPECT_NEAR(midway[0].losMs, first.losMs, 2);
}

TEST(Orbit, ThePointOfAPacketFollowsTheModelToAFewCentimetres) {
    const std::string one = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
    const std::string two = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";
    const ElementSets sets = std::get<ElementSets>(ParseElementSets("iss.tle", QByteArray::fromStdString(one + "\n" + two + "\n")));
    const Orbit orbit(sets);
    const Geodetic station{48, 11, 0.5};
    for (double t = sets.sets()[0].epochMs; t < sets.sets()[0].epochMs + 7200000; t += 7919) {  // packets at odd times
        const OrbitPoint point = *orbit.PointAt(t, station);
        const Vector exact = EarthFixed(Sgp4(sets.sets()[0]).At(t)->positionKm, t);
        const Geodetic below = GeodeticOf(exact);
        EXPECT_NEAR(point.below.latitudeDeg, below.latitudeDeg, 1e-6);  // 11 cm
        EXPECT_NEAR(point.below.longitudeDeg, below.longitudeDeg, 1e-6);
        EXPECT_NEAR(point.below.altitudeKm, below.altitudeKm, 1e-4);
        EXPECT_NEAR(point.look->elevationDeg, LookFrom(station, exact).elevationDeg, 1e-6);
    }
}

TEST(Orbit, AnEclipsesEntryAndExitWhereTheShadowsEdgeIs) {
    const std::string one = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
    const std::string two = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";
    const ElementSets sets = std::get<ElementSets>(ParseElementSets("iss.tle", QByteArray::fromStdString(one + "\n" + two + "\n")));
    const Orbit orbit(sets);
    const double from = sets.sets()[0].epochMs, to = from + 6 * 3600000.0;
    const std::vector<std::pair<double, double>> eclipses = EclipsesBetween(orbit, from, to);
    ASSERT_GE(eclipses.size(), 3u) << "an eclipse an orbit";
    for (const auto& [entry, exit] : eclipses) {
        if (entry == from || exit == to) continue;  // cut by the range
        EXPECT_GT(exit - entry, 25 * 60000.0) << "the ISS in September 2008 spends over 25 minutes in the dark";
        EXPECT_LT(exit - entry, 40 * 60000.0);
        for (const double edge : {entry, exit}) {
            // at the edge the line to the Sun grazes the Earth: the satellite, r from the Earth's
            // centre, stands R from the shadow's axis, 180 degrees less asin(R / r) from the Sun
            const Vector p = orbit.At(edge)->positionKm, sun = SunPosition(edge);
            const double r = std::hypot(p[0], p[1], p[2]), d = std::hypot(sun[0], sun[1], sun[2]);
            const double fromSun = std::acos((p[0] * sun[0] + p[1] * sun[1] + p[2] * sun[2]) / (r * d)) * 180 / M_PI;
            const double grazing = 180 - std::asin(6378.137 / r) * 180 / M_PI;
            EXPECT_NEAR(fromSun, grazing, 0.01) << "a tenth of a second is some 0.0007 degrees of the orbit";
            EXPECT_NE(Sunlit(orbit.At(edge - 1000)->positionKm, sun), Sunlit(orbit.At(edge + 1000)->positionKm, sun));
        }
        EXPECT_FALSE(Sunlit(orbit.At((entry + exit) / 2)->positionKm, SunPosition((entry + exit) / 2)));
    }
}
