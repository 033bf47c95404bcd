#include "intake/capture_log.h"
#include "intake/kiss_file.h"
#include "support/recording_view.h"
#include "support/window_harness.h"
#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace {

QByteArray Bytes(std::string_view bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); }

std::string Beacon(int milliamperes) { return BeaconBuilder().u16(79, static_cast<std::uint16_t>(milliamperes)).build(); }

QColor Lamp(Form1& window) { return window.Shape10->palette().color(QPalette::Window); }

// A KISS server on this machine, and the window of a program configured to use it.
struct LiveHarness {
    explicit LiveHarness(const BuildVariant& variant = kOrca5s)
        : harness(variant, Configuration(ListeningPort())) {}

    quint16 ListeningPort() {
        server.listen(QHostAddress::LocalHost, 0);
        return server.serverPort();
    }
    static QByteArray Configuration(quint16 port) {
        return "TCP_SERVER = 127.0.0.1\r\nTCP_PORT = " + QByteArray::number(port) + "\r\n";
    }

    // Switches the client on and waits until the server has accepted it.
    void SwitchOn() {
        harness.window.Check5->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 5000));
        peer = server.nextPendingConnection();
        ASSERT_TRUE(QTest::qWaitFor([&] { return harness.window.Winsock1->State() == KissClient::Connected; }, 5000));
    }

    // Sends bytes in one write and waits until the client has had an arrival.
    void Send(const QByteArray& bytes) {
        QSignalSpy arrivals(harness.window.Winsock1, &KissClient::DataArrival);
        peer->write(bytes);
        peer->flush();
        ASSERT_TRUE(arrivals.wait(5000));
    }

    // Sends and waits until the store holds the given number of packets.
    void SendUntilStored(const QByteArray& bytes, int packetCount) {
        peer->write(bytes);
        peer->flush();
        ASSERT_TRUE(QTest::qWaitFor([&] { return harness.state.packetCount == packetCount; }, 5000))
            << harness.state.packetCount << " packets";
    }

    QString CaptureFile() const {
        return CaptureFileName(harness.folder.path(), UtcTimestampText());
    }
    QByteArray CaptureBytes() const {
        QFile file(CaptureFile());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    QTcpServer server;
    WindowHarness harness;
    QTcpSocket* peer = nullptr;
};

}  // namespace

TEST(LiveClient, AFrameIsDecodedShownAndAppendedToTheDaysCaptureFile) {
    LiveHarness live;
    Form1& window = live.harness.window;
    live.SwitchOn();
    window.Timer1_Timer();
    EXPECT_EQ(window.Label2->text(), "Connected");
    EXPECT_EQ(Lamp(window), QColor(0, 255, 0));

    const std::string frame = KissDataFrame(Beacon(4200));
    live.SendUntilStored(Bytes(frame), 1);
    EXPECT_EQ(window.Text1[14]->text(), "4200");
    EXPECT_EQ(window.Text2->text(), "#1 / 1");
    EXPECT_EQ(window.Text4->text(), "219 bytes has been added to " + live.CaptureFile());

    const QByteArray capture = live.CaptureBytes();
    ASSERT_EQ(capture.size(), 30 + 219);
    EXPECT_EQ(capture.mid(30), Bytes(frame));
    EXPECT_EQ(capture.left(2), QByteArray("\xC0\x09", 2));
    EXPECT_EQ(capture.mid(2, 27).toStdString(), live.harness.state.rxTimeText);
    EXPECT_EQ(capture.at(29), '\xC0');
    EXPECT_EQ(live.harness.state.packetStore[0].rxTime.size(), 23u) << "decoded with UTC now, without \" UTC\"";
}

TEST(LiveClient, FramesSplitAnywhereOrSharingAWriteAreAllDecodedAndLogged) {
    LiveHarness live;
    live.SwitchOn();
    const std::string frame = KissDataFrame(Beacon(1));
    int expected = 0;
    for (std::size_t cut = 1; cut < frame.size(); ++cut) {
        live.Send(Bytes(frame.substr(0, cut)));
        live.SendUntilStored(Bytes(frame.substr(cut)), ++expected);
    }
    live.SendUntilStored(Bytes(KissDataFrame(Beacon(2)) + KissDataFrame(Beacon(3)) + KissDataFrame(Beacon(4))),
                         expected + 3);

    // the capture file reads back as the same packets, each with its own time stamp
    ProgramState readBack;
    RecordingView view;
    DecoderContext context{readBack, view, kOrca5s.log};
    const KissCaptureOutcome outcome = ReadKissFile(context, live.CaptureFile());
    EXPECT_EQ(outcome.stored, live.harness.state.packetCount);
    for (int n = 1; n <= readBack.packetCount; ++n) {
        EXPECT_EQ(readBack.Packet(n)->values, live.harness.state.Packet(n)->values) << n;
        EXPECT_EQ(readBack.Packet(n)->rxTime.substr(0, 19), live.harness.state.Packet(n)->rxTime.substr(0, 19)) << n;
        EXPECT_TRUE(readBack.Packet(n)->rxTime.ends_with(" UTC"));
    }
}

TEST(LiveClient, GarbageAndAnOverlongFrameCostNoFrame) {
    LiveHarness live;
    live.SwitchOn();
    live.Send("garbage without a delimiter");
    live.Send("\xC0\x00" + QByteArray(KissStream::kMaxFrameBytes + 100, 'x'));
    live.Send("\xC0\x00short\xC0");
    EXPECT_EQ(live.harness.state.packetCount, 0);
    EXPECT_FALSE(QFile::exists(live.CaptureFile())) << "short frames are not logged";
    live.SendUntilStored(Bytes(KissDataFrame(Beacon(7))), 1);
    EXPECT_EQ(live.harness.state.packetStore[0].values[14], 7);
    EXPECT_EQ(live.CaptureBytes().size(), 30 + 219);
}

TEST(LiveClient, AFrameStillCountsWhenTheCaptureFileCannotBeWritten) {
    LiveHarness live;
    live.SwitchOn();
    QDir(live.harness.folder.path()).mkdir(QFileInfo(live.CaptureFile()).fileName());  // a folder in its place
    live.SendUntilStored(Bytes(KissDataFrame(Beacon(9))), 1);
    EXPECT_TRUE(live.harness.window.Text4->text().startsWith(live.CaptureFile() + " could not be written"))
        << live.harness.window.Text4->text().toStdString();
}

TEST(LiveClient, ARefusedConnectionShowsErrorUntilSwitchedOff) {
    LiveHarness live;
    live.server.close();  // nobody listens there now
    Form1& window = live.harness.window;
    window.Check5->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Winsock1->State() == KissClient::Error; }, 5000));
    window.Timer1_Timer();
    EXPECT_EQ(window.Label2->text(), "Error");
    EXPECT_EQ(Lamp(window), QColor(255, 0, 0));

    window.Check5->click();
    EXPECT_EQ(window.Label2->text(), "Closed");
    EXPECT_EQ(Lamp(window), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_FALSE(window.Timer1->isActive());
}

TEST(LiveClient, AServerThatCloses) {
    LiveHarness live;
    live.SwitchOn();
    Form1& window = live.harness.window;
    live.peer->write(Bytes(KissDataFrame(Beacon(1)).substr(0, 100)));
    live.peer->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Winsock1->State() == KissClient::PeerClosing; }, 5000));
    window.Timer1_Timer();
    EXPECT_EQ(window.Label2->text(), "Peer is closing the connection");
    EXPECT_EQ(Lamp(window), QColor(255, 255, 0));
    EXPECT_EQ(live.harness.state.packetCount, 0) << "half a frame is no frame";

    // switched on again: a fresh connection, with nothing of the old one's half frame
    window.Check5->click();
    live.SwitchOn();
    live.SendUntilStored(Bytes(KissDataFrame(Beacon(2))), 1);
    EXPECT_EQ(live.harness.state.packetStore[0].values[14], 2);
}

TEST(LiveClient, TheEarlierProgramLogsEachArrival) {
    LiveHarness live(kOrca5);
    live.SwitchOn();
    live.SendUntilStored(Bytes(KissDataFrame(Beacon(1))), 1);
    const QStringList lines = live.harness.window.Text5->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(" | 216 | " + QString::fromStdString(HexText(Beacon(1)))));
}

TEST(CaptureLog, OneFilePerUtcDay) {
    QTemporaryDir folder;
    EXPECT_TRUE(AppendToCaptureLog(folder.path(), "2021-02-06 23:59:59.999", "one").written);
    EXPECT_TRUE(AppendToCaptureLog(folder.path(), "2021-02-07 00:00:00.000", "two").written);
    EXPECT_TRUE(AppendToCaptureLog(folder.path(), "2021-02-07 00:00:01.000", "three").written);
    QFile first(folder.filePath("2021-02-06_orca5.kss"));
    QFile second(folder.filePath("2021-02-07_orca5.kss"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), "one");
    EXPECT_EQ(second.readAll(), "twothree");
}
