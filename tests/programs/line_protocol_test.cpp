// orca5-decode --influx: lines that a real InfluxDB server takes and gives back, value for value.
#include "intake/kiss.h"
#include "support/beacon_builder.h"
#include "support/decode_process.h"
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

    influx.Request("POST", "/query", QUrlQuery{{"q", "CREATE DATABASE files"}}, {});
    const LocalInfluxServer::Answer written = influx.Write("files", lines.out);
    ASSERT_EQ(written.status, 204) << written.body.toStdString();
    const QJsonArray rows = influx.Query("files", "SELECT battery_1_volt, status, x_minus_temperature, station, source FROM orca5");
    ASSERT_EQ(rows.size(), 500);
    std::map<qint64, std::array<double, 3>> read;
    for (const QJsonValue row : rows) {
        read[row[0].toInteger()] = {row[1].toDouble(), row[2].toDouble(), row[3].toDouble()};
        EXPECT_EQ(row[4].toString(), "N0 CALL");
        EXPECT_TRUE(row[5].toString().startsWith(capture + "#")) << row[5].toString().toStdString();
    }
    EXPECT_EQ(read, expected);
    // counts are integers, volts decimals, JOB ID text
    const QJsonArray types = influx.Query("files", "SHOW FIELD KEYS FROM orca5");
    std::map<QString, QString> typeOf;
    for (const QJsonValue field : types) typeOf[field[0].toString()] = field[1].toString();
    EXPECT_EQ(typeOf.size(), 52u);
    EXPECT_EQ(typeOf["status"], "integer");
    EXPECT_EQ(typeOf["battery_1_volt"], "float");
    EXPECT_EQ(typeOf["job_id"], "string");

    // the archive's packets the same way, with the stations that heard them
    const QString archive = folder.filePath("mission.sqlite");
    ASSERT_EQ(Decode({"--archive", archive, "--station", "N0CALL", capture}, {}, folder.path()).exitCode, 0);
    const Finished archived = Decode({"--archive", archive, "--influx"}, {}, folder.path());
    influx.Request("POST", "/query", QUrlQuery{{"q", "CREATE DATABASE archive"}}, {});
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
}
