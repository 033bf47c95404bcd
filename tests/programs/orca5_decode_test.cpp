// orca5-decode as a user runs it: a process with files, standard input and exit codes.
#include "intake/kiss_file.h"
#include "support/decode_process.h"
#include "support/small_disk.h"
#include "support/recording_view.h"
#include "support/window_harness.h"
#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Capture(int count) {
    std::string capture;
    for (int n = 1; n <= count; ++n) {
        AppendRxTimeFrame(capture, "2021-02-06 14:00:00." + std::to_string(100 + n % 900) + " UTC");
        capture += KissDataFrame(BeaconBuilder().u16(79, static_cast<std::uint16_t>(n)).u16(85, 3000 + n % 1000).s8(87, -3).build());
    }
    return capture;
}

// What "Write CSV File" writes after the window imported the file through the given command.
QByteArray WindowCsv(WindowHarness& harness, const QString& path, void (Form1::*import)()) {
    harness.dialogs.answers.push_back(QStringList{path});
    (harness.window.*import)();
    harness.window.WriteCSVFile_Click();
    return Contents(harness.window.Text4->text().section(" has been written", 0, 0));
}

}  // namespace

TEST(DecodeProgram, WritesTheWindowsCsvOfACaptureAndOfASatnogsExport) {
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    WindowHarness harness;
    const QString capture = harness.WriteFile("pass.kss", Capture(50));
    std::string satnogs = "timestamp|frame\r\n";
    for (int n = 1; n <= 40; ++n) {
        satnogs += "2021-02-06 14:00:" + std::to_string(10 + n) + "|" + HexText(NumberedBeacon(n)) + "\r\n";
        if (n % 7 == 0) satnogs += satnogs.substr(satnogs.rfind("2021"));  // a repeat
    }
    const QString exported = harness.WriteFile("frames.txt", satnogs);

    EXPECT_EQ(Decode({capture}).out, WindowCsv(harness, capture, &Form1::MnuOpenKISSFile_Click));
    EXPECT_EQ(Decode({exported}).out, WindowCsv(harness, exported, &Form1::MnuOpenServerLog_Click));
    QLocale::setDefault(saved);
}

TEST(DecodeProgram, ReadsStandardInputPastTheWindowsLimit) {
    const Finished run = Decode({"--jsonl", "-"}, Bytes(Capture(25000)));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.count('\n'), 25000);
    EXPECT_TRUE(run.out.endsWith("}\n"));
    EXPECT_TRUE(run.err.contains("1 files, 25000 packets")) << run.err.toStdString();
    EXPECT_TRUE(Decode({"--quiet", "-"}, Bytes(Capture(1))).err.isEmpty()) << "quiet, and no progress off a terminal";
}

TEST(DecodeProgram, AMissingFileIsNamedAndTheOthersDecoded) {
    QTemporaryDir folder;
    const QString first = WriteBytes(folder.filePath("a.kss"), Capture(3));
    const QString last = WriteBytes(folder.filePath("c.kss"), Capture(2));
    const QString output = folder.filePath("all.csv");
    const Finished run = Decode({"-o", output, first, folder.filePath("b.kss"), last});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(folder.filePath("b.kss").toUtf8() + ": ")) << run.err.toStdString();
    EXPECT_EQ(Contents(output).count('\n'), 1 + 3 + 2);
}

TEST(DecodeProgram, UsageErrorsAndAnOutputThatIsAnInput) {
    QTemporaryDir folder;
    const QString input = WriteBytes(folder.filePath("a.kss"), Capture(1));
    EXPECT_EQ(Decode({}).exitCode, 2);
    EXPECT_EQ(Decode({"--bogus", input}).exitCode, 2);
    EXPECT_EQ(Decode({"--format", "wav", input}).exitCode, 2);
    EXPECT_EQ(Decode({"-o", input, input}).exitCode, 2);
    EXPECT_EQ(Contents(input).toStdString(), Capture(1)) << "never written over";
    const Finished help = Decode({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("Examples:"));
    EXPECT_TRUE(help.out.contains("decimal separator instead of \".\"; time\n                         stamps stay as"))
        << "--locale changes the numbers, not the dates";
    EXPECT_TRUE(Decode({"--version"}).out.startsWith("orca5-decode 0.6"));
}

TEST(DecodeProgram, ABrokenFileIsSkippedNotFatal) {
    QTemporaryDir folder;
    QByteArray noise(1 << 20, '\0');
    QRandomGenerator random(11);
    random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const QString binary = WriteBytes(folder.filePath("noise.bin"), noise.toStdString());
    const QString truncated = WriteBytes(folder.filePath("cut.kss"), Capture(4).substr(0, 700));
    const Finished run = Decode({binary, truncated});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("2 files, ")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(" 0 skipped")) << "the noise's pieces are counted";
}

TEST(DecodeProgram, NoFileItWritesIsAnInputAndNoneIsLeftEmpty) {
    QTemporaryDir folder;
    const QString first = WriteBytes(folder.filePath("2021-02-06_orca5.kss"), Capture(3));
    const QString second = WriteBytes(folder.filePath("2021-02-07_orca5.kss"), Capture(2));
    ASSERT_TRUE(QFile::link(first, folder.filePath("link.kss")));
    for (const QStringList& arguments : {QStringList{"--text-beacons-file", first, second},
                                         QStringList{"-o", folder.filePath("link.kss"), first},
                                         QStringList{"-o", folder.path() + "/../" + QDir(folder.path()).dirName() + "/2021-02-07_orca5.kss", second}}) {
        const Finished run = Decode(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(" is an input") || run.err.contains(" is a capture file")) << run.err.toStdString();
    }
    EXPECT_EQ(Contents(first).toStdString(), Capture(3));
    EXPECT_EQ(Contents(second).toStdString(), Capture(2));

    SmallDisk disk;
    disk.Fill();
    for (const int packets : {1, 11, 20000}) {  // a few hundred bytes, a few KB, several MB
        const std::string textBeacon = KissDataFrame(BytesFromHex(SatelliteHeaderHex) + ">ORCA-5 de NOSAT");
        const QString input = WriteBytes(folder.filePath("pass.kss"), Capture(packets) + textBeacon);
        for (const char* option : {"-o", "--text-beacons-file"}) {
            const Finished run = Decode({option, disk.FilePath("out.txt"), input});
            EXPECT_EQ(run.exitCode, 1) << option << " " << packets;
            EXPECT_TRUE(run.err.contains(disk.FilePath("out.txt").toUtf8() + ": No space left on device")) << run.err.toStdString();
        }
    }
    EXPECT_EQ(disk.Files(), QStringList{});
}

TEST(DecodeProgram, NamesAsTheSystemHasThemAndDashAsStandardOutput) {
    QTemporaryDir folder;
    const QByteArray name = QFile::encodeName(folder.path()) + "/x\xff\xfe.kss";
    QFile raw;
    const int descriptor = ::open(name.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_TRUE(raw.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
    raw.write(Bytes(Capture(2)));
    raw.close();
    const std::string command = "'" ORCA5_DECODE_PATH "' -q \"$(printf '" + folder.path().toStdString() +
                                "/x\\377\\376.kss')\" > '" + folder.filePath("rows.csv").toStdString() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(Contents(folder.filePath("rows.csv")).count('\n'), 1 + 2);
    ::unlink(name.constData());  // a name QTemporaryDir could not name either

    const Finished dash = Decode({"-o", "-", "-"}, Bytes(Capture(2)), folder.path());
    EXPECT_EQ(dash.out.count('\n'), 1 + 2);
    EXPECT_FALSE(QFile::exists(folder.filePath("-")));

    // a pipe (or /dev/null) is written as it is: a file renamed over it would take its place
    const QByteArray fifo = QFile::encodeName(folder.filePath("pipe"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    EXPECT_EQ(Decode({"-o", folder.filePath("pipe"), "-"}, Bytes(Capture(2))).exitCode, 0);
    char piped[4096];
    const ssize_t length = ::read(reader, piped, sizeof piped);
    EXPECT_EQ(std::string_view(piped, static_cast<std::size_t>(std::max<ssize_t>(0, length))).substr(0, 5), "time;");
    ::close(reader);
    struct stat status {};
    EXPECT_TRUE(::stat(fifo.constData(), &status) == 0 && S_ISFIFO(status.st_mode));

    const Finished noPort = Decode({"--live", "127.0.0.1"});
    EXPECT_EQ(noPort.exitCode, 2);
    EXPECT_EQ(noPort.out, "") << "no heading, no summary";
    EXPECT_TRUE(noPort.err.contains("HOST:PORT"));
}

TEST(DemoCapture, RisingUtcTimesAndAUsage) {
    QTemporaryDir folder;
    ASSERT_EQ(QProcess::execute(ORCA5_DEMO_CAPTURE_PATH, {folder.filePath("demo.kss"), "3000"}), 0);
    DecoderHarness harness;
    ReadKissFile(harness.context, folder.filePath("demo.kss"));
    ASSERT_EQ(harness.state.packetCount, 3000);
    QDateTime before;
    for (int n = 1; n <= harness.state.packetCount; ++n) {
        const QString text = QString::fromStdString(harness.state.Packet(n)->rxTime);
        const QDateTime at = QDateTime::fromString(text.chopped(4), "yyyy-MM-dd HH:mm:ss.zzz");
        ASSERT_TRUE(at.isValid() && at > before) << n << ": " << text.toStdString();
        before = at;
    }
    QProcess help;
    help.setWorkingDirectory(folder.path());
    help.start(ORCA5_DEMO_CAPTURE_PATH, {"--help"});
    ASSERT_TRUE(help.waitForFinished());
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().startsWith("usage: "));
    EXPECT_FALSE(QFile::exists(folder.filePath("--help")));
}
