#include "options.h"

#include "archive/postgres/postgres_archive.h"
#include "archive/sqlite/sqlite_archive.h"
#include "intake/configuration.h"
#include "intake/kiss.h"
#include "live_recorder.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

const char kHelp[] = R"(Usage: orca5-decode [options] FILE...
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
  --passes               with --archive alone: a row a pass instead of packets, by start and
                         station: station;start;end;packets;first_heard;only_here (CSV or
                         --jsonl); a station's receptions more than the gap apart are two
                         passes; with --from/--to the passes that start in the range, with
                         --station one station's
  --stations             ... a row a station, by name: station;passes;packets;first_heard;
                         only_here;first;last, over the receptions from --from to --to
  --pass-gap MINUTES     the silence that ends a pass (default: PASS_GAP of --conf, or 15)
  --rebuild              decode the archive's packet table anew from its raw frames
  --migrate              make or migrate a PostgreSQL archive's schema, as its owner; alone,
                         nothing else is done (an SQLite archive migrates itself)
Orbit context, from the satellite's element sets (a TLE file of one set or many):
  --tle FILE             the element sets (default: TLE of --conf); the set of the latest
                         epoch not after a time is used for it
  --station-at LAT,LON[,ALT_M]
                         the station's place in degrees north and east and metres up
                         (default: LATITUDE, LONGITUDE and ALTITUDE of --conf)
  --predict-passes       with --tle and a station: a row a pass above the horizon from --from
                         to --to (default: the next 24 hours), CSV aos;los;max_elevation;
                         max_time or --jsonl
  --min-elevation DEG    ... only the passes that rise this high
Limits, with any of the above:
  --limits FILE          judge each packet against the limits in FILE; the summary tells the
                         transitions and what is out of limits at the end
  --limit-set NAME       the set of FILE to use (default: DEFAULT)
  --alarms               write a row a transition instead of a row a packet: CSV
                         time;channel;state;previous;value;limit, or --jsonl
  --on-alarm CMD         run /bin/sh -c CMD at each transition, with ORCA5_TIME,
                         ORCA5_CHANNEL, ORCA5_STATE, ORCA5_PREVIOUS, ORCA5_VALUE, ORCA5_LIMIT
                         and ORCA5_STATION set; one at a time, in order, 10 s each at most

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

void AddOptions(QCommandLineParser& parser) {
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
        {"limits", "", "FILE"},
        {"limit-set", "", "NAME"},
        {"alarms", ""},
        {"on-alarm", "", "CMD"},
        {"passes", ""},
        {"stations", ""},
        {"pass-gap", "", "MINUTES"},
        {"tle", "", "FILE"},
        {"station-at", "", "LAT,LON[,ALT_M]"},
        {"predict-passes", ""},
        {"min-elevation", "", "DEG"},
    });
}

// Each is the next argument that reads as its text.
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


namespace {

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

// True when the path names one of the inputs (standard input among them when it is a file).
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

// What --passes and --stations cannot go with.
QString PassesProblem(const QCommandLineParser& parser) {
    if (parser.isSet("pass-gap") && !MinutesOf(parser.value("pass-gap")))
        return "--pass-gap takes minutes above 0, not \"" + parser.value("pass-gap") + "\"";
    const char* asked = parser.isSet("passes") ? "passes" : parser.isSet("stations") ? "stations" : nullptr;
    if (!asked) return parser.isSet("pass-gap") ? "--pass-gap goes with --passes or --stations" : QString();
    for (const char* option : {"passes", "stations", "text-beacons", "channels", "rebuild", "migrate", "limits", "influx"})
        if (option != std::string_view(asked) && parser.isSet(option)) return QStringLiteral("--%1 and --%2 exclude each other").arg(asked, option);
    return {};
}

// What --predict-passes cannot go with, and the orbit's options that are wrong as typed.
QString OrbitProblem(const QCommandLineParser& parser, const QList<QByteArray>& inputs) {
    if (parser.isSet("station-at") && !StationPlaceOf(parser.value("station-at")))
        return "--station-at takes LAT,LON or LAT,LON,ALT_M in degrees and metres, not \"" + parser.value("station-at") + "\"";
    if (parser.isSet("min-elevation")) {
        if (!parser.isSet("predict-passes")) return "--min-elevation goes with --predict-passes";
        bool isNumber = false;
        const double degrees = parser.value("min-elevation").toDouble(&isNumber);
        if (!isNumber || !(degrees >= -90 && degrees <= 90)) return "--min-elevation takes degrees, not \"" + parser.value("min-elevation") + "\"";
    }
    if (!parser.isSet("predict-passes")) return {};
    if (!inputs.isEmpty()) return "--predict-passes reads no FILE";
    for (const char* option : {"live", "archive", "influx", "limits", "channels"})
        if (parser.isSet(option)) return QStringLiteral("--predict-passes and --%1 exclude each other").arg(option);
    return {};
}

}  // namespace

bool IsPassPrediction(const QCommandLineParser& parser) { return parser.isSet("predict-passes"); }

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
    if (const QString problem = OrbitProblem(parser, inputs); !problem.isEmpty()) return problem;
    if (IsPassPrediction(parser)) return {};
    if (!live && inputs.isEmpty() && !query) return "no FILE given";
    if (parser.isSet("archive") && !inputs.isEmpty() && parser.isSet("output"))
        return "--archive with FILEs keeps them in the archive and writes no rows";
    if (parser.isSet("migrate") && !parser.isSet("archive")) return "--migrate goes with --archive";
    for (const char* option : {"from", "to", "channels", "rebuild", "passes", "stations"})
        if (parser.isSet(option) && !query) return QStringLiteral("--%1 goes with --archive alone").arg(option);
    if (const QString problem = PassesProblem(parser); !problem.isEmpty()) return problem;
    if (int(parser.isSet("csv")) + int(parser.isSet("jsonl")) + int(parser.isSet("influx")) > 1)
        return "--csv, --jsonl and --influx exclude each other";
    for (const char* option : {"limit-set", "alarms", "on-alarm"})
        if (parser.isSet(option) && !parser.isSet("limits")) return QStringLiteral("--%1 goes with --limits").arg(option);
    if (parser.isSet("alarms") && parser.isSet("influx")) return "--alarms writes CSV or JSON lines, not --influx";
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

InputFormat InputFormatOf(const QCommandLineParser& parser) {
    if (!parser.isSet("format")) return InputFormat::Detect;
    return parser.value("format") == "kiss" ? InputFormat::Kiss : InputFormat::Satnogs;
}

RowFormat RowFormatOf(const QCommandLineParser& parser) {
    if (parser.isSet("jsonl")) return RowFormat::JsonLines;
    return parser.isSet("influx") ? RowFormat::LineProtocol : RowFormat::Csv;
}
