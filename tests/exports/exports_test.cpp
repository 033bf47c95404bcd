#include "exports/csv_export.h"
#include "exports/export_names.h"
#include "exports/tlm_report.h"
#include "support/beacon_builder.h"
#include "support/files.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QSet<QString> kNothingImported;

QString CsvName(const QString& currentFileName, const QSet<QString>& imported = kNothingImported) {
    return ExportFileName(currentFileName, "csv", {CsvHeading(), imported});
}

}  // namespace

TEST(ExportNames, TheCurrentFilesNameWithAnotherExtensionInItsFolder) {
    EXPECT_EQ(CsvName("/data/pass.kss"), "/data/pass.csv");
    EXPECT_EQ(ExportFileName("/data/my.data/pass.kss", "tlm", {kTlmBanner, kNothingImported}), "/data/my.data/pass.tlm")
        << "a dotted folder";
    EXPECT_EQ(CsvName("/home/me/.local/share/2021-02-06_orca5.kss"), "/home/me/.local/share/2021-02-06_orca5.csv");
    EXPECT_EQ(CsvName("/data/capture"), "/data/capture.csv") << "no extension";
    EXPECT_EQ(CsvName("/data/.hidden"), "/data/.hidden.csv");
    EXPECT_EQ(CsvName("/data/a.b.kss"), "/data/a.b.csv");
    EXPECT_EQ(CsvName("orca5.csv"), "orca5.csv") << "the default, in the current folder";
}

TEST(ExportNames, OnlyOurOwnEarlierExportIsWrittenOver) {
    QTemporaryDir folder;
    const auto path = [&](const char* name) { return folder.filePath(name); };
    WriteBytes(path("own.csv"), CsvHeading() + "2021-02-06 14:00:00;1;\r\n");
    EXPECT_EQ(CsvName(path("own.kss")), path("own.csv")) << "our earlier export";

    WriteBytes(path("theirs.csv"), "time;value\r\n");  // another program's, or a SatNOGS export
    EXPECT_EQ(CsvName(path("theirs.kss")), path("theirs_export.csv"));
    WriteBytes(path("theirs_export.csv"), "kept too");
    EXPECT_EQ(CsvName(path("theirs.kss")), path("theirs_export2.csv"));

    QSet<QString> imported{QFileInfo(path("own.csv")).canonicalFilePath()};
    EXPECT_EQ(CsvName(path("own.csv"), imported), path("own_export.csv")) << "read by an import of this run";
    // the same file by other names: through a linked folder, relative to the current folder
    ASSERT_TRUE(QFile::link(folder.path(), path("link")));
    EXPECT_EQ(CsvName(path("link/own.csv"), imported), path("link/own_export.csv"));
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.path());
    EXPECT_EQ(CsvName("own.csv", imported), "own_export.csv");
    QDir::setCurrent(before);

    WriteBytes(path("cap.tlm"), std::string(kTlmBanner) + "\r\n");
    WriteBytes(path("notes.tlm"), "a report of someone else's");
    EXPECT_EQ(ExportFileName(path("cap.kss"), "tlm", {kTlmBanner, kNothingImported}), path("cap.tlm"));
    EXPECT_EQ(ExportFileName(path("notes.kss"), "tlm", {kTlmBanner, kNothingImported}), path("notes_export.tlm"));
}

TEST(ExportNames, ScreenshotsTakeTheBaseNameAndBmp) {
    EXPECT_EQ(ScreenshotBitmapName("/shots/", "/cap/2021-02-05_orca5.kss"), "/shots/2021-02-05_orca5.bmp");
    EXPECT_EQ(ScreenshotBitmapName("/cap/", "/cap/frames.txt"), "/cap/frames.bmp") << "never the imported file's name";
    EXPECT_EQ(ScreenshotBitmapName("/txt.folder/", "/cap/txt.csv"), "/txt.folder/txt.bmp");
    EXPECT_EQ(ScreenshotBitmapName("/shots/", "orca5.csv"), "/shots/orca5.bmp");
    EXPECT_EQ(ScreenshotBitmapName("/shots/", ""), "/shots/orca5.bmp");
    EXPECT_EQ(ScreenshotBitmapName("shot_", "/cap/pass.csv"), "shot_pass.bmp") << "the image path is a plain prefix";
}

TEST(CsvExport, HeadingThenAPacketALine) {
    DecoderHarness harness;
    DecodeBeacon(harness.context, BeaconBuilder().s8(135, -5).u16(85, 4250).u32(51, 1234567890).u32(47, 0xFFFFFFFF).build(),
                 {"2021-02-06 14:00:00", ""});

    const std::string text = CsvText(harness.state, ',');
    const std::size_t firstLineEnd = text.find("\r\n");
    const std::string heading = text.substr(0, firstLineEnd);
    EXPECT_TRUE(heading.starts_with("time;Packet #;Packet Total;JOB ID;Status;Beacons since Reset;"));
    EXPECT_TRUE(heading.ends_with(";Z+ Curr;Z+ Temperature;"));

    std::string expected = "2021-02-06 14:00:00;";
    for (int channel = 0; channel < kChannelCount; ++channel) {
        switch (channel) {
        case 3: expected += "4294967295;"; break;
        case 4: expected += "1234567890;"; break;
        case 17: expected += "4,25;"; break;
        case 45: expected += "-5;"; break;
        default: expected += "0;";
        }
    }
    EXPECT_EQ(text.substr(firstLineEnd + 2), expected + "\r\n");
    EXPECT_EQ(std::count(heading.begin(), heading.end(), ';'), 53);
}

TEST(CsvExport, AnEmptyStoreGivesTheHeadingAlone) {
    ProgramState state;
    const std::string text = CsvText(state, '.');
    EXPECT_EQ(text.find("\r\n"), text.size() - 2);
}

TEST(TlmReport, FixedColumnsOfTheTableAsShown) {
    std::array<ShownChannel, kChannelCount> table;
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {QString::fromLatin1(kChannels[i].name), "0", QString::fromLatin1(kChannels[i].unit)};
    table[2].value = "";
    table[4].value = "1234567890";
    table[11].value = "-10";
    const std::string report = TlmReportText(table);

    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = report.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(report.substr(start, end - start));
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines[0], "ORCA-5 Telemetry Decoder   by the orca5 contributors");
    EXPECT_EQ(lines[0].size(), 52u);
    EXPECT_EQ(lines[1], std::string(52, '='));
    EXPECT_EQ(lines[2], "");
    const auto cell = [](std::string text, std::size_t width) { return text.append(width - std::min(width, text.size()), ' '); };
    const auto half = [&](const char* name, const char* value, const char* unit) {
        return cell(name, 20) + cell(value, 8) + cell(unit, 4);
    };
    EXPECT_EQ(lines[3], half("Packet #", "0", "") + " |  " + half("Packet Total", "0", ""));
    EXPECT_EQ(lines[4], half("JOB ID", "", "") + " |  " + half("Status", "0", "")) << "an empty box is 8 spaces";
    EXPECT_EQ(lines[5], half("Beacons since Reset", "1234567890", "") + " |  " + half("Number of Resets", "0", ""))
        << "a long value is written whole and shifts the rest of its row";
    EXPECT_EQ(lines[8], half("VHF Preset", "0", "") + " |  " + half("UHF Temperature", "-10", "C"));
    EXPECT_EQ(lines[28], half("Z+ Curr", "0", "mA") + " |  " + half("Z+ Temperature", "0", "C"));
    EXPECT_EQ(lines[3].size(), 68u);
    EXPECT_EQ(lines[5].size(), 70u);
    EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
}

TEST(TlmReport, PadRightNeverCuts) {
    EXPECT_EQ(PadRight("ab", 4), "ab  ");
    EXPECT_EQ(PadRight("abcd", 4), "abcd");
    EXPECT_EQ(PadRight("abcdef", 4), "abcdef");
    EXPECT_EQ(PadRight("", 3), "   ");
}
