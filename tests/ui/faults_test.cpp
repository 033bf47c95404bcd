// A user's data survives servers that misbehave, files that cannot be written and files
// that are not what they claim to be.
#include "intake/capture_log.h"
#include "intake/kiss_file.h"
#include "support/recording_view.h"
#include "support/window_harness.h"
#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <cstdlib>

namespace {

QByteArray Bytes(std::string_view bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); }

QByteArray Contents(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

std::string Beacon(int n) { return BeaconBuilder().u16(79, static_cast<std::uint16_t>(n)).build(); }

// A KISS server on this machine that can go away and come back on the same port.
struct FlakyServer {
    explicit FlakyServer(WindowHarness& harness) : harness(harness) {
        server.listen(QHostAddress::LocalHost, 0);
        port = server.serverPort();
        harness.WriteConfiguration("TCP_SERVER = 127.0.0.1\r\nTCP_PORT = " + QByteArray::number(port) + "\r\n");
        EXPECT_EQ(harness.window.Form_Load(harness.folder.path()), "");
    }

    void Accept() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 5000));
        peer = server.nextPendingConnection();
        ASSERT_TRUE(QTest::qWaitFor([&] { return harness.window.Winsock1->State() == KissClient::Connected; }, 5000));
    }

    void Restart() {
        server.close();
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
    }

    void Send(const QByteArray& bytes) {
        peer->write(bytes);
        peer->flush();
    }

    WindowHarness& harness;
    QTcpServer server;
    quint16 port = 0;
    QTcpSocket* peer = nullptr;
};

// A small file system of its own, to be filled; mounting needs root, as the tests run in CI.
class TinyFileSystem {
public:
    explicit TinyFileSystem(const QString& folder) : folder_(folder) {
        mounted_ = std::system(("mount -t tmpfs -o size=64k tmpfs '" + folder.toStdString() + "' 2>/dev/null").c_str()) == 0;
    }
    ~TinyFileSystem() {
        if (mounted_) std::system(("umount '" + folder_.toStdString() + "'").c_str());
    }
    bool mounted() const { return mounted_; }

private:
    QString folder_;
    bool mounted_ = false;
};

}  // namespace

TEST(FaultsSurvived, AServerThatClosesMidFrameRestartsFloodsAndBursts) {
    WindowHarness harness(kOrca5);
    FlakyServer server(harness);
    Form1& window = harness.window;

    window.Check5->click();
    server.Accept();
    server.Send(Bytes(KissDataFrame(Beacon(1)).substr(0, 120)));
    server.peer->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Winsock1->State() == KissClient::PeerClosing; }, 5000));
    EXPECT_EQ(harness.state.packetCount, 0);

    server.Restart();
    window.Check5->click();  // off
    window.Check5->click();  // and on again
    server.Accept();

    // a megabyte without a single FEND: held no longer than one frame's bound
    const QByteArray noFend(64 * 1024, 'z');
    server.Send("\xC0\x00");
    for (int i = 0; i < 16; ++i) server.Send(noFend);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.liveStream().droppedFrames() == 1; }, 10000));
    EXPECT_LE(window.liveStream().pendingBytes(), KissStream::kMaxFrameBytes + 1);

    // ten thousand frames in one write: every one decoded and logged
    std::string burst;
    for (int n = 1; n <= kStoreCapacity; ++n) burst += KissDataFrame(Beacon(n));
    server.Send(Bytes(burst));
    ASSERT_TRUE(QTest::qWaitFor([&] { return harness.state.packetCount == kStoreCapacity; }, 60000))
        << harness.state.packetCount;
    for (const int n : {1, 5000, kStoreCapacity}) EXPECT_EQ(harness.state.Packet(n)->values[14], n);

    const QString capture = CaptureFileName(harness.folder.path(), UtcTimestampText());
    ProgramState readBack;
    RecordingView view;
    DecoderContext context{readBack, view, kOrca5.log};
    EXPECT_EQ(ReadKissFile(context, capture).stored, kStoreCapacity);
    QApplication::processEvents();
    EXPECT_EQ(window.Text5->document()->blockCount(), kStoreCapacity) << "one arrival line a frame";
}

TEST(FaultsSurvived, ACaptureFileThatCanNoLongerBeWrittenKeepsWhatItHas) {
    QTemporaryDir outside;
    WindowHarness harness;
    FlakyServer server(harness);
    harness.window.Check5->click();
    server.Accept();
    server.Send(Bytes(KissDataFrame(Beacon(1))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return harness.state.packetCount == 1; }, 5000));
    const QString capture = CaptureFileName(harness.folder.path(), UtcTimestampText());
    const QByteArray written = Contents(capture);
    ASSERT_EQ(written.size(), 30 + 219);

    // the program's folder goes away under it, the capture file with it
    const QString moved = QDir(outside.path()).filePath("moved");
    ASSERT_TRUE(QDir().rename(harness.folder.path(), moved));
    server.Send(Bytes(KissDataFrame(Beacon(2))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return harness.state.packetCount == 2; }, 5000));
    EXPECT_TRUE(harness.window.Text4->text().startsWith(capture + " could not be written"));
    EXPECT_EQ(harness.window.Text1[14]->text(), "1") << "the chart shows packet 1";
    EXPECT_EQ(harness.state.Packet(2)->values[14], 2);
    EXPECT_EQ(Contents(QDir(moved).filePath(QFileInfo(capture).fileName())), written);
    QDir().rename(moved, harness.folder.path());
}

TEST(FaultsSurvived, ExportsThatCannotBeWrittenLeaveTheOldFiles) {
    WindowHarness harness;
    harness.AddNumberedPackets(3);

    harness.state.currentFileName = "/proc/pass.kss";  // a file system that takes no new files
    harness.window.WriteCSVFile_Click();
    EXPECT_TRUE(harness.window.Text4->text().startsWith("/proc/pass.csv could not be written: "));

    // a file open elsewhere: its reader keeps what it opened, the export is whole
    const QString path = harness.WriteFile("pass.csv", "old export");
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    harness.state.currentFileName = harness.folder.filePath("pass.kss");
    harness.window.WriteCSVFile_Click();
    EXPECT_EQ(harness.window.Text4->text(), path + " has been written");
    EXPECT_EQ(reader.readAll(), "old export");
    EXPECT_EQ(Contents(path).count('\n'), 4);
}

TEST(FaultsSurvived, AnExportIntoAFullFolderLeavesTheOldFile) {
    QTemporaryDir mountPoint;
    const TinyFileSystem full(mountPoint.path());
    if (!full.mounted()) GTEST_SKIP() << "no tmpfs could be mounted here";

    WindowHarness harness;
    harness.AddNumberedPackets(200);
    const QString old = QDir(mountPoint.path()).filePath("pass.csv");
    {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old export");
        QFile filler(QDir(mountPoint.path()).filePath("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        filler.write(QByteArray(40 * 1024, 'f'));
    }
    harness.state.currentFileName = QDir(mountPoint.path()).filePath("pass.kss");
    harness.window.WriteCSVFile_Click();
    EXPECT_TRUE(harness.window.Text4->text().startsWith(old + " could not be written: "))
        << harness.window.Text4->text().toStdString();
    EXPECT_EQ(Contents(old), "old export");
    EXPECT_EQ(QDir(mountPoint.path()).entryList(QDir::Files).size(), 2) << "no half-written file left behind";
}

TEST(FaultsSurvived, TruncatedAndBinaryFilesImportWithoutHarm) {
    WindowHarness harness;
    std::string capture;
    for (int n = 1; n <= 5; ++n) {
        AppendRxTimeFrame(capture, "2021-02-06 14:00:00.000 UTC");
        capture += KissDataFrame(Beacon(n));
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

TEST(FaultsSurvived, AVeryLargeSatnogsFileFillsTheStoreAndSaysSo) {
    WindowHarness harness;
    // about 200 MB: 440,000 lines, each a 216-byte frame received a second after the one before
    constexpr int kLines = 440000;
    const std::string frame = HexText(Beacon(1));
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
