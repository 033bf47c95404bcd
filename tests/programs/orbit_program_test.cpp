// orca5-decode with the satellite's element sets: each row's orbit columns, a packet without a
// reception time with them empty, each wrong line of the file refused before any row, and the
// passes predicted over a station.
#include "intake/kiss.h"
#include "orbit/pass_prediction.h"
#include "support/beacon_builder.h"
#include "support/decode_process.h"
#include "support/files.h"
#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr char kIss[] = "ISS (ZARYA)\n1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927\n"
                        "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537\n";
constexpr std::int64_t kEpochMs = 1221913540104;  // the set's, to the millisecond

struct OrbitRun {
    QTemporaryDir folder;
    QString tle = WriteBytes(folder.filePath("iss.tle"), kIss);
    // two packets with reception times, an hour apart, and one after them without any
    QString capture = WriteBytes(folder.filePath("pass.kss"), [] {
        std::string capture;
        for (int n = 0; n < 2; ++n) {
            AppendRxTimeFrame(capture, RxTimeTextOf(kEpochMs + 3600000LL * n));
            capture += KissDataFrame(BeaconBuilder().u16(79, static_cast<std::uint16_t>(n + 1)).build());
        }
        return capture;
    }());
    QString untimed = WriteBytes(folder.filePath("untimed.kss"), KissDataFrame(BeaconBuilder().u16(79, 3).build()));
};

// The lines of an output, without their CR LF or LF.
QList<QByteArray> Lines(const QByteArray& out) {
    QList<QByteArray> lines = out.split('\n');
    lines.removeLast();
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    return lines;
}

}  // namespace

TEST(OrbitProgram, EachRowHasWhereTheSatelliteWasWhenItWasHeard) {
    OrbitRun run;
    const Finished csv = Decode({"--tle", run.tle, "--station-at", "48,11,500", run.capture, run.untimed});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    const QList<QByteArray> lines = Lines(csv.out);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].endsWith("Z+ Temperature;sat_lat;sat_lon;sat_alt_km;sunlit;elevation;azimuth;"));
    // the library's figures, as the rows write them
    const Orbit orbit(std::get<ElementSets>(ParseElementSets("iss.tle", kIss)));
    for (int n = 0; n < 2; ++n) {
        const OrbitPoint point = *orbit.PointAt(static_cast<double>(kEpochMs + 3600000LL * n), Geodetic{48, 11, 0.5});
        const QByteArray expected = QStringLiteral("%1;%2;%3;%4;%5;%6;")
                                        .arg(point.below.latitudeDeg, 0, 'f', 4).arg(point.below.longitudeDeg, 0, 'f', 4)
                                        .arg(point.below.altitudeKm, 0, 'f', 3).arg(point.sunlit ? 1 : 0)
                                        .arg(point.look->elevationDeg, 0, 'f', 2).arg(point.look->azimuthDeg, 0, 'f', 2).toUtf8();
        EXPECT_TRUE(lines[n + 1].endsWith(expected)) << lines[n + 1].right(80).toStdString();
        EXPECT_NEAR(point.below.altitudeKm, 355, 25) << "the ISS's height in 2008";
    }
    EXPECT_TRUE(lines[3].endsWith("0;;;;;;;")) << "no reception time: no place";

    const Finished json = Decode({"--jsonl", "--tle", run.tle, run.untimed, run.capture});
    ASSERT_EQ(json.exitCode, 0);
    const QList<QByteArray> objects = Lines(json.out);
    EXPECT_TRUE(objects[0].endsWith(R"(,"sat_lat":null,"sat_lon":null,"sat_alt_km":null,"sunlit":null})"));
    EXPECT_TRUE(objects[1].contains(R"(,"sat_alt_km":3)")) << "no station: no look angles";
    EXPECT_FALSE(objects[1].contains("elevation"));

    const Finished influx = Decode({"--influx", "--tle", run.tle, "--station-at", "48,11,500", run.capture});
    ASSERT_EQ(influx.exitCode, 0);
    const QList<QByteArray> points = Lines(influx.out);
    ASSERT_EQ(points.size(), 2);
    EXPECT_TRUE(QRegularExpression(R"(,place=1i,sat_lat=-?\d+\.\d{4},sat_lon=-?\d+\.\d{4},sat_alt_km=\d+\.\d{3},sunlit=(true|false),)"
                                   R"(elevation=-?\d+\.\d\d,azimuth=\d+\.\d\d \d{19}$)")
                    .match(QString::fromUtf8(points[0])).hasMatch())
        << points[0].right(160).toStdString();

    const Finished without = Decode({run.capture});
    EXPECT_FALSE(without.out.contains("sat_lat")) << "without element sets, nothing changes";

    // the archive's packets, at their earliest reception: the same places as the file's rows
    const QString archive = run.folder.filePath("mission.sqlite");
    ASSERT_EQ(Decode({"--archive", archive, "--station", "N0CALL", run.capture}).exitCode, 0);
    const Finished archived = Decode({"--archive", archive, "--tle", run.tle, "--station-at", "48,11,500"});
    ASSERT_EQ(archived.exitCode, 0) << archived.err.toStdString();
    const QList<QByteArray> rows = Lines(archived.out);
    ASSERT_EQ(rows.size(), 3);
    for (int n = 0; n < 3; ++n) EXPECT_EQ(rows[n].split(';').mid(53), lines[n].split(';').mid(53)) << n;
}

TEST(OrbitProgram, AWrongElementSetIsRefusedBeforeAnyRow) {
    OrbitRun run;
    std::string broken = kIss;
    broken[broken.size() - 2] = '8';  // the last checksum
    const QString path = WriteBytes(run.folder.filePath("broken.tle"), broken);
    for (const QStringList& arguments : {QStringList{"--tle", path, run.capture},
                                         QStringList{"--tle", path, "--station-at", "48,11", "--predict-passes"}}) {
        const Finished refused = Decode(arguments);
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_EQ(refused.out, "");
        EXPECT_TRUE(refused.err.contains("broken.tle:3: its checksum does not hold")) << refused.err.toStdString();
    }
    const Finished missing = Decode({"--tle", run.folder.filePath("none.tle"), run.capture});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.out, "");
    for (const QStringList& arguments : {QStringList{"--predict-passes", "--tle", run.tle},
                                         QStringList{"--predict-passes", "--station-at", "48,11"},
                                         QStringList{"--predict-passes", "--tle", run.tle, "--station-at", "91,11"},
                                         QStringList{"--predict-passes", "--tle", run.tle, "--station-at", "48,11", run.capture},
                                         QStringList{"--min-elevation", "10", run.capture}})
        EXPECT_EQ(Decode(arguments).exitCode, 2) << arguments.join(' ').toStdString();
}

TEST(OrbitProgram, PassesPredictedOverAStation) {
    OrbitRun run;
    const QStringList day{"--tle", run.tle, "--station-at", "48,11,500", "--predict-passes", "--from", "2008-09-20T12:25:40.104Z",
                          "--to", "2008-09-21T12:25:40.104Z"};
    const Finished csv = Decode(day);
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    const QList<QByteArray> lines = Lines(csv.out);
    const Orbit orbit(std::get<ElementSets>(ParseElementSets("iss.tle", kIss)));
    const std::vector<PredictedPass> passes = PredictPasses(orbit, {48, 11, 0.5}, kEpochMs + 0.0, kEpochMs + 86400000.0);
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(passes.size() + 1));
    EXPECT_EQ(lines[0], "aos;los;max_elevation;max_time");
    // the highest pass of the day, as the peer's propagation has it too (73.51 degrees)
    EXPECT_EQ(lines[3], QStringLiteral("%1;%2;73.51;%3")
                            .arg(QString::fromStdString(RxTimeTextOf(std::llround(passes[2].aosMs))),
                                 QString::fromStdString(RxTimeTextOf(std::llround(passes[2].losMs))),
                                 QString::fromStdString(RxTimeTextOf(std::llround(passes[2].maxTimeMs))))
                            .toUtf8());
    const Finished high = Decode(day + QStringList{"--min-elevation", "60", "--jsonl"});
    ASSERT_EQ(high.exitCode, 0);
    const QList<QByteArray> objects = Lines(high.out);
    ASSERT_EQ(objects.size(), 2);
    EXPECT_TRUE(objects[0].startsWith(R"({"aos":"2008-09-20 19:52:)")) << objects[0].toStdString();
    EXPECT_TRUE(objects[0].contains(R"("max_elevation":73.51,)"));
}
