// A user's data survives servers that misbehave, files that cannot be written and files
// that are not what they claim to be.
#include "exports/csv_export.h"
#include "exports/tlm_report.h"
#include "support/small_disk.h"
#include "support/live_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>

TEST(FaultsSurvived, ACaptureFileThatCanNoLongerBeWrittenKeepsWhatItHas) {
    QTemporaryDir outside;
    LiveWindow live;
    WindowHarness& harness = live.harness;
    live.SwitchOn();
    live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(1))), 1);
    const QString capture = live.CaptureFile();
    const QByteArray written = Contents(capture);
    ASSERT_EQ(written.size(), 30 + 219);

    // the program's folder goes away under it, the capture file with it, and a file takes its name
    const QString moved = QDir(outside.path()).filePath("moved");
    ASSERT_TRUE(QDir().rename(harness.folder.path(), moved));
    WriteBytes(harness.folder.path(), "not a folder");
    live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(2))), 2);
    EXPECT_EQ(harness.window.Text4->text(), capture + " could not be written: " + harness.folder.path() + " cannot be made");
    EXPECT_EQ(harness.window.Text1[14]->text(), "2") << "the bar follows the newest packet";
    EXPECT_EQ(harness.state.Packet(2)->values[14], 2);
    EXPECT_EQ(Contents(QDir(moved).filePath(QFileInfo(capture).fileName())), written);
    QFile::remove(harness.folder.path());
    QDir().rename(moved, harness.folder.path());
}

TEST(FaultsSurvived, ExportsThatCannotBeWrittenLeaveTheOldFiles) {
    WindowHarness harness;
    harness.AddNumberedPackets(3);

    harness.state.currentFileName = "/proc/pass.kss";  // a file system that takes no new files
    harness.window.WriteCSVFile_Click();
    EXPECT_TRUE(harness.window.Text4->text().startsWith("/proc/pass.csv could not be written: "));

    // a file open elsewhere: its reader keeps what it opened, the export is whole
    const std::string oldExport = CsvHeading() + "an earlier export\r\n";
    const QString path = harness.WriteFile("pass.csv", oldExport);
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    harness.state.currentFileName = harness.folder.filePath("pass.kss");
    harness.window.WriteCSVFile_Click();
    EXPECT_EQ(harness.window.Text4->text(), path + " has been written");
    EXPECT_EQ(reader.readAll().toStdString(), oldExport);
    EXPECT_EQ(Contents(path).count('\n'), 4);
}

TEST(FaultsSurvived, TruncatedAndBinaryFilesImportWithoutHarm) {
    WindowHarness harness;
    std::string capture;
    for (int n = 1; n <= 5; ++n) {
        AppendRxTimeFrame(capture, "2021-02-06 14:00:00.000 UTC");
        capture += KissDataFrame(NumberedBeacon(n));
    }
    const QString truncated = harness.WriteFile("truncated.kss", std::string_view(capture).substr(0, capture.size() - 100));
    harness.dialogs.answers.push_back(QStringList{truncated});
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_EQ(harness.state.packetCount, 4) << "the frames before the cut";
    EXPECT_EQ(harness.window.Text2->text(), "#1 / 4");

    QByteArray noise(1 << 20, '\0');
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const QString binary = harness.WriteFile("chosen-by-mistake.bin", std::string_view(noise.constData(), noise.size()));
    for (auto command : {&Form1::MnuOpenKISSFile_Click, &Form1::MnuOpenServerLog_Click}) {
        harness.dialogs.answers.push_back(QStringList{binary});
        (harness.window.*command)();
        // random bytes cut at their FENDs hold a few pieces of telemetry length, taken as telemetry
        EXPECT_LE(harness.state.packetCount, noise.count('\xC0'));
        EXPECT_EQ(harness.window.HScroll1->maximum(), std::max(1, harness.state.packetCount));
        EXPECT_EQ(harness.window.Text2->text(),
                  harness.state.packetCount > 0 ? "#1 / " + QString::number(harness.state.packetCount) : "");
    }
}


TEST(FaultsSurvived, OnASmallDiskEveryWriteSaysWhyAndKeepsTheUsersFiles) {
    SmallDisk disk;
    WindowHarness harness(kOrca5s, "IMAGE_PATH = " + disk.Path().toUtf8() + "/\r\n");
    Form1& window = harness.window;
    harness.AddNumberedPackets(30);
    const std::string oldExport = CsvHeading() + "an earlier export\r\n";
    const QString csv = WriteBytes(disk.FilePath("pass.csv"), oldExport);
    const QString report = WriteBytes(disk.FilePath("pass.tlm"), std::string(kTlmBanner) + "\r\nan earlier report\r\n");
    const QByteArray reportBefore = Contents(report);
    std::string lines;  // an export whose line ends lost their CR on the way: 30 records, 13.6 KB
    for (int n = 30; n >= 1; --n) lines += "2021-02-06 14:00:" + std::to_string(10 + n) + "|" + HexText(NumberedBeacon(n)) + "\n";
    const QString satnogs = WriteBytes(disk.FilePath("frames.csv"), lines);
    disk.Fill();

    harness.state.currentFileName = disk.FilePath("pass.kss");
    for (int attempt = 0; attempt < 2; ++attempt) {
        window.WriteCSVFile_Click();
        EXPECT_EQ(window.Text4->text(), csv + " could not be written: No space left on device");
        window.WriteTLMFile_Click();
        EXPECT_EQ(window.Text4->text(), report + " could not be written: No space left on device");
    }
    window.Command1_Click();
    EXPECT_EQ(window.Text4->text(), disk.FilePath("pass.bmp") + " could not be saved: No space left on device");

    harness.dialogs.answers.push_back(QStringList{satnogs});
    window.MnuOpenServerLog_Click();
    EXPECT_EQ(harness.state.packetCount, 30);
    EXPECT_TRUE(window.Text5->toPlainText().contains(
        satnogs + " could not be rewritten with CR LF line ends (No space left on device); it is left as it was"));

    EXPECT_EQ(Contents(csv).toStdString(), oldExport);
    EXPECT_EQ(Contents(report), reportBefore);
    EXPECT_EQ(Contents(satnogs).toStdString(), lines);
    EXPECT_EQ(disk.Files(), (QStringList{"frames.csv", "pass.csv", "pass.tlm"})) << "no empty _export files";
}
