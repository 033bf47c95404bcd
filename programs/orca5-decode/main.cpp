// orca5-decode: capture files and SatNOGS exports to CSV or JSON lines, without a window and
// without the window's 10000-packet store.
#include "archive/archive_feed.h"
#include "batch/batch_decode.h"
#include "archive/archive_location.h"
#include "batch/archive_rows.h"
#include "archive/postgres/postgres_archive.h"
#include "archive/sqlite/sqlite_archive.h"
#include "intake/kiss.h"
#include "intake/whole_file.h"
#include "live_recorder.h"
#include "programs/log_styles.h"
#include "telemetry/value_text.h"
#include "telemetry/version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <variant>
#include <sys/stat.h>
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
  -o, --output FILE      write to FILE instead of standard output ("-"): a new file
                         renamed into place once every byte is on disk, never over an
                         input or a capture file
  --csv                  semicolon-separated, as "Write CSV File" writes it (the default)
  --jsonl                one JSON object per line: rx_time, obc_time, source, frame and
                         every channel by its name
  --influx               InfluxDB's line protocol: measurement orca5, tags station and
                         source (the file's name), every channel as a field named as the
                         archive's column, the place in the file as the field place, the
                         reception time in nanoseconds (a packet without one is skipped)
  --locale               numbers with your locale's decimal separator instead of "."; time
                         stamps stay as the capture file wrote them (only a time stamp in
                         milliseconds, which has no text, takes the locale's date form)
  --format kiss|satnogs  read every FILE in this format
  --text-beacons         also write the satellite's text beacons to standard error
  --text-beacons-file F  ... or to the file F, written as the output is
  -q, --quiet            no progress line and no summary on standard error

A station without a display:
  --live HOST:PORT       record the frames of a KISS server instead of reading files: each
                         goes into the daily capture file (yyyy-MM-dd_orca5.kss, as the window
                         writes it) and each packet to the output at once; the connection is
                         made again whenever it drops; SIGINT or SIGTERM end it
  --capture-dir DIR      the folder of the capture files (and the SiDS outbox); default: here
  --conf FILE            conf.ini keys for forwarding to a SatNOGS database (SIDS, SIDS_URL,
                         CALLSIGN, LATITUDE, LONGITUDE, NORAD_ID)
The mission archive (an SQLite file, made when missing, or postgresql://USER@HOST:PORT/DB):
  --archive DB           with FILEs or --live: keep every frame of the satellite in DB, each
                         transmission once with all its receptions (no rows are written for
                         FILEs); alone: write the archived packets as rows, oldest first
  --station CALL         the receiving station of the frames kept and of --influx rows
                         (default: CALLSIGN of --conf)
  --from T, --to T       only packets from T (inclusive) to T (exclusive), UTC:
                         2021-02-06, "2021-02-06 14:00:00" or 2021-02-06T14:00:00.123Z
  --channels LIST        only these channels, in this order ("Battery 1 Volt,Urbv")
  --text-beacons         with --archive alone: the archived text beacons instead of packets
  --rebuild              decode the archive's packet table anew from its raw frames
  --migrate              make or migrate a PostgreSQL archive's schema, as its owner; alone,
                         nothing else is done (an SQLite archive migrates itself)

  -h, --help             this help
  --version              the program's name and the library's version

Exit status: 0 done (also when lines or frames were skipped), 1 an input could not be read or
the output or the archive not written (the other inputs are still read), 2 a usage error.

Examples:
  orca5-decode -o year.csv 2021-*_orca5.kss
  orca5-decode --jsonl satnogs-export.csv > packets.jsonl
  orca5-decode --jsonl - < pass.kss | jq '."Battery 1 Volt"'
  orca5-decode --influx --station N0CALL 2021-*.kss | split -l 5000 --filter \
      "curl --fail --data-binary @- 'http://127.0.0.1:8086/write?db=orca5&precision=ns'"
  orca5-decode --live 127.0.0.1:8001 --capture-dir /var/lib/orca5 --conf station.ini
  orca5-decode --archive mission.sqlite 2021-*_orca5.kss satnogs-export.csv
  orca5-decode --archive mission.sqlite --from 2021-02-01 --channels "Battery 1 Volt" -o b1.csv
)";

void Print(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

int UsageError(const QString& message) {
    Print(stderr, QStringLiteral("%1: %2\nTry \"%1 --help\".\n").arg(kProgram, message));
    return 2;
}

int Failure(const QString& message) {
    Print(stderr, QStringLiteral("%1: %2\n").arg(kProgram, message));
    return 1;
}

// Where rows or text beacons go: a standard stream, or a file that replaces its old self only
// when every byte is on disk.
class Output {
public:
    explicit Output(std::FILE* stream) : stream_(stream) {}
    // None or "-" is the stream. Why the file cannot be written, or nothing.
    QString Open(const QString& path) {
        if (path.isEmpty() || path == "-") return {};
        file_.emplace(path);
        path_ = path;
        const QString error = file_->Open();
        return error.isEmpty() ? error : path + ": " + error;
    }
    // Pushed on at once when a pipe is to see it as it comes.
    void Write(std::string_view bytes, bool push) {
        if (file_) return file_->Write(bytes);
        written_ = std::fwrite(bytes.data(), 1, bytes.size(), stream_) == bytes.size() && written_;
        if (push) std::fflush(stream_);
    }
    // Why the output is not whole, or nothing.
    QString Close() {
        if (!file_) return std::fflush(stream_) == 0 && written_ ? QString() : QStringLiteral("standard output: write error");
        const QString error = file_->Commit();
        return error.isEmpty() ? error : path_ + ": " + error;
    }

private:
    std::FILE* stream_;
    std::optional<FileReplacement> file_;
    QString path_;
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

// The inputs as the system gave them: the parser has them as text, and a name that is not
// UTF-8 is another name as text. Each is the next argument that reads as its text.
QList<QByteArray> InputNames(const QStringList& positional, int argc, char** argv) {
    QList<QByteArray> names;
    int next = 1;
    for (const QString& text : positional) {
        while (next < argc && QString::fromLocal8Bit(argv[next]) != text) ++next;
        names.append(next < argc ? QByteArray(argv[next++]) : QFile::encodeName(text));
    }
    return names;
}

qint64 SizeOf(const QByteArray& name) {
    struct stat status {};
    return name != "-" && ::stat(name.constData(), &status) == 0 ? static_cast<qint64>(status.st_size) : 0;
}

// The file a name (or "-", standard input) reaches, by whatever name or link.
std::optional<std::pair<dev_t, ino_t>> FileOf(const QByteArray& name) {
    struct stat status {};
    if (name == "-" ? ::fstat(STDIN_FILENO, &status) != 0 || !S_ISREG(status.st_mode) : ::stat(name.constData(), &status) != 0)
        return std::nullopt;
    return std::pair(status.st_dev, status.st_ino);
}

// True when the two name one file: the same file on disk, or the same path for one not made yet.
bool SameFile(const QString& a, const QString& b) {
    const auto file = FileOf(QFile::encodeName(a));
    return file ? file == FileOf(QFile::encodeName(b)) : QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// True when the path names one of the inputs, standard input that is a file among them.
bool IsAnInput(const QString& path, const QList<QByteArray>& inputs) {
    const auto output = path.isEmpty() || path == "-" ? std::nullopt : FileOf(QFile::encodeName(path));
    return output && std::any_of(inputs.begin(), inputs.end(), [&](const QByteArray& name) { return FileOf(name) == output; });
}

// True when the path names an SQLite archive or a file SQLite keeps beside it.
bool IsTheArchive(const QString& path, const QString& archive) {
    if (path.isEmpty() || path == "-" || archive.isEmpty() || IsPostgresUrl(archive)) return false;
    return std::any_of(std::begin(kSqliteCompanions), std::end(kSqliteCompanions),
                       [&](const char* suffix) { return SameFile(path, archive + suffix); });
}

// A file with FEND bytes at its start holds frames: no output of ours has them. (A pipe or a
// device is no such file, and reading one would wait for a writer.)
bool IsCapture(const QString& path) {
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) && file.read(1 << 16).contains(kFend);
}

// --archive without FILEs or --live: packets out of the archive.
WriterRole RoleOf(const QCommandLineParser& parser) {
    return parser.isSet("migrate") ? WriterRole::Owner : WriterRole::Station;
}

bool IsArchiveQuery(const QCommandLineParser& parser, const QList<QByteArray>& inputs) {
    return parser.isSet("archive") && inputs.isEmpty() && !parser.isSet("live");
}

// The first thing wrong with how the program was called, or nothing.
QString UsageProblem(const QCommandLineParser& parser, const QList<QByteArray>& inputs) {
    const bool live = parser.isSet("live");
    const bool query = IsArchiveQuery(parser, inputs);
    if (live && !inputs.isEmpty()) return "--live reads a server, not files";
    if (live && parser.isSet("output")) return "--live writes to standard output, as each packet comes";
    if (live && !ParseLiveServer(parser.value("live"))) return "--live takes HOST:PORT, not " + parser.value("live");
    if (!live && inputs.isEmpty() && !query) return "no FILE given";
    if (parser.isSet("archive") && !inputs.isEmpty() && parser.isSet("output"))
        return "--archive with FILEs keeps them in the archive and writes no rows";
    if (parser.isSet("migrate") && !parser.isSet("archive")) return "--migrate goes with --archive";
    for (const char* option : {"from", "to", "channels", "rebuild"})
        if (parser.isSet(option) && !query) return QStringLiteral("--%1 goes with --archive alone").arg(option);
    if (int(parser.isSet("csv")) + int(parser.isSet("jsonl")) + int(parser.isSet("influx")) > 1)
        return "--csv, --jsonl and --influx exclude each other";
    const QString format = parser.value("format");
    if (parser.isSet("format") && format != "kiss" && format != "satnogs")
        return "--format is kiss or satnogs, not \"" + format + "\"";
    const QString rows = parser.value("output"), beacons = parser.value("text-beacons-file");
    if (!rows.isEmpty() && rows != "-" && !beacons.isEmpty() && SameFile(rows, beacons))
        return "--output and --text-beacons-file name one file, " + rows;
    for (const QString& path : {rows, beacons}) {
        if (IsAnInput(path, inputs)) return path + " is an input: it is never written over";
        if (IsTheArchive(path, parser.value("archive"))) return path + " is the archive: it is never written over";
        // "--text-beacons-file *.kss" takes the first capture for the beacon file
        if (IsCapture(path)) return path + " is a capture file: it is never written over";
    }
    return {};
}

InputFormat FormatOf(const QCommandLineParser& parser) {
    if (!parser.isSet("format")) return InputFormat::Detect;
    return parser.value("format") == "kiss" ? InputFormat::Kiss : InputFormat::Satnogs;
}

// Writes out the rest and the summary; 1 when an output is not whole.
int Finish(std::initializer_list<Output*> outputs, BatchDecoder& decoder, bool quiet, const QElapsedTimer& clock) {
    decoder.Flush();
    int status = 0;
    for (Output* output : outputs)
        if (const QString error = output->Close(); !error.isEmpty()) status = Failure(error);
    if (!quiet) {
        const std::string summary = SummaryText(decoder.totals(), static_cast<double>(clock.elapsed()) / 1000);
        Print(stderr, QStringLiteral("%1: %2\n").arg(kProgram, QString::fromStdString(summary)));
    }
    return status;
}

// --archive alone: the archive's packets (or text beacons) as rows, or its packet table decoded anew.
int QueryArchive(const QCommandLineParser& parser, RowFormat format, char decimalSeparator, Output& output) {
    const auto given = [&](const char* option) { return parser.isSet(option) ? std::optional(parser.value(option)) : std::nullopt; };
    const auto query = ReadArchiveQuery(given("from"), given("to"), given("channels"));
    if (const auto* problem = std::get_if<QString>(&query)) return UsageError(*problem);
    const bool rebuild = parser.isSet("rebuild");
    const QString path = parser.value("archive");
    QString error;
    std::unique_ptr<ArchiveReader> archive;
    if (rebuild || parser.isSet("migrate")) {
        std::unique_ptr<ArchiveWriter> writer = OpenArchiveWriter(path, RoleOf(parser), error);
        if (!writer) return Failure(error);
        if (!rebuild) return output.Close().isEmpty() ? 0 : 1;  // made or brought up to date: done
        error = writer->Rebuild();
        archive = std::move(writer);
    } else {
        if (archive = OpenArchiveReader(path, error); !archive) return Failure(error);
        const auto write = [&](std::string_view rows) { output.Write(rows, false); };
        if (parser.isSet("text-beacons"))
            error = WriteArchivedTextBeacons(*archive, std::get<ArchiveQuery>(query), kDecodeLog, write);
        else
            error = WriteArchivedPackets(*archive, std::get<ArchiveQuery>(query), format, decimalSeparator, write);
    }
    int status = error.isEmpty() ? 0 : Failure(archive->name() + ": " + error);
    if (const QString closed = output.Close(); !closed.isEmpty()) status = Failure(closed);
    return status;
}

// Reads every input in turn; 1 when one could not be read, the others read all the same.
int DecodeFiles(BatchDecoder& decoder, const QList<QByteArray>& inputs, InputFormat format, qint64& done,
                Progress& progress) {
    int status = 0;
    for (const QByteArray& input : inputs) {
        if (const QString error = decoder.Decode(input, format); !error.isEmpty()) {
            progress.Clear();
            status = Failure(QFile::decodeName(input) + ": " + error);
        }
        done += SizeOf(input);
    }
    progress.Clear();
    return status;
}

// Files or the live server into rows, and into the archive when one is given; the exit code.
int DecodeInputs(const QCommandLineParser& parser, const QList<QByteArray>& inputs, const Configuration& configuration,
                 RowFormat format, char decimalSeparator, Output& output) {
    Output beacons(stderr);
    if (const QString error = beacons.Open(parser.value("text-beacons-file")); !error.isEmpty()) return Failure(error);

    const bool live = parser.isSet("live");
    const QString captureFolder = parser.isSet("capture-dir") ? parser.value("capture-dir") : QDir::currentPath();
    const std::string station = (parser.isSet("station") ? parser.value("station") : configuration.callsign).toStdString();
    std::unique_ptr<ArchiveWriter> archive;
    std::optional<ArchiveFeed> feed;
    if (parser.isSet("archive")) {
        QString error;
        if (archive = OpenArchiveWriter(parser.value("archive"), RoleOf(parser), error); !archive)
            return Failure(error);
        // a live road's frames wait in the capture folder while a server cannot be reached
        feed.emplace(*archive, station, 10000, live ? QDir(captureFolder).filePath(kArchiveWaitingFileName) : QString());
    }

    const bool quiet = parser.isSet("quiet");
    qint64 total = 0, done = 0;
    for (const QByteArray& input : inputs) total += SizeOf(input);
    Progress progress(!quiet && isatty(STDERR_FILENO), total);

    BatchDecoder::Sinks sinks{.rows = {},
                              .satelliteFrames = {},
                              .textBeacons = {},
                              .progress = [&](qint64 bytes) { progress.Show(done + bytes); }};
    if (!feed || live) sinks.rows = [&](std::string_view rows) { output.Write(rows, live); };
    if (feed) sinks.satelliteFrames = [&](std::string_view frame, const FrameFacts& facts) { feed->Take(frame, facts); };
    if (parser.isSet("text-beacons") || parser.isSet("text-beacons-file"))
        sinks.textBeacons = [&](std::string_view line) { beacons.Write(line, live); };
    BatchDecoder decoder(format, decimalSeparator, kDecodeLog, std::move(sinks));
    decoder.SetStation(station);

    QElapsedTimer clock;
    clock.start();
    int status = 0;
    if (live) {
        if (const QString error = MakeFolder(captureFolder); !error.isEmpty()) return Failure(error);
        status = RunLiveRecorder(decoder, *ParseLiveServer(parser.value("live")), captureFolder, configuration,
                                 QStringLiteral("%1 %2").arg(kProgram, kLibraryVersion), feed ? &*feed : nullptr);
    } else {
        status = DecodeFiles(decoder, inputs, FormatOf(parser), done, progress);
    }
    if (feed) {
        const FeedReport report = feed->Commit();
        // the recorder has told what its last commit did
        if (!report.error.isEmpty() && !live) status = Failure(archive->name() + ": " + report.error);
        if (!quiet) Print(stderr, QStringLiteral("%1: archive: %2\n").arg(kProgram, QString::fromStdString(ArchiveCountsText(report.counts))));
    }
    return std::max(status, Finish({&output, &beacons}, decoder, quiet, clock));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({
        {{"o", "output"}, "", "FILE"},
        {"csv", ""},
        {"jsonl", ""},
        {"influx", ""},
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
        {"archive", "", "DB"},
        {"station", "", "CALL"},
        {"from", "", "T"},
        {"to", "", "T"},
        {"channels", "", "LIST"},
        {"rebuild", ""},
        {"migrate", ""},
    });
    if (!parser.parse(application.arguments())) return UsageError(parser.errorText());
    if (parser.isSet("help")) return Print(stdout, kHelp), 0;
    if (parser.isSet("version")) return Print(stdout, QStringLiteral("%1 %2\n").arg(kProgram, kLibraryVersion)), 0;

    const QList<QByteArray> inputs = InputNames(parser.positionalArguments(), argc, argv);
    if (const QString problem = UsageProblem(parser, inputs); !problem.isEmpty()) return UsageError(problem);
    Configuration configuration;
    if (parser.isSet("conf")) {
        const ConfigurationResult read = ReadConfigurationFile(parser.value("conf"), QDir::currentPath());
        if (!read.configuration) return UsageError(read.error);
        configuration = *read.configuration;
    }

    // millisecond time stamps are written in the default locale's date form: ISO 8601's
    // order is Swedish's, unless the user asks for their own
    const QLocale locale = parser.isSet("locale") ? QLocale::system() : QLocale(QLocale::Swedish, QLocale::Sweden);
    QLocale::setDefault(locale);
    const char decimalSeparator = parser.isSet("locale") ? DecimalSeparator(locale) : '.';

    const RowFormat format = parser.isSet("jsonl")    ? RowFormat::JsonLines
                             : parser.isSet("influx") ? RowFormat::LineProtocol
                                                      : RowFormat::Csv;
    Output output(stdout);
    if (const QString error = output.Open(parser.value("output")); !error.isEmpty()) return Failure(error);
    if (IsArchiveQuery(parser, inputs)) return QueryArchive(parser, format, decimalSeparator, output);
    return DecodeInputs(parser, inputs, configuration, format, decimalSeparator, output);
}
