#include "support/live_window.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

QColor Lamp(Form1& window) { return window.Shape10->palette().color(QPalette::Window); }

}  // namespace

TEST(LiveClient, AFrameIsDecodedShownAndAppendedToTheDaysCaptureFile) {
    LiveWindow live;
    Form1& window = live.harness.window;
    live.SwitchOn();
    window.Timer1_Timer();
    EXPECT_EQ(window.Label2->text(), "Connected");
    EXPECT_EQ(Lamp(window), QColor(0, 255, 0));

    const std::string frame = KissDataFrame(NumberedBeacon(4200));
    live.SendUntilStored(Bytes(frame), 1);
    EXPECT_EQ(window.Text1[14]->text(), "4200");
    EXPECT_EQ(window.Text2->text(), "#1 / 1");
    EXPECT_EQ(window.Text4->text(), "219 bytes has been added to " + live.CaptureFile());

    const QByteArray capture = Contents(live.CaptureFile());
    ASSERT_EQ(capture.size(), 30 + 219);
    EXPECT_EQ(capture.mid(30), Bytes(frame));
    EXPECT_EQ(capture.mid(2, 27).toStdString(), live.harness.state.rxTimeText);
    EXPECT_EQ(live.harness.state.packetStore[0].rxTime.size(), 23u) << "decoded with UTC now, without \" UTC\"";
}

TEST(LiveClient, ARefusedConnectionShowsErrorUntilSwitchedOff) {
    LiveWindow live;
    live.server.server.close();  // nobody listens there now
    Form1& window = live.harness.window;
    window.Check5->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Winsock1->State() == SocketState::Error; }, 5000));
    window.Timer1_Timer();
    EXPECT_EQ(window.Label2->text(), "Error");
    EXPECT_EQ(Lamp(window), QColor(255, 0, 0));
    EXPECT_EQ(window.Text4->text(), "Connection refused") << "the reason, not only \"Error\"";

    window.Check5->click();
    EXPECT_EQ(window.Label2->text(), "Closed");
    EXPECT_EQ(Lamp(window), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_FALSE(window.Timer1->isActive());
}

TEST(LiveClient, AServerThatCloses) {
    LiveWindow live;
    live.SwitchOn();
    Form1& window = live.harness.window;
    live.server.Send(Bytes(KissDataFrame(NumberedBeacon(1)).substr(0, 100)));
    live.server.peer->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Winsock1->State() == SocketState::PeerClosing; }, 5000));
    window.Timer1_Timer();
    EXPECT_EQ(window.Label2->text(), "Peer is closing the connection");
    EXPECT_EQ(Lamp(window), QColor(255, 255, 0));
    EXPECT_EQ(live.harness.state.packetCount, 0) << "half a frame is no frame";

    // switched on again: a fresh connection, with nothing of the old one's half frame
    window.Check5->click();
    live.SwitchOn();
    live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(2))), 1);
    EXPECT_EQ(live.harness.state.packetStore[0].values[14], 2);
}

TEST(LiveClient, WithoutAServerTheStatusLineSaysWhatIsMissing) {
    WindowHarness harness(kOrca5s, "TCP_PORT = 8001\r\n");
    harness.window.Check5->click();
    EXPECT_EQ(harness.window.Winsock1->State(), SocketState::Error);
    EXPECT_EQ(harness.window.Text4->text(), "no TCP_SERVER in conf.ini");
}

TEST(LiveClient, FramesPastAFullStoreAreRecordedAndCounted) {
    LiveWindow live;
    live.harness.AddNumberedPackets(kStoreCapacity);
    live.SwitchOn();
    live.server.Send(Bytes(KissDataFrame(NumberedBeacon(1)) + KissDataFrame(NumberedBeacon(2))));
    const QString expected = "219 bytes has been added to " + live.CaptureFile() +
                             ". The store is full at 10000 packets: 2 telemetry frames were not stored";
    EXPECT_TRUE(QTest::qWaitFor([&] { return live.harness.window.Text4->text() == expected; }, 5000))
        << live.harness.window.Text4->text().toStdString();
    EXPECT_EQ(live.harness.state.packetCount, kStoreCapacity);
    EXPECT_EQ(Contents(live.CaptureFile()).size(), 2 * (30 + 219));
}
