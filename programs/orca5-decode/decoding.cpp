#include "decoding.h"

#include "archive/archive_feed.h"
#include "batch/archive_rows.h"
#include "batch/batch_decode.h"
#include "batch/limit_watch.h"
#include "batch/pass_rows.h"
#include "live_recorder.h"
#include "options.h"
#include "programs/log_styles.h"
#include "telemetry/version.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <memory>
#include <optional>
#include <variant>
#include <unistd.h>

namespace {

// The limits' watch of a run, when --limits is given: its transitions as the rows with --alarms.
std::optional<LimitWatch> WatchOf(const QCommandLineParser& parser, const std::optional<Limits>& limits, const std::string& station,
                                  char decimalSeparator, Output& output, bool live) {
    if (!limits) return std::nullopt;
    LimitWatch::Options options{.format = RowFormatOf(parser), .decimalSeparator = decimalSeparator};
    if (parser.isSet("alarms")) options.rows = [&output, live](std::string_view rows) { output.Write(rows, live); };
    if (parser.isSet("on-alarm")) options.command = parser.value("on-alarm");
    options.station = station;
    options.commandsWaitingAtMost = live ? 1000 : 0;
    return std::optional<LimitWatch>(std::in_place, *limits, std::move(options));
}

// What the watch found, on standard error; for files after the last command has ended.
void TellWatch(std::optional<LimitWatch>& watch, bool quiet) {
    if (!watch) return;
    const std::optional<AlarmHook::Counts> commands = watch->FinishCommands();
    if (quiet) return;
    Print(stderr, QStringLiteral("%1: %2\n").arg(kProgram, QString::fromStdString(watch->SummaryText())));
    if (commands) Print(stderr, QStringLiteral("%1: %2\n").arg(kProgram, AlarmCountsText(*commands)));
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

// The passes or the stations of --passes or --stations.
QString WriteActivity(const QCommandLineParser& parser, const Configuration& configuration, const TimeRange& range,
                      ArchiveReader& archive, const std::function<void(std::string_view)>& write) {
    PassQuery query{range, kPassGapMs, std::nullopt};
    if (parser.isSet("pass-gap")) query.gapMs = *MinutesOf(parser.value("pass-gap"));
    else if (configuration.passGapMs) query.gapMs = *configuration.passGapMs;
    if (parser.isSet("station")) query.station = parser.value("station").toStdString();
    return parser.isSet("passes") ? WritePasses(archive, query, RowFormatOf(parser), write)
                                  : WriteStations(archive, query, RowFormatOf(parser), write);
}

// The element sets of --tle or of TLE in --conf (a path without a folder beside it), or why
// there are none.
std::variant<Orbit, QString> OrbitOf(const QCommandLineParser& parser, const Configuration& configuration, const QString& confFolder) {
    const QString path = parser.isSet("tle") ? parser.value("tle") : configuration.tle.isEmpty() ? QString() : QDir(confFolder).filePath(configuration.tle);
    if (path.isEmpty()) return QString("no element sets: --tle FILE, or TLE in --conf");
    auto read = ReadElementSets(path);
    if (const auto* problem = std::get_if<QString>(&read)) return *problem;
    return Orbit(std::get<ElementSets>(std::move(read)));
}

std::optional<Geodetic> StationOf(const QCommandLineParser& parser, const Configuration& configuration) {
    const std::optional<StationPlace> place = parser.isSet("station-at") ? StationPlaceOf(parser.value("station-at")) : configuration.place;
    if (!place) return std::nullopt;
    return Geodetic{place->latitudeDeg, place->longitudeDeg, place->altitudeM / 1000};
}

// The rows' orbit columns: none without element sets, or why the sets cannot be used.
std::variant<OrbitColumns, QString> OrbitColumnsOf(const QCommandLineParser& parser, const Configuration& configuration,
                                                   const QString& confFolder) {
    if (!parser.isSet("tle") && configuration.tle.isEmpty()) return OrbitColumns{};
    auto orbit = OrbitOf(parser, configuration, confFolder);
    if (const auto* problem = std::get_if<QString>(&orbit)) return *problem;
    return OrbitColumns{std::get<Orbit>(std::move(orbit)), StationOf(parser, configuration)};
}

}  // namespace

int WritePassPredictions(const QCommandLineParser& parser, const Configuration& configuration, const QString& confFolder, Output& output) {
    auto orbit = OrbitOf(parser, configuration, confFolder);
    if (const auto* problem = std::get_if<QString>(&orbit)) return UsageError(*problem);
    const std::optional<Geodetic> station = StationOf(parser, configuration);
    if (!station) return UsageError("no station: --station-at LAT,LON[,ALT_M], or LATITUDE and LONGITUDE in --conf");
    const auto given = [&](const char* option) { return parser.isSet(option) ? std::optional(parser.value(option)) : std::nullopt; };
    const auto query = ReadArchiveQuery(given("from"), given("to"), std::nullopt);
    if (const auto* problem = std::get_if<QString>(&query)) return UsageError(*problem);
    const TimeRange& range = std::get<ArchiveQuery>(query).range;
    const double from = static_cast<double>(range.from.value_or(QDateTime::currentMSecsSinceEpoch()));
    const double to = range.to ? static_cast<double>(*range.to) : from + 86400000.0;
    const double minimum = parser.isSet("min-elevation") ? parser.value("min-elevation").toDouble() : 0;
    WritePredictedPasses(PredictPasses(std::get<Orbit>(orbit), *station, from, to, minimum), RowFormatOf(parser),
                         [&](std::string_view rows) { output.Write(rows, false); });
    return output.Close().isEmpty() ? 0 : 1;
}

int QueryArchive(const QCommandLineParser& parser, const Configuration& configuration, const QString& confFolder,
                 const std::optional<Limits>& limits, char decimalSeparator, Output& output) {
    const auto orbit = OrbitColumnsOf(parser, configuration, confFolder);
    if (const auto* problem = std::get_if<QString>(&orbit)) return UsageError(*problem);
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
        const ArchiveQuery& asked = std::get<ArchiveQuery>(query);
        std::optional<LimitWatch> watch = WatchOf(parser, limits, parser.value("station").toStdString(), decimalSeparator, output, false);
        // the archive's packets by time, as they were heard, judged as their rows are written
        const auto judge = [&](const ArchivedPacket& packet) { watch->Take(packet.record); };
        if (parser.isSet("passes") || parser.isSet("stations"))
            error = WriteActivity(parser, configuration, asked.range, *archive, write);
        else if (parser.isSet("text-beacons"))
            error = WriteArchivedTextBeacons(*archive, asked, kDecodeLog, write);
        else if (!parser.isSet("alarms"))
            error = WriteArchivedPackets(*archive, asked, RowFormatOf(parser), decimalSeparator, write,
                                         watch ? std::function<void(const ArchivedPacket&)>(judge) : nullptr, std::get<OrbitColumns>(orbit));
        if (watch && (parser.isSet("alarms") || parser.isSet("text-beacons")) && error.isEmpty())
            error = WatchArchivedPackets(*archive, asked.range, *watch);
        TellWatch(watch, parser.isSet("quiet"));
    }
    int status = error.isEmpty() ? 0 : Failure(archive->name() + ": " + error);
    if (const QString closed = output.Close(); !closed.isEmpty()) status = Failure(closed);
    return status;
}

int DecodeInputs(const QCommandLineParser& parser, const QList<QByteArray>& inputs, const Configuration& configuration,
                 const QString& confFolder, const std::optional<Limits>& limits, char decimalSeparator, Output& output) {
    auto orbitColumns = OrbitColumnsOf(parser, configuration, confFolder);
    if (const auto* problem = std::get_if<QString>(&orbitColumns)) return UsageError(*problem);
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
    std::optional<LimitWatch> watch = WatchOf(parser, limits, station, decimalSeparator, output, live);
    if ((!feed || live) && !parser.isSet("alarms")) sinks.rows = [&](std::string_view rows) { output.Write(rows, live); };
    if (watch) sinks.packets = [&](const TelemetryRecord& record) { watch->Take(record); };
    if (feed) sinks.satelliteFrames = [&](std::string_view frame, const FrameFacts& facts) { feed->Take(frame, facts); };
    if (parser.isSet("text-beacons") || parser.isSet("text-beacons-file"))
        sinks.textBeacons = [&](std::string_view line) { beacons.Write(line, live); };
    BatchDecoder decoder(RowFormatOf(parser), decimalSeparator, kDecodeLog, std::move(sinks), std::get<OrbitColumns>(std::move(orbitColumns)));
    decoder.SetStation(station);

    QElapsedTimer clock;
    clock.start();
    int status = 0;
    if (live) {
        if (const QString error = MakeFolder(captureFolder); !error.isEmpty()) return Failure(error);
        const auto tick = [&] {
            if (watch) watch->Tick(QDateTime::currentMSecsSinceEpoch());
        };
        status = RunLiveRecorder(decoder, *ParseLiveServer(parser.value("live")), captureFolder, configuration,
                                 QStringLiteral("%1 %2").arg(kProgram, kLibraryVersion), feed ? &*feed : nullptr, tick);
    } else {
        status = DecodeFiles(decoder, inputs, InputFormatOf(parser), done, progress);
    }
    if (feed) {
        const FeedReport report = feed->Commit();
        // the recorder has told what its last commit did
        if (!report.error.isEmpty() && !live) status = Failure(archive->name() + ": " + report.error);
        if (!quiet) Print(stderr, QStringLiteral("%1: archive: %2\n").arg(kProgram, QString::fromStdString(ArchiveCountsText(report.counts))));
    }
    const int finished = Finish({&output, &beacons}, decoder, quiet, clock);
    TellWatch(watch, quiet);
    return std::max(status, finished);
}
