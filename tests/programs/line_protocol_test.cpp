// orca5-decode --influx: lines that a real InfluxDB server takes and gives back, value for value.
#include "intake/kiss.h"
#include "telemetry/time_stamps.h"
#include "support/beacon_builder.h"
#include "support/decode_process.h"
#include "support/files.h"
#include "support/influx_server.h"
#include "support/qt_printing.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>

namespace {

// "Battery 1 Volt", "Status" and "X- Temperature" of each JSON line by its time in milliseconds.
std::map<qint64, std::array<double, 3>> ValuesByTime(const QByteArray& jsonLines) {
    std::map<qint64, std::array<double, 3>> values;
    for (const QByteArray& line : jsonLines.split('\n')) {
        if (line.isEmpty()) continue;
        const QJsonObject packet = QJsonDocument::fromJson(line).object();
        const qint64 time = QDateTime::fromString(packet["rx_time"].toString(), Qt::ISODateWithMs).toMSecsSinceEpoch();
        values[time] = {packet["Battery 1 Volt"].toDouble(), packet["Status"].toDouble(), packet["X- Temperature"].toDouble()};
    }
    return values;
}

}  // namespace

TEST(LineProtocol, InfluxDbTakesALineAPacketAndGivesBackTheSameValues) {
    LocalInfluxServer influx;
    ASSERT_EQ(influx.problem, "");
    QTemporaryDir folder;
    const QString capture = folder.filePath("pass.kss");
    QProcess::execute(ORCA5_DEMO_CAPTURE_PATH, {capture, "500"});
    const Finished lines = Decode({"--influx", "--station", "N0 CALL", capture}, {}, folder.path());
    ASSERT_EQ(lines.exitCode, 0) << lines.err.toStdString();
    const Finished json = Decode({"--jsonl", capture}, {}, folder.path());
    const std::map<qint64, std::array<double, 3>> expected = ValuesByTime(json.out);
    ASSERT_EQ(expected.size(), 500u);

    influx.CreateDatabase("files");
    const LocalInfluxServer::Answer written = influx.Write("files", lines.out);
    ASSERT_EQ(written.status, 204) << written.body.toStdString();
    const QJsonArray rows = influx.Query("files", "SELECT battery_1_volt, status, x_minus_temperature, station, source, place FROM orca5");
    ASSERT_EQ(rows.size(), 500);
    std::map<qint64, std::array<double, 3>> read;
    for (const QJsonValue row : rows) {
        read[row[0].toInteger()] = {row[1].toDouble(), row[2].toDouble(), row[3].toDouble()};
        EXPECT_EQ(row[4].toString(), "N0 CALL");
        EXPECT_EQ(row[5].toString(), "pass.kss") << "a series a station and a file";
        EXPECT_GT(row[6].toInt(), 0) << "the place in the file a field";
    }
    EXPECT_EQ(read, expected);
    EXPECT_EQ(influx.Query("files", "SHOW SERIES").size(), 1);
    // counts are integers, volts decimals, JOB ID text
    const QJsonArray types = influx.Query("files", "SHOW FIELD KEYS FROM orca5");
    std::map<QString, QString> typeOf;
    for (const QJsonValue field : types) typeOf[field[0].toString()] = field[1].toString();
    EXPECT_EQ(typeOf.size(), 52u + 1);
    EXPECT_EQ(typeOf["place"], "integer");
    EXPECT_EQ(typeOf["status"], "integer");
    EXPECT_EQ(typeOf["battery_1_volt"], "float");
    EXPECT_EQ(typeOf["job_id"], "string");

    // the archive's packets the same way, with the stations that heard them
    const QString archive = folder.filePath("mission.sqlite");
    ASSERT_EQ(Decode({"--archive", archive, "--station", "N0CALL", capture}, {}, folder.path()).exitCode, 0);
    const Finished archived = Decode({"--archive", archive, "--influx"}, {}, folder.path());
    influx.CreateDatabase("archive");
    ASSERT_EQ(influx.Write("archive", archived.out).status, 204);
    const QJsonArray counted = influx.Query("archive", "SELECT count(battery_1_volt) FROM orca5 WHERE station = 'N0CALL'");
    ASSERT_EQ(counted.size(), 1);
    EXPECT_EQ(counted[0][1].toInt(), 500);

    // a packet without a reception time has no line: it is counted as skipped
    const QString undated = folder.filePath("undated.kss");
    QFile file(undated);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray::fromStdString(KissDataFrame(NumberedBeacon(1))));
    file.close();
    const Finished skipped = Decode({"--influx", undated}, {}, folder.path());
    EXPECT_EQ(skipped.out, "");
    EXPECT_TRUE(skipped.err.contains("0 packets, 0 text beacons, 1 skipped")) << skipped.err.toStdString();

    // packets under one time stamp are points of their own, not one replacing the other
    std::string sameTime;
    AppendRxTimeFrame(sameTime, "2021-02-06 14:00:00.000 UTC");
    for (int n = 1; n <= 3; ++n) sameTime += KissDataFrame(NumberedBeacon(n));
    influx.CreateDatabase("same");
    ASSERT_EQ(influx.Write("same", Decode({"--influx", WriteBytes(folder.filePath("same-time.kss"), sameTime)}).out).status, 204);
    EXPECT_EQ(influx.Query("same", "SELECT urbi FROM orca5").size(), 3);
}

TEST(LineProtocol, AYearGoesToInfluxDbInPartsAsFewSeries) {
    LocalInfluxServer influx;
    ASSERT_EQ(influx.problem, "");
    QTemporaryDir folder;
    const QString capture = folder.filePath("year.kss");
    QProcess::execute(ORCA5_DEMO_CAPTURE_PATH, {capture, "100000"});
    influx.CreateDatabase("year");
    const Finished whole = Decode({"--influx", "--station", "N0CALL", capture});
    EXPECT_NE(influx.Write("year", whole.out).status, 204) << "one request of " << whole.out.size() << " bytes is too large";

    // as README sends it: a part of 5000 lines a request, a failed one failing the whole
    const QString pipeline = QStringLiteral("set -o pipefail; '%1' --influx --station N0CALL --quiet '%2' | split -l 5000 --filter "
                                            "\"curl --fail --silent --show-error --data-binary @- '%3/write?db=year&precision=ns'\"")
                                 .arg(ORCA5_DECODE_PATH, capture, influx.base());
    QProcess send;
    send.start("bash", {"-c", pipeline});
    ASSERT_TRUE(send.waitForFinished(300000));
    EXPECT_EQ(send.exitCode(), 0) << send.readAllStandardError().toStdString();
    const QJsonArray counted = influx.Query("year", "SELECT count(urbi) FROM orca5");
    ASSERT_EQ(counted.size(), 1);
    EXPECT_EQ(counted[0][1].toInt(), 100000);
    EXPECT_EQ(influx.Query("year", "SHOW SERIES").size(), 1);
}
