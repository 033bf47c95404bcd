#include "archive/satnogs_file.h"
#include "support/beacon_builder.h"
#include "support/files.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

using Lines = std::vector<std::string_view>;

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
    SatnogsFileOutcome Read(const QString& name, std::string_view text) {
        path = WriteBytes(folder.filePath(name), text);
        return ReadSatnogsFile(context, path,
                               {.note = [&](const QString& line) { notes << line; },
                                .counted = [&](int records) { counted = records; },
                                .progress = [](int) {}});
    }

    QTemporaryDir folder;
    QString path;
    QStringList notes;
    int counted = -1;
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
    EXPECT_EQ(SatnogsRecordLines("timestamp|frame\r\n2021-02-06 14:00:00|AB\r\n2021-02-06 14:00:01|CD\r\n"),
              (Lines{"2021-02-06 14:00:00|AB", "2021-02-06 14:00:01|CD"}));
    EXPECT_EQ(SatnogsRecordLines("2021-02-06 14:00:00|AB\r\n2021-02-06 14:00:01|CD"),
              (Lines{"2021-02-06 14:00:00|AB", "2021-02-06 14:00:01|CD"}))
        << "a first record line and a last line without a line break are records";
    EXPECT_EQ(SatnogsRecordLines("2021-02-06 14:00:00|AB\r\n\r\nx\n2021-02-06 14:00:01|CD\r\n"),
              (Lines{"2021-02-06 14:00:00|AB", "", "x\n2021-02-06 14:00:01|CD"}))
        << "a bare LF in a CR LF file does not end a line";
    EXPECT_TRUE(SatnogsRecordLines("").empty());
    EXPECT_TRUE(SatnogsRecordLines("heading only\r\n").empty());
}

TEST(SatnogsFile, OnlyAdjacentRepeatsAreDropped) {
    EXPECT_EQ(RemoveAdjacentDuplicates({"a", "a", "b", "a", "a", "A"}), (Lines{"a", "b", "a", "A"}));
    EXPECT_TRUE(RemoveAdjacentDuplicates({}).empty());
}

TEST(SatnogsFile, FrameHexEndsAtTheFirstNonDigit) {
    EXPECT_EQ(FrameHexOf("2024-03-10 09:53:03|848a82AB||station text"), "848a82AB");
    EXPECT_EQ(FrameHexOf("2024-03-10 09:53:03|848A82\r"), "848A82");
    EXPECT_EQ(FrameHexOf("short"), "");
}

TEST(SatnogsFile, BareLineFeedsBecomeCrLf) {
    EXPECT_TRUE(HasBareLineFeedsOnly("a\nb\n"));
    EXPECT_FALSE(HasBareLineFeedsOnly("a\r\nb\n"));
    EXPECT_FALSE(HasBareLineFeedsOnly("one line"));
    EXPECT_EQ(WithCrLf("a\nb\n"), "a\r\nb\r\n");
}

TEST(SatnogsDecoding, FromTheBottomUpByFrameLength) {
    const std::string newest = Record("2021-02-06 14:00:02", 2);
    const std::string oldest = Record("2021-02-06 14:00:01", 1, "||station");
    const std::string payload = "2021-02-06 14:00:03|" + Hex(BeaconBuilder().u16(79, 3).payload());
    std::string lower = "2021-02-06 14:00:04|" + Hex(BeaconBuilder().u16(79, 4).build());
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string wrong215 = "2021-02-06 14:00:05|" + Hex(std::string(215, 'a'));
    const std::string wrong217 = "2021-02-06 14:00:06|" + Hex(std::string(217, 'a'));
    DecoderHarness harness;
    const SatnogsOutcome outcome =
        DecodeSatnogsRecords(harness.context, {newest, oldest, payload, lower, wrong215, wrong217}, [](int) {});

    EXPECT_EQ(outcome.stored, 4);
    ASSERT_EQ(harness.state.packetCount, 4);
    EXPECT_EQ(harness.state.Packet(1)->values[14], 4) << "the last line first";
    EXPECT_EQ(harness.state.Packet(2)->values[14], 3);
    EXPECT_EQ(harness.state.Packet(4)->values[14], 2);
    EXPECT_EQ(harness.state.Packet(4)->rxTime, "2021-02-06 14:00:02");
    EXPECT_EQ(harness.view.frameLog[0], lower.substr(0, 19) + " | " + lower.substr(20)) << "frameHex keeps its case";
}

TEST(SatnogsDecoding, ReportsProgressEveryHundredRecords) {
    DecoderHarness harness;
    const std::string line = Record("2021-02-06 14:00:00", 1);
    const std::vector<std::string_view> records(250, line);
    std::vector<int> progress;
    DecodeSatnogsRecords(harness.context, records, [&](int k) { progress.push_back(k); });
    EXPECT_EQ(progress, (std::vector<int>{200, 100}));
    EXPECT_EQ(harness.state.packetCount, 250);
}

TEST(SatnogsDecoding, TheEarlierProgramKeepsFrameHexToItself) {
    DecoderHarness harness(kOrca5Log);
    harness.state.frameHex = "untouched";
    const std::string line = Record("2021-02-06 14:00:00", 1);
    DecodeSatnogsRecords(harness.context, {line}, [](int) {});
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
