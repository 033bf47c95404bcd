#include "intake/satnogs_reader.h"
#include "support/beacon_builder.h"
#include "support/files.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

std::string Hex(const std::string& frame) { return HexText(frame); }

std::string Record(const char* time, std::uint16_t milliamperes, const std::string& after = "") {
    return std::string(time) + "|" + Hex(BeaconBuilder().u16(79, milliamperes).build()) + after;
}

std::string Line(int second, std::uint16_t milliamperes) {
    char time[32];
    std::snprintf(time, sizeof time, "2021-02-06 14:00:%02d", second);
    return Record(time, milliamperes);
}

// One SatNOGS file read into a store of its own, as an import reads it.
struct SatnogsRead : DecoderHarness {
    using DecoderHarness::DecoderHarness;

    SatnogsFileOutcome Read(const QString& name, std::string_view text) {
        path = WriteBytes(folder.filePath(name), text);
        return ReadSatnogsFile(context, path,
                               {.note = [&](const QString& line) { notes << line; },
                                .counted = [&](int records) { counted = records; },
                                .progress = [&](int k) { progress.push_back(k); }});
    }

    QTemporaryDir folder;
    QString path;
    QStringList notes;
    int counted = -1;
    std::vector<int> progress;
};

}  // namespace

TEST(SatnogsFile, RecordLinesAreTimeSeparatorAndHex) {
    EXPECT_TRUE(IsRecordLine("2021-02-06 14:00:00|8C8E"));
    EXPECT_TRUE(IsRecordLine("2021-02-06 14:00:00,8c"));
    EXPECT_FALSE(IsRecordLine("timestamp|frame"));
    EXPECT_FALSE(IsRecordLine("2021-02-06 14:00:00|"));
    EXPECT_FALSE(IsRecordLine("2021-02-06T14:00:00|8C8E"));
    EXPECT_FALSE(IsRecordLine(""));
}

TEST(SatnogsFile, LinesAreCutAtCrLfWithoutHeadingOrTrailingNothing) {
    const std::pair<std::string_view, int> files[] = {
        {"timestamp|frame\r\n2021-02-06 14:00:00|AB\r\n2021-02-06 14:00:01|CD\r\n", 2},
        {"2021-02-06 14:00:00|AB\r\n2021-02-06 14:00:01|CD", 2},  // a first record line, no last line break
        {"2021-02-06 14:00:00|AB\r\n\r\nx\n2021-02-06 14:00:01|CD\r\n", 3},  // a bare LF in a CR LF file ends no line
        {"", 0},
        {"heading only\r\n", 0},
    };
    for (const auto& [text, lines] : files) EXPECT_EQ(SatnogsRead().Read("a.csv", text).recordLines, lines) << text;

    SatnogsRead read;
    const std::string a = Line(1, 0xAB);
    std::string lower = a;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const SatnogsFileOutcome repeats =
        read.Read("b.csv", a + "\r\n" + a + "\r\n" + Line(2, 2) + "\r\n" + a + "\r\n" + a + "\r\n" + lower);
    EXPECT_EQ(repeats.recordLines, 6);
    EXPECT_EQ(repeats.records, 4) << "only a repeat of the line before is dropped";
}

TEST(SatnogsFile, FrameHexEndsAtTheFirstNonDigit) {
    EXPECT_EQ(FrameHexOf("2024-03-10 09:53:03|848a82AB||station text"), "848a82AB");
    EXPECT_EQ(FrameHexOf("2024-03-10 09:53:03|848A82\r"), "848A82");
    EXPECT_EQ(FrameHexOf("short"), "");
}

TEST(SatnogsDecoding, FromTheBottomUpByFrameLength) {
    const std::string newest = Record("2021-02-06 14:00:02", 2);
    const std::string oldest = Record("2021-02-06 14:00:01", 1, "||station");
    const std::string payload = "2021-02-06 14:00:03|" + Hex(BeaconBuilder().u16(79, 3).payload());
    std::string lower = "2021-02-06 14:00:04|" + Hex(BeaconBuilder().u16(79, 4).build());
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string wrong215 = "2021-02-06 14:00:05|" + Hex(std::string(215, 'a'));
    const std::string wrong217 = "2021-02-06 14:00:06|" + Hex(std::string(217, 'a'));
    SatnogsRead harness;
    const SatnogsFileOutcome outcome =
        harness.Read("a.csv", newest + "\r\n" + oldest + "\r\n" + payload + "\r\n" + lower + "\r\n" + wrong215 + "\r\n" + wrong217);

    EXPECT_EQ(outcome.stored, 4);
    ASSERT_EQ(harness.state.packetCount, 4);
    EXPECT_EQ(harness.state.Packet(1)->values[14], 4) << "the last line first";
    EXPECT_EQ(harness.state.Packet(2)->values[14], 3);
    EXPECT_EQ(harness.state.Packet(4)->values[14], 2);
    EXPECT_EQ(harness.state.Packet(4)->rxTime, "2021-02-06 14:00:02");
    EXPECT_EQ(harness.view.frameLog[2], lower.substr(0, 19) + " | " + lower.substr(20)) << "frameHex keeps its case";
}

TEST(SatnogsDecoding, ReportsProgressEveryHundredRecords) {
    SatnogsRead harness;
    std::string text;
    for (int n = 0; n < 250; ++n) text += Line(n % 60, static_cast<std::uint16_t>(n)) + "\r\n";
    harness.Read("a.csv", text);
    EXPECT_EQ(harness.progress, (std::vector<int>{200, 100}));
    EXPECT_EQ(harness.state.packetCount, 250);
}

TEST(SatnogsDecoding, TheEarlierProgramKeepsFrameHexToItself) {
    SatnogsRead harness(kOrca5Log);
    harness.state.frameHex = "untouched";
    harness.Read("a.csv", Record("2021-02-06 14:00:00", 1));
    EXPECT_EQ(harness.state.frameHex, "untouched");
    EXPECT_EQ(harness.state.packetCount, 1);
}

TEST(SatnogsFileRead, CountsTheRecordsAndDecodesFromTheBottomUp) {
    SatnogsRead read;
    const std::string text = "timestamp|frame\r\n" + Line(1, 1) + "\r\n" + Line(2, 2) + "\r\n" + Line(2, 2) + "\r\n" +
                             Line(3, 3) + "\r\n" + Line(1, 1) + "\r\n";
    const SatnogsFileOutcome outcome = read.Read("pass.csv", text);
    EXPECT_TRUE(outcome.read);
    EXPECT_EQ(outcome.recordLines, 5);
    EXPECT_EQ(outcome.records, 4);
    EXPECT_EQ(read.counted, 4);
    EXPECT_EQ(outcome.stored, 4);
    EXPECT_EQ(StoredUrbi(read.state), (std::vector<double>{1, 3, 2, 1})) << "the repeat next to its twin is dropped";
    EXPECT_EQ(std::vector<std::string>(read.view.frameLog.begin(), read.view.frameLog.begin() + 2),
              (std::vector<std::string>{"records from SatNOGS: 5", "after removing duplicates: 4"}));
    EXPECT_EQ(Contents(read.path).toStdString(), text) << "a CR LF file is left as it is";
}

TEST(SatnogsFileRead, LineFeedFilesAreRewrittenWithCrLf) {
    SatnogsRead read;
    read.Read("lf.csv", Line(1, 1) + "\n" + Line(2, 2) + "\n");
    EXPECT_EQ(StoredUrbi(read.state), (std::vector<double>{2, 1}));
    EXPECT_EQ(Contents(read.path).toStdString(), Line(1, 1) + "\r\n" + Line(2, 2) + "\r\n");
    EXPECT_TRUE(read.notes.isEmpty());

    const std::string mixed = Line(1, 1) + "\r\n" + Line(2, 2) + "\n";  // one CR LF: the file's line end
    read.Read("mixed.csv", mixed);
    EXPECT_EQ(Contents(read.path).toStdString(), mixed);
}

TEST(SatnogsFileRead, ALineFeedFileThatCannotBeRewrittenIsReadAllTheSame) {
    SatnogsRead read;
    // a name so long that no file of a longer name can stand beside it to replace it
    const std::string original = Line(1, 1) + "\n" + Line(2, 2) + "\n";
    read.Read(QString(247, 'x') + ".csv", original);
    ASSERT_TRUE(QFile::exists(read.path));
    EXPECT_EQ(StoredUrbi(read.state), (std::vector<double>{2, 1}));
    EXPECT_EQ(Contents(read.path).toStdString(), original) << "the old file stays whole";
    ASSERT_EQ(read.notes.size(), 1);
    EXPECT_TRUE(read.notes[0].startsWith(read.path + " could not be rewritten with CR LF line ends ("));
}

TEST(SatnogsFileRead, AMissingFileSaysWhy) {
    SatnogsRead read;
    const SatnogsFileOutcome missing =
        ReadSatnogsFile(read.context, read.folder.filePath("gone.csv"), {[](const QString&) {}, [](int) {}, [](int) {}});
    EXPECT_FALSE(missing.read);
    EXPECT_FALSE(missing.error.isEmpty());
    EXPECT_EQ(missing.records, 0);
}
