#include "batch/batch_decode.h"
#include "exports/json_lines.h"
#include "exports/orbit_fields.h"
#include "intake/satnogs_reader.h"
#include "intake/capture_log.h"
#include "intake/frame_recognition.h"
#include "intake/live_session.h"
#include "programs/log_styles.h"
#include "support/beacon_builder.h"
#include "support/files.h"
#include "support/recording_view.h"
#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

// Several megabytes of SatNOGS lines, so that lines and line ends straddle the blocks read:
// a heading, repeats, blank lines, a bare LF inside a line, fields after the frame.
std::string TrickyExport(std::string_view lineEnd) {
    std::string text = std::string("timestamp|frame") + std::string(lineEnd);
    for (int i = 0; i < 7000; ++i) {
        char time[32];
        std::snprintf(time, sizeof time, "2021-02-06 %02d:%02d:%02d|", i / 3600 % 24, i / 60 % 60, i % 60);
        const std::string line = time + HexText(NumberedBeacon(i)) + (i % 5 == 0 ? "|0|station" : "");
        text.append(line).append(lineEnd);
        if (i % 11 == 0) text.append(line).append(lineEnd);  // a repeat
        if (i % 97 == 0) text.append(lineEnd);                // a blank line
        if (i % 89 == 0 && lineEnd.size() == 2) text.append("2021-02-06 00:00:00|AB\nCD").append(lineEnd);
    }
    return text.substr(0, text.size() - lineEnd.size());  // no line end after the last line
}

BatchDecoder::Sinks RowsInto(std::string& rows) {
    return {.rows = [&rows](std::string_view text) { rows += text; }, .textBeacons = {}, .progress = {}};
}

std::vector<std::string> RxTimes(const ProgramState& state) {
    std::vector<std::string> times;
    for (int n = 1; n <= state.packetCount; ++n) times.push_back(state.Packet(n)->rxTime);
    return times;
}

}  // namespace

TEST(SatnogsReader, TheWindowAndTheCommandLineReadAlikeAndSkipALongLineWhole) {
    for (const std::string_view lineEnd : {"\r\n", "\n"}) {
        std::string text = TrickyExport(lineEnd);
        ASSERT_GT(text.size(), 3u << 20);
        // 100 KB in the middle that start like a record: no record is that long
        const std::size_t middle = text.find(lineEnd, text.size() / 2) + lineEnd.size();
        text.insert(middle, "2021-02-06 12:00:00|" + HexText(NumberedBeacon(1)) + std::string(100 << 10, 'A') + std::string(lineEnd));
        QTemporaryDir folder;
        DecoderHarness window;
        const SatnogsFileOutcome read = ReadSatnogsFile(window.context, WriteBytes(folder.filePath("window.csv"), text),
                                                        {[](const QString&) {}, [](int) {}, [](int) {}});
        std::string rows;
        BatchDecoder decoder(RowFormat::Csv, '.', kDecodeLog, RowsInto(rows));
        EXPECT_EQ(decoder.Decode(QFile::encodeName(WriteBytes(folder.filePath("cli.csv"), text)), InputFormat::Detect), "");
        decoder.Flush();

        EXPECT_EQ(read.longLines, 1);
        EXPECT_EQ(read.stored, 7000) << "every good line";
        EXPECT_EQ(decoder.totals().packets, read.stored);
        EXPECT_EQ(decoder.totals().skipped, read.records - read.stored + 1);
        std::vector<std::string> times;
        for (std::size_t at = rows.find("\r\n") + 2; at < rows.size(); at = rows.find("\r\n", at) + 2)
            times.push_back(rows.substr(at, rows.find(';', at) - at));
        EXPECT_EQ(times, RxTimes(window.state)) << "the same packets in the same order";
    }
}

TEST(BatchDecoder, WritesEveryPacketOfACapturePastTheWindowsLimit) {
    QTemporaryDir folder;
    std::string capture;
    for (int n = 1; n <= 25000; ++n) {
        AppendRxTimeFrame(capture, "2021-02-06 14:00:00.000 UTC");
        capture += KissDataFrame(NumberedBeacon(n % 60000));
    }
    capture += KissDataFrame("not telemetry") + KissDataFrame(std::string(5000, 'x'));
    const QString path = WriteBytes(folder.filePath("year.kss"), capture);

    std::string rows;
    BatchDecoder decoder(RowFormat::Csv, '.', kDecodeLog, RowsInto(rows));
    EXPECT_EQ(decoder.Decode(QFile::encodeName(path), InputFormat::Detect), "");
    decoder.Flush();
    EXPECT_EQ(decoder.totals().packets, 25000);
    EXPECT_EQ(decoder.totals().skipped, 2) << "a short frame and one past the bound";
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 25001) << "the heading and a line a packet";
    EXPECT_TRUE(rows.ends_with(";\r\n"));
    // made on another thread, in the frames' order: each row's Urbi is its number
    std::size_t start = rows.find('\n') + 1;
    for (int n = 1; n <= 25000; ++n) {
        const std::size_t end = rows.find('\n', start);
        const QStringList fields = QString::fromStdString(rows.substr(start, end - start)).split(';');
        ASSERT_EQ(fields[channel::Urbi + 1], QString::number(n)) << "row " << n;
        start = end + 1;
    }
}

TEST(BatchDecoder, JsonLinesRoundTripTheValues) {
    QTemporaryDir folder;
    std::string capture;
    AppendRxTimeFrame(capture, "2021-02-06 14:00:00.123 UTC");
    capture += KissDataFrame(BeaconBuilder().u16(85, 4250).s8(87, -12).u32(47, 0xFFFFFFFF).obcTime(21, 2, 6, 9, 5, 0).build());
    const QString path = WriteBytes(folder.filePath("pass.kss"), capture);

    std::string rows;
    BatchDecoder decoder(RowFormat::JsonLines, '.', kDecodeLog, RowsInto(rows));
    decoder.Decode(QFile::encodeName(path), InputFormat::Detect);
    decoder.Flush();
    QJsonParseError error;
    const QJsonObject packet = QJsonDocument::fromJson(QByteArray::fromStdString(rows), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << rows;
    EXPECT_EQ(packet["rx_time"].toString(), "2021-02-06T14:00:00.123Z");
    EXPECT_EQ(packet["obc_time"].toString(), "2021/02/06 09:05:00");
    EXPECT_EQ(packet["source"].toString(), folder.filePath("pass.kss") + "#1");
    EXPECT_EQ(packet["Battery 1 Volt"].toDouble(), 4.25);
    EXPECT_EQ(packet["Battery 1 Temp"].toDouble(), -12);
    EXPECT_EQ(packet["Status"].toDouble(), 4294967295.0);
    EXPECT_EQ(packet["JOB ID"].toString(), "");
    EXPECT_EQ(packet.size(), 4 + kChannelCount);
}

TEST(BatchDecoder, FormatsAreKnownByTheirContent) {
    EXPECT_EQ(RecogniseFormat("\xC0\x00" "frame\xC0"), InputFormat::Kiss);
    EXPECT_EQ(RecogniseFormat("timestamp|frame\r\n2021-02-06 14:00:00|8C8E\r\n"), InputFormat::Satnogs);
    EXPECT_EQ(RecogniseFormat("2021-02-06 14:00:00|8C8E"), InputFormat::Satnogs);
    EXPECT_EQ(RecogniseFormat("plain text"), InputFormat::Kiss) << "nothing to decode either way";
    EXPECT_EQ(IsoRxTime("2021-02-06 14:00:00"), "2021-02-06T14:00:00.000Z");
    EXPECT_EQ(IsoRxTime("06.02.21 14:00:00.123 UTC"), "");
}

TEST(BatchDecoder, TheLiveRoadWritesWhatTheCaptureFileGivesBack) {
    QTemporaryDir folder;
    const std::string textBeacon = BytesFromHex(SatelliteHeaderHex) + ">ORCA-5 de NOSAT";
    const std::string arrival = KissDataFrame(NumberedBeacon(1)) + KissDataFrame(textBeacon) +
                                KissDataFrame("another station's frame") + KissDataFrame(NumberedBeacon(2));
    std::string liveRows, fileRows, liveBeacons, fileBeacons;
    const auto sinks = [](std::string& rows, std::string& beacons) {
        return BatchDecoder::Sinks{.rows = [&rows](std::string_view text) { rows += text; },
                                   .textBeacons = [&beacons](std::string_view line) { beacons += line; },
                                   .progress = {}};
    };
    BatchDecoder live(RowFormat::Csv, '.', kDecodeLog, sinks(liveRows, liveBeacons));
    LiveSession session(live.view(), kDecodeLog);
    session.Configure(folder.path(), std::nullopt, "");
    QObject::connect(&session, &LiveSession::Arrived, [&](const LiveArrival& arrival) {
        live.Count(arrival);
        live.Flush();
    });
    session.Take(arrival);
    BatchDecoder file(RowFormat::Csv, '.', kDecodeLog, sinks(fileRows, fileBeacons));
    file.Decode(QFile::encodeName(CaptureFileName(folder.path(), UtcTimestampText())), InputFormat::Kiss);
    live.Flush();
    file.Flush();

    EXPECT_EQ(liveRows, fileRows);
    EXPECT_NE(liveRows.find(" UTC;"), std::string::npos) << liveRows;
    EXPECT_EQ(liveBeacons, fileBeacons);
    EXPECT_NE(liveBeacons.find("ORCA-5 de NOSAT"), std::string::npos);
    for (const auto& totals : {live.totals(), file.totals()}) {
        EXPECT_EQ(totals.packets, 2);
        EXPECT_EQ(totals.textBeacons, 1);
        EXPECT_EQ(totals.skipped, 1);
    }
}

TEST(BatchDecoder, EachInputStartsWithoutATimeAndAByteOrderMarkHidesNoLine) {
    QTemporaryDir folder;
    std::string stamped;
    AppendRxTimeFrame(stamped, "2021-02-06 14:20:00.123 UTC");
    stamped += KissDataFrame(NumberedBeacon(1));
    std::string satnogs = "\xEF\xBB\xBF";
    for (int n = 21; n >= 1; --n) satnogs += "2021-02-06 14:00:" + std::to_string(10 + n) + "|" + HexText(NumberedBeacon(n)) + "\r\n";

    std::string rows;
    BatchDecoder decoder(RowFormat::Csv, '.', kDecodeLog, RowsInto(rows));
    for (const auto& [name, bytes] : {std::pair{"a.kss", stamped}, {"b.kss", KissDataFrame(NumberedBeacon(2))},
                                      {"export.csv", satnogs}})
        decoder.Decode(QFile::encodeName(WriteBytes(folder.filePath(name), bytes)), InputFormat::Detect);
    decoder.Flush();
    EXPECT_EQ(decoder.totals().packets, 2 + 21) << "the export's first line is its newest record";
    EXPECT_EQ(decoder.totals().skipped, 0);
    const std::size_t second = rows.find('\n', rows.find("14:20:00.123 UTC;")) + 1;
    EXPECT_EQ(rows[second], ';') << "b.kss has no time of its own: " << rows.substr(second, 40);
}

// Where the satellite was, worked out where each packet is decoded and written where its row is:
// a SatNOGS export of 7000 packets a second apart, each row's columns as the orbit has them.
TEST(BatchDecoder, EachRowHasTheOrbitsColumnsWhateverTheThreadsPace) {
    const char sets[] = "1 99999U 21999A   21037.58333333  .00001000  00000-0  50000-4 0  9999\n"
                        "2 99999  97.5000 120.0000 0010000  90.0000 270.0000 15.20000000000109\n";
    const Orbit orbit(std::get<ElementSets>(ParseElementSets("orbit.tle", sets)));
    const Geodetic station{48.1, 11.6, 0.52};
    QTemporaryDir folder;
    std::string rows;
    BatchDecoder decoder(RowFormat::Csv, '.', kDecodeLog, RowsInto(rows), OrbitColumns{orbit, station});
    ASSERT_EQ(decoder.Decode(QFile::encodeName(WriteBytes(folder.filePath("export.csv"), TrickyExport("\r\n"))), InputFormat::Detect), "");
    decoder.Flush();
    std::size_t checked = 0;
    for (std::size_t at = rows.find("\r\n") + 2; at < rows.size(); at = rows.find("\r\n", at) + 2, ++checked) {
        const std::string_view line(rows.data() + at, rows.find("\r\n", at) - at);
        const std::optional<OrbitPoint> point = orbit.PointAt(static_cast<double>(*UtcMilliseconds(line.substr(0, 23))), station);
        ASSERT_TRUE(point);
        std::string expected;
        AppendOrbitCsv(expected, point, true, '.');
        ASSERT_TRUE(line.ends_with(expected)) << line.substr(line.size() - 80);
    }
    EXPECT_EQ(checked, 7000u);
}
