#include "exports/csv_export.h"
#include "archive/sqlite/sqlite_archive.h"
#include "support/window_harness.h"
#include "ui/file_selection.h"
#include "telemetry/time_stamps.h"
#include "ui/channel_chart.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

namespace {

// A capture of beacons whose "Urbi" (channel 14) counts from the given first value.
std::string Capture(int first, int count) {
    std::string capture;
    for (int i = 0; i < count; ++i) {
        AppendRxTimeFrame(capture, "2021-02-06 14:00:0" + std::to_string(i % 10) + ".000 UTC");
        capture += KissDataFrame(BeaconBuilder().u16(79, static_cast<std::uint16_t>(first + i)).build());
    }
    return capture;
}

}  // namespace

TEST(KissImport, ReadsTheChosenFileAndShowsIt) {
    WindowHarness harness;
    const QString path = harness.WriteFile("2021-02-06_orca5.kss", Capture(1, 3));
    harness.dialogs.answers.push_back(QStringList{path});
    harness.window.MnuOpenKISSFile_Click();

    EXPECT_EQ(harness.dialogs.filters.front(), "KISS Files (*.kss)|*.kss|All Files (*.*)|*.*");
    ASSERT_EQ(harness.window.List3->count(), 1);
    EXPECT_EQ(harness.window.List3->item(0)->text(), path);
    EXPECT_EQ(harness.state.currentFileName, path);
    EXPECT_EQ(harness.window.Text4->text(), path);
    EXPECT_EQ(StoredUrbi(harness.state), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(harness.window.Text2->text(), "#1 / 3");
    EXPECT_EQ(harness.window.Label4->text(), "RX Timestamp: 2021-02-06 14:00:00.000 UTC");
    EXPECT_TRUE(harness.window.Option1[0]->isChecked());
    EXPECT_EQ(harness.window.MSChart1->rowCount(), 3);
    EXPECT_EQ(harness.window.Text5->document()->blockCount(), 3);
    EXPECT_TRUE(harness.window.MnuOpenKISSFile->isEnabled());
}

TEST(KissImport, ReadsSeveralFilesInNameOrderIntoOneEmptiedStore) {
    WindowHarness harness;
    harness.AddNumberedPackets(7);
    const QString c = harness.WriteFile("c.kss", Capture(30, 2));
    const QString a = harness.WriteFile("a.kss", Capture(10, 2));
    const QString b = harness.WriteFile("b.kss", Capture(20, 2));
    harness.dialogs.answers.push_back(QStringList{c, a, b});
    harness.window.MnuOpenKISSFile_Click();

    EXPECT_EQ(StoredUrbi(harness.state), (std::vector<double>{10, 11, 20, 21, 30, 31}));
    EXPECT_EQ(harness.state.currentFileName, c);
    EXPECT_EQ(harness.window.Text5->document()->blockCount(), 6) << "the log starts afresh";

    // cancelled: the same files again
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_EQ(StoredUrbi(harness.state), (std::vector<double>{10, 11, 20, 21, 30, 31}));

    // a file without time stamps takes none from the import before
    harness.dialogs.answers.push_back(QStringList{harness.WriteFile("plain.kss", KissDataFrame(NumberedBeacon(1)))});
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_EQ(harness.state.Packet(1)->rxTime, "");
}

TEST(KissImport, CancelOnFirstUseLeavesAnEmptyStore) {
    WindowHarness harness;
    harness.AddNumberedPackets(3);
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_EQ(harness.state.packetCount, 0);
    EXPECT_EQ(harness.window.Text1[14]->text(), "");
    EXPECT_EQ(harness.window.Text5->toPlainText(), "");
}

TEST(KissImport, TooManyFilesForTheDialogReadNothing) {
    // the dialog's buffer: one path, or the folder and each name, each ended by a NUL, one more at the end
    EXPECT_EQ(SelectionLength({"/data/a.kss"}), 12);
    EXPECT_EQ(SelectionLength({"/data/a.kss", "/data/b.kss"}), 6 + 6 + 6 + 1);
    QStringList days;
    for (int day = 1; days.size() < 97; ++day) days << QString("/home/ham/passes/2021-%1_orca5.kss").arg(day, 5, 10, QChar('0'));
    EXPECT_LE(SelectionLength(days.mid(0, 96)), kSelectionBufferLength) << "about 95 daily captures at a time";
    EXPECT_GT(SelectionLength(days), kSelectionBufferLength);

    WindowHarness harness;
    QStringList paths;
    for (int i = 0; i < 60; ++i) paths << harness.folder.filePath(QString("capture-%1-%2.kss").arg(i).arg(QString(30, 'x')));
    harness.dialogs.answers.push_back(paths);
    harness.window.MnuOpenKISSFile_Click();
    ASSERT_EQ(harness.dialogs.messages.size(), 1u);
    EXPECT_EQ(harness.dialogs.messages[0].text, "Es wurden zu viele Dateien ausgewählt!");
    EXPECT_EQ(harness.window.List3->count(), 0);
}

TEST(KissImport, AnUnreadableFileIsNamedAndTheNextOneRead) {
    WindowHarness harness;
    const QString missing = harness.folder.filePath("a-missing.kss");
    const QString present = harness.WriteFile("b.kss", Capture(5, 1));
    harness.dialogs.answers.push_back(QStringList{present, missing});
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_EQ(StoredUrbi(harness.state), std::vector<double>{5});

    harness.dialogs.answers.push_back(QStringList{missing});
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_TRUE(harness.window.Text4->text().startsWith(missing + " could not be read"));
}

TEST(KissImport, NoSecondImportStartsWhileOneRuns) {
    WindowHarness harness;
    harness.dialogs.answers.push_back(QStringList{harness.WriteFile("a.kss", Capture(1, 1))});
    bool enabledDuringImport = true;
    QTimer::singleShot(0, [&] { enabledDuringImport = harness.window.MnuOpenKISSFile->isEnabled() ||
                                                     harness.window.MnuOpenServerLog->isEnabled(); });
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_FALSE(enabledDuringImport);
    EXPECT_TRUE(harness.window.MnuOpenKISSFile->isEnabled());
    EXPECT_TRUE(harness.window.MnuOpenServerLog->isEnabled());
}

TEST(KissImport, TextBeaconsGoToTheirPage) {
    WindowHarness harness;
    std::string header;
    for (std::size_t i = 0; i < SatelliteHeaderHex.size(); i += 2)
        header += static_cast<char>(HexToNumber(SatelliteHeaderHex.substr(i, 2)));
    std::string capture;
    AppendRxTimeFrame(capture, "2021-02-06 14:00:00.000 UTC");
    capture += KissDataFrame(header + ">ORCA-5 says hello");
    harness.dialogs.answers.push_back(QStringList{harness.WriteFile("beacon.kss", capture)});
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_EQ(harness.window.Text8->toPlainText(), "2021-02-06 14:00:00.000 UTC | ORCA-5 says hello");
}

TEST(KissImport, SaysWhenTheStoreIsFull) {
    WindowHarness harness;
    harness.dialogs.answers.push_back(QStringList{harness.WriteFile("big.kss", Capture(0, kStoreCapacity + 2))});
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_EQ(harness.state.packetCount, kStoreCapacity);
    EXPECT_EQ(harness.window.Text4->text(), "The store is full at 10000 packets: 2 telemetry frames were not stored");
}

TEST(KissImport, MillisecondTimeStampsStampTheFramesAfterThem) {
    WindowHarness harness;
    const std::string capture = std::string("\xC0\x09\x00\x00\x01\x77\x77\xA4\x6B\x7B\xC0", 11) +
                                KissDataFrame(BeaconBuilder().u16(79, 1).build());
    harness.dialogs.answers.push_back(QStringList{harness.WriteFile("millis.kss", capture)});
    harness.window.MnuOpenKISSFile_Click();
    const std::string expected =
        GeneralDateText(QDateTime(QDate(2021, 2, 6), QTime(14, 0), Qt::UTC), QLocale()) + ".123 UTC";
    EXPECT_EQ(harness.window.Label4->text().toStdString(), "RX Timestamp: " + expected);
}

TEST(KissImport, WithAnArchiveEveryImportIsKeptThere) {
    WindowHarness harness(kOrca5s, "ARCHIVE = yes\r\nCALLSIGN = N0CALL\r\n");
    harness.dialogs.answers.push_back(QStringList{harness.WriteFile("a.kss", Capture(1, 3))});
    harness.window.MnuOpenKISSFile_Click();
    QString error;
    const auto archive = SqliteArchive::Open(harness.folder.filePath(kArchiveFileName), SqliteArchive::Mode::ReadOnly, error);
    ASSERT_TRUE(archive) << error.toStdString();
    std::vector<double> urbi;
    archive->ForEachPacket({{}, AllChannels(), true}, [&](const ArchivedPacket& packet) {
        urbi.push_back(packet.record.values[channel::Urbi]);
        EXPECT_EQ(packet.stations, "N0CALL");
    });
    EXPECT_EQ(urbi, StoredUrbi(harness.state));
}

TEST(KissImport, AnArchiveThatCannotBeOpenedStopsNothing) {
    QTemporaryDir folder;
    const QString notes = WriteBytes(folder.filePath("notes.txt"), "not an archive");
    WindowHarness harness(kOrca5s, "ARCHIVE = " + notes.toUtf8() + "\r\n");
    EXPECT_EQ(harness.window.Text4->text(), notes + " is not an orca5 archive; nothing is archived");
    harness.dialogs.answers.push_back(QStringList{harness.WriteFile("a.kss", Capture(1, 3))});
    harness.window.MnuOpenKISSFile_Click();
    EXPECT_EQ(harness.state.packetCount, 3);
    EXPECT_EQ(Contents(notes), "not an archive");
}
