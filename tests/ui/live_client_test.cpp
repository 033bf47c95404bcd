#include "intake/kiss_file.h"
#include "support/fake_sids_server.h"
#include "support/live_window.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
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

TEST(LiveClient, TheTableShowsThePacketThePositionNames) {
    LiveWindow live;
    Form1& window = live.harness.window;
    live.SwitchOn();
    for (int n = 1; n <= 3; ++n) live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(n))), n);
    EXPECT_EQ(window.Text2->text(), "#3 / 3") << "a bar at the newest packet follows the stream";
    EXPECT_EQ(window.Text1[14]->text(), "3");

    window.HScroll1->setValue(2);  // the user looks back
    live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(4))), 4);
    EXPECT_EQ(window.Text2->text(), "#2 / 4");
    EXPECT_EQ(window.Text1[14]->text(), "2");
    window.Option1[13]->click();  // a chart keeps the bar's packet too
    EXPECT_EQ(window.Text2->text(), "#2 / 4");
    EXPECT_EQ(window.Text1[14]->text(), "2");
}

TEST(LiveClient, AFrameArrivingDuringAnImportIsKeptOnce) {
    LiveWindow live;
    WindowHarness& harness = live.harness;
    live.SwitchOn();
    std::string capture, satnogs;
    for (int n = 1; n <= 3; ++n) capture += KissDataFrame(NumberedBeacon(n));
    for (int n = 250; n >= 1; --n) satnogs += "2021-02-06 14:00:00|" + HexText(NumberedBeacon(n)) + "\r\n";
    int sent = 500;  // a frame leaves the server while the user picks the files
    harness.dialogs.whenAsked = [&] { live.server.Send(Bytes(KissDataFrame(NumberedBeacon(++sent)))); };
    const std::tuple<void (Form1::*)(), QString, std::size_t> imports[] = {
        {&Form1::MnuOpenKISSFile_Click, harness.WriteFile("pass.kss", capture), 3},
        {&Form1::MnuOpenServerLog_Click, harness.WriteFile("pass.csv", satnogs), 250}};
    for (const auto& [command, path, packets] : imports) {
        harness.dialogs.answers.push_back(QStringList{path});
        (harness.window.*command)();
        const std::vector<double> urbi = StoredUrbi(harness.state);
        EXPECT_EQ(urbi.size(), packets + 1);
        EXPECT_EQ(std::count(urbi.begin(), urbi.end(), sent), 1);
        EXPECT_NE(urbi.back(), sent) << "taken while the import ran";
    }
    DecoderHarness readBack;
    ReadKissFile(readBack.context, live.CaptureFile());
    EXPECT_EQ(StoredUrbi(readBack.state), (std::vector<double>{501, 502})) << "each in the capture file once";
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

TEST(LiveClient, AskedToItReconnectsAndLosesNoFrame) {
    using namespace std::chrono_literals;
    LiveWindow live(kOrca5s, "RECONNECT = yes\r\n");
    Form1& window = live.harness.window;
    window.Winsock1->SetReconnect(ReconnectPolicy{Backoff(50ms, 200ms), 1s});  // the same, faster
    live.SwitchOn();
    const std::string second = KissDataFrame(NumberedBeacon(2));
    live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(1)) + second.substr(0, 90)), 1);

    // the server closes mid-frame and refuses for a while
    live.server.peer->disconnectFromHost();
    live.server.server.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Winsock1->State() == SocketState::Waiting; }, 5000));
    window.Timer1_Timer();
    EXPECT_TRUE(window.Label2->text().startsWith("Waiting ")) << window.Label2->text().toStdString();
    EXPECT_EQ(Lamp(window), QColor(255, 255, 0));
    QTest::qWait(400);  // a few refused tries

    live.server.Restart();
    live.server.Accept();
    live.SendUntilStored(Bytes(second + KissDataFrame(NumberedBeacon(3))), 3);
    EXPECT_EQ(StoredUrbi(live.harness.state), (std::vector<double>{1, 2, 3})) << "each once, in order";
    DecoderHarness readBack;
    ReadKissFile(readBack.context, live.CaptureFile());
    EXPECT_EQ(StoredUrbi(readBack.state), (std::vector<double>{1, 2, 3}));

    window.Check5->click();  // off: no more tries
    EXPECT_EQ(window.Winsock1->State(), SocketState::Closed);
}

TEST(LiveClient, ForwardsLiveFramesOnlyAndShowsHowItGoes) {
    FakeSidsServer database;
    LiveWindow live(kOrca5s, "SIDS = yes\r\nSIDS_URL = " + database.Url().toUtf8() +
                                 "\r\nCALLSIGN = N0CALL\r\nLATITUDE = 48.85\r\nLONGITUDE = -59.34\r\nNORAD_ID = 99999\r\n");
    Form1& window = live.harness.window;
    // a recording imported: never sent as new data
    std::string capture;
    AppendRxTimeFrame(capture, "2021-02-05 10:00:00.000 UTC");
    capture += KissDataFrame(NumberedBeacon(7));
    live.harness.dialogs.answers.push_back(QStringList{live.harness.WriteFile("old.kss", capture)});
    window.MnuOpenKISSFile_Click();

    live.SwitchOn();
    live.SendUntilStored(Bytes(KissDataFrame("another station's frame") + KissDataFrame(NumberedBeacon(1))), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        window.Timer1_Timer();
        return window.Label2->text() == "Connected   SiDS: 1 sent, 0 waiting, 0 rejected";
    }, 5000)) << window.Label2->text().toStdString();
    EXPECT_EQ(database.Frames(), QStringList{QString::fromStdString(HexText(NumberedBeacon(1)))});

    // the row has no room for an error: the status line and the row's tooltip show it whole
    database.script = {FakeSidsServer::Reply::BadRequest};
    live.SendUntilStored(Bytes(KissDataFrame(NumberedBeacon(2))), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Text4->text().startsWith("SiDS: rejected: "); }, 5000))
        << window.Text4->text().toStdString();
    EXPECT_TRUE(window.Label2->toolTip().endsWith(", last error: " + window.Text4->text().mid(6)))
        << window.Label2->toolTip().toStdString();

    WindowHarness misconfigured(kOrca5s, "SIDS = yes\r\nCALLSIGN = N0CALL\r\n");
    EXPECT_EQ(misconfigured.window.Text4->text(),
              "SiDS forwarding is off: LATITUDE \"\" is not in degrees from -90 to 90 in conf.ini");
}
