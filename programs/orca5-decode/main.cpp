// orca5-decode: capture files and SatNOGS exports to CSV or JSON lines, without a window and
// without the window's 10000-packet store.
#include "archive/batch_decode.h"
#include "live_recorder.h"
#include "programs/log_styles.h"
#include "telemetry/value_text.h"
#include "telemetry/version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

constexpr char kProgram[] = "orca5-decode";

constexpr char kHelp[] = R"(Usage: orca5-decode [options] FILE...
       orca5-decode [options] --live HOST:PORT

Decodes ORCA-5 telemetry from KISS capture files (.kss) and SatNOGS frame exports and writes
one row per telemetry packet. FILE "-" is standard input. Each file's format is recognised
from its content: a capture file has FEND bytes, a SatNOGS export is lines of date, "|" and
hexadecimal. Lines and frames that are not telemetry are skipped and counted.

Options:
  -o, --output FILE      write to FILE (a new file renamed into place at the end, never
                         over an input) instead of standard output
  --csv                  semicolon-separated, as "Write CSV File" writes it (the default)
  --jsonl                one JSON object per line: rx_time, obc_time, source, frame and
                         every channel by its name
  --locale               numbers with your locale's decimal separator, and time stamps in
                         its date format, instead of "." and ISO 8601 dates
  --format kiss|satnogs  read every FILE in this format
  --text-beacons         also write the satellite's text beacons to standard error
  --text-beacons-file F  ... or to the file F
  -q, --quiet            no progress line and no summary on standard error

A station without a display:
  --live HOST:PORT       record the frames of a KISS server instead of reading files: each
                         goes into the daily capture file (yyyy-MM-dd_orca5.kss, as the window
                         writes it) and each packet to the output at once; the connection is
                         made again whenever it drops; SIGINT or SIGTERM end it
  --capture-dir DIR      the folder of the capture files (and the SiDS outbox); default: here
  --conf FILE            conf.ini keys for forwarding to a SatNOGS database (SIDS, SIDS_URL,
                         CALLSIGN, LATITUDE, LONGITUDE, NORAD_ID)
  -h, --help             this help
  --version              the program's name and the library's version

Exit status: 0 done (also when lines or frames were skipped), 1 an input could not be read or
the output not written (the other inputs are still read), 2 a usage error.

Examples:
  orca5-decode -o year.csv 2021-*_orca5.kss
  orca5-decode --jsonl satnogs-export.csv > packets.jsonl
  orca5-decode --jsonl - < pass.kss | jq '."Battery 1 Volt"'
  orca5-decode --live 127.0.0.1:8001 --capture-dir /var/lib/orca5 --conf station.ini
)";

void Print(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

int UsageError(const QString& message) {
    Print(stderr, QStringLiteral("%1: %2\nTry \"%1 --help\".\n").arg(kProgram, message));
    return 2;
}

// Where the rows go: standard output, or a file that replaces its old self only when whole.
class Output {
public:
    bool Open(const QString& path) {
        if (path.isEmpty()) return true;
        file_.emplace(path);
        return file_->open(QIODevice::WriteOnly);
    }
    // Pushed on at once when a pipe is to see it as it comes.
    void Write(std::string_view bytes, bool push) {
        const auto size = static_cast<qint64>(bytes.size());
        if (!file_) {
            written_ = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && written_;
            if (push) std::fflush(stdout);
        } else if (file_->write(bytes.data(), size) != size) {
            written_ = false;
        }
    }
    // Why the output is not whole, or nothing.
    QString Close() {
        if (!file_) return std::fflush(stdout) == 0 && written_ ? QString() : QStringLiteral("standard output: write error");
        if (written_ && file_->commit()) return {};
        file_->cancelWriting();
        return file_->fileName() + ": " + file_->errorString();
    }
    QString error() const { return file_ ? file_->errorString() : QString(); }

private:
    std::optional<QSaveFile> file_;
    bool written_ = true;
};

// "12.5 MB read (40%)", a few times a second, on a terminal only.
class Progress {
public:
    Progress(bool shown, qint64 total) : shown_(shown), total_(total) { clock_.start(); }
    void Show(qint64 done) {
        if (!shown_ || clock_.elapsed() < 250) return;
        clock_.restart();
        std::fprintf(stderr, "\r%.1f MB read", static_cast<double>(done) / 1e6);
        if (total_ > 0) std::fprintf(stderr, " (%lld%%)", static_cast<long long>(std::min<qint64>(100, 100 * done / total_)));
        std::fflush(stderr);
    }
    void Clear() {
        if (shown_) std::fputs("\r\033[K", stderr);
    }

private:
    bool shown_;
    qint64 total_;
    QElapsedTimer clock_;
};

// Writes out the rest and the summary; 1 when the output is not whole.
int Finish(Output& output, BatchDecoder& decoder, bool quiet, const QElapsedTimer& clock) {
    decoder.Flush();
    int status = 0;
    if (const QString error = output.Close(); !error.isEmpty()) {
        Print(stderr, QStringLiteral("%1: %2\n").arg(kProgram, error));
        status = 1;
    }
    if (!quiet) {
        const std::string summary = SummaryText(decoder.totals(), static_cast<double>(clock.elapsed()) / 1000);
        Print(stderr, QStringLiteral("%1: %2\n").arg(kProgram, QString::fromStdString(summary)));
    }
    return status;
}

bool IsOneOf(const QString& path, const QStringList& inputs) {
    const QString output = QFileInfo(path).canonicalFilePath();
    if (output.isEmpty()) return false;
    for (const QString& input : inputs)
        if (input != "-" && QFileInfo(input).canonicalFilePath() == output) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({
        {{"o", "output"}, "", "FILE"},
        {"csv", ""},
        {"jsonl", ""},
        {"locale", ""},
        {"format", "", "FORMAT"},
        {"text-beacons", ""},
        {"text-beacons-file", "", "FILE"},
        {{"q", "quiet"}, ""},
        {{"h", "help"}, ""},
        {"version", ""},
        {"live", "", "HOST:PORT"},
        {"capture-dir", "", "DIR"},
        {"conf", "", "FILE"},
    });
    if (!parser.parse(application.arguments())) return UsageError(parser.errorText());
    if (parser.isSet("help")) return Print(stdout, kHelp), 0;
    if (parser.isSet("version")) return Print(stdout, QStringLiteral("%1 %2\n").arg(kProgram, kLibraryVersion)), 0;

    const QStringList inputs = parser.positionalArguments();
    const bool live = parser.isSet("live");
    if (live && !inputs.isEmpty()) return UsageError("--live reads a server, not files");
    if (live && parser.isSet("output")) return UsageError("--live writes to standard output, as each packet comes");
    if (!live && inputs.isEmpty()) return UsageError("no FILE given");
    std::optional<Configuration> configuration = Configuration();
    if (parser.isSet("conf")) {
        const ConfigurationResult read = ReadConfigurationFile(parser.value("conf"), QDir::currentPath());
        if (!read.configuration) return UsageError(read.error);
        configuration = read.configuration;
    }
    if (parser.isSet("csv") && parser.isSet("jsonl")) return UsageError("--csv and --jsonl exclude each other");
    InputFormat format = InputFormat::Detect;
    if (parser.isSet("format")) {
        const QString name = parser.value("format");
        if (name != "kiss" && name != "satnogs") return UsageError("--format is kiss or satnogs, not \"" + name + "\"");
        format = name == "kiss" ? InputFormat::Kiss : InputFormat::Satnogs;
    }
    const QString outputPath = parser.value("output");
    if (IsOneOf(outputPath, inputs)) return UsageError(outputPath + " is an input: it is never written over");

    // millisecond time stamps are written in the default locale's date form: ISO 8601's
    // order is Swedish's, unless the user asks for their own
    const QLocale locale = parser.isSet("locale") ? QLocale::system() : QLocale(QLocale::Swedish, QLocale::Sweden);
    QLocale::setDefault(locale);
    const char decimalSeparator = parser.isSet("locale") ? DecimalSeparator(locale) : '.';

    Output output;
    if (!output.Open(outputPath)) return Print(stderr, QStringLiteral("%1: %2: %3\n").arg(kProgram, outputPath, output.error())), 1;
    QFile beaconFile(parser.value("text-beacons-file"));
    if (parser.isSet("text-beacons-file") && !beaconFile.open(QIODevice::WriteOnly))
        return Print(stderr, QStringLiteral("%1: %2: %3\n").arg(kProgram, beaconFile.fileName(), beaconFile.errorString())), 1;

    const bool quiet = parser.isSet("quiet");
    qint64 total = 0;
    for (const QString& input : inputs) total += input == "-" ? 0 : QFileInfo(input).size();
    Progress progress(!quiet && isatty(STDERR_FILENO), total);
    qint64 done = 0;

    BatchDecoder::Sinks sinks{.rows = [&](std::string_view rows) { output.Write(rows, live); },
                              .textBeacons = {},
                              .progress = [&](qint64 bytes) { progress.Show(done + bytes); }};
    if (beaconFile.isOpen())
        sinks.textBeacons = [&](std::string_view line) { beaconFile.write(line.data(), static_cast<qint64>(line.size())); };
    else if (parser.isSet("text-beacons"))
        sinks.textBeacons = [](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); };
    BatchDecoder decoder(parser.isSet("jsonl") ? RowFormat::JsonLines : RowFormat::Csv, decimalSeparator, kDecodeLog,
                         std::move(sinks));

    QElapsedTimer clock;
    clock.start();
    if (live) {
        const QString captureFolder = parser.isSet("capture-dir") ? parser.value("capture-dir") : QDir::currentPath();
        if (!QDir().mkpath(captureFolder)) return Print(stderr, QStringLiteral("%1: %2 cannot be made\n").arg(kProgram, captureFolder)), 1;
        const int code = RunLiveRecorder(decoder, parser.value("live"), captureFolder, *configuration,
                                         QStringLiteral("%1 %2").arg(kProgram, kLibraryVersion));
        return std::max(code, Finish(output, decoder, quiet, clock));
    }
    int status = 0;
    for (const QString& input : inputs) {
        if (const QString error = decoder.Decode(input, format); !error.isEmpty()) {
            progress.Clear();
            Print(stderr, QStringLiteral("%1: %2: %3\n").arg(kProgram, input, error));
            status = 1;
        }
        done += input == "-" ? 0 : QFileInfo(input).size();
    }
    progress.Clear();
    return std::max(status, Finish(output, decoder, quiet, clock));
}
