// The heaviest loads a user's data must survive: a flood over TCP and a file of 200 MB. Slow, so CTest labels them "slow"; the test command runs them all the same.
#include "exports/csv_export.h"
#include "intake/kiss_file.h"
#include "support/live_window.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>


TEST(FaultsSurvived, AServerThatClosesMidFrameRestartsFloodsAndBursts) {
    LiveWindow live(kOrca5);
    LocalKissServer& server = live.server;
    WindowHarness& harness = live.harness;
    Form1& window = harness.window;

    live.SwitchOn();
    server.Send(Bytes(KissDataFrame(NumberedBeacon(1)).substr(0, 120)));
    server.peer->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Winsock1->State() == SocketState::PeerClosing; }, 5000));
    EXPECT_EQ(harness.state.packetCount, 0);

    server.Restart();
    window.Check5->click();  // off
    live.SwitchOn();         // and on again

    // a megabyte without a single FEND: held no longer than one frame's bound
    const QByteArray noFend(64 * 1024, 'z');
    server.Send("\xC0\x00");
    for (int i = 0; i < 16; ++i) server.Send(noFend);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.liveStream().droppedFrames() == 1; }, 10000));
    EXPECT_LE(window.liveStream().pendingBytes(), KissStream::kMaxFrameBytes + 1);

    // ten thousand frames in one write: every one decoded and logged
    std::string burst;
    for (int n = 1; n <= kStoreCapacity; ++n) burst += KissDataFrame(NumberedBeacon(n));
    live.SendUntilStored(Bytes(burst), kStoreCapacity, 60000);
    for (const int n : {1, 5000, kStoreCapacity}) EXPECT_EQ(harness.state.Packet(n)->values[14], n);

    DecoderHarness readBack(kOrca5Log);
    EXPECT_EQ(ReadKissFile(readBack.context, live.CaptureFile()).stored, kStoreCapacity);
    QApplication::processEvents();
    EXPECT_EQ(window.Text5->document()->blockCount(), kStoreCapacity) << "one arrival line a frame";
}

TEST(FaultsSurvived, AVeryLargeSatnogsFileFillsTheStoreAndSaysSo) {
    WindowHarness harness;
    // about 200 MB: 440,000 lines, each a 216-byte frame received a second after the one before
    constexpr int kLines = 440000;
    const std::string frame = HexText(NumberedBeacon(1));
    std::string text;
    text.reserve(static_cast<std::size_t>(kLines) * (frame.size() + 22));
    for (int i = 0; i < kLines; ++i) {
        char time[32];
        std::snprintf(time, sizeof time, "2021-%02d-%02d %02d:%02d:%02d|", 1 + i / 86400 / 28, 1 + i / 86400 % 28,
                      i / 3600 % 24, i / 60 % 60, i % 60);
        text.append(time).append(frame).append("\r\n");
    }
    harness.dialogs.answers.push_back(QStringList{harness.WriteFile("huge.csv", text)});
    text = std::string();
    harness.window.MnuOpenServerLog_Click();

    EXPECT_EQ(harness.state.packetCount, kStoreCapacity);
    EXPECT_EQ(harness.window.Text4->text().toStdString(),
              "The store is full at 10000 packets: " + std::to_string(kLines - kStoreCapacity) +
                  " telemetry frames were not stored");
    EXPECT_EQ(harness.state.Packet(1)->rxTime, "2021-01-06 02:13:19") << "the last line first";
    EXPECT_EQ(harness.window.Text5->document()->blockCount(), 2 + kStoreCapacity) << "the two counts, the stored frames";
}
