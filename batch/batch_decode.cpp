#include "batch/batch_decode.h"

#include "exports/csv_export.h"
#include "exports/json_lines.h"
#include "exports/line_protocol.h"
#include "intake/satnogs_reader.h"
#include "intake/kiss.h"
#include "intake/kiss_file.h"
#include "telemetry/time_stamps.h"

#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace {

constexpr qint64 kBlockBytes = 1 << 20;

// Reads the next block; false at the end or on an error.
bool ReadBlock(QIODevice& input, std::string& block) {
    block.resize(kBlockBytes);
    const qint64 length = input.read(block.data(), kBlockBytes);
    block.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return length > 0;
}

// Opens the file of that name for reading, standard input for none; why not, or nothing.
// QFile takes names as text, and a name that is not UTF-8 would not survive the way there.
QString OpenByName(QFile& file, const QByteArray& name) {
    if (name.isEmpty()) return file.open(stdin, QIODevice::ReadOnly) ? QString() : file.errorString();
    const int descriptor = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return QString::fromLocal8Bit(std::strerror(errno));
    return file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? QString() : file.errorString();
}

QString ReadError(const QIODevice& input) {
    const auto* file = qobject_cast<const QFileDevice*>(&input);
    return file && file->error() != QFileDevice::NoError ? file->errorString() : QString();
}

}  // namespace

InputFormat RecogniseFormat(std::string_view firstBytes) {
    if (firstBytes.find(kFend) != std::string_view::npos) return InputFormat::Kiss;
    firstBytes = WithoutByteOrderMark(firstBytes);
    std::size_t start = 0;
    for (int line = 0; line < 3 && start < firstBytes.size(); ++line) {
        const std::size_t end = std::min(firstBytes.find('\n', start), firstBytes.size());
        if (IsRecordLine(firstBytes.substr(start, end - start))) return InputFormat::Satnogs;
        start = end + 1;
    }
    return InputFormat::Kiss;
}

BatchDecoder::BatchDecoder(RowFormat format, char decimalSeparator, const LogStyle& log, Sinks sinks, OrbitColumns orbit)
    : format_(format), decimalSeparator_(decimalSeparator), sinks_(std::move(sinks)),
      view_{.packetDecoded = [this](DecodedPacket& packet) { return WriteRow(packet); },
            .frameLog = {},
            .beaconText = [this](std::string_view line) { WriteBeaconText(line); },
            .satelliteFrame = sinks_.satelliteFrames},
      context_{view_, log},
      orbit_(std::move(orbit)) {
    if (orbit_.station) lookFrom_.emplace(*orbit_.station);
    if (!sinks_.progress) sinks_.progress = [](qint64) {};
    if (sinks_.rows)
        writer_ = std::make_unique<RowWriter>(WithOrbitHeading(format_ == RowFormat::Csv ? CsvHeading() : std::string(), orbit_),
                                              [this](std::string& rows, const RowWriter::Packet& packet) { FormatRow(rows, packet); },
                                              sinks_.rows);
}

QString BatchDecoder::Decode(const QByteArray& path, InputFormat format) {
    const bool standardInput = path == "-";
    QFile input;
    if (QString error = OpenByName(input, standardInput ? QByteArray() : path); !error.isEmpty()) return error;
    ++totals_.files;
    context_.rxTimeText.clear();  // a file without time stamps takes none from the file before
    context_.source = standardInput ? "stdin" : path.toStdString();

    std::string first;
    ReadBlock(input, first);
    if (format == InputFormat::Detect) format = RecogniseFormat(first);
    if (format == InputFormat::Kiss) return DecodeKiss(input, std::move(first));

    if (!standardInput) return DecodeSatnogs(input);
    // standard input cannot be read backwards: it goes to a file first
    QTemporaryFile spool;
    if (!spool.open()) return spool.errorString();
    for (std::string block = std::move(first); !block.empty(); ReadBlock(input, block))
        if (spool.write(block.data(), static_cast<qint64>(block.size())) != static_cast<qint64>(block.size()))
            return spool.errorString();
    return DecodeSatnogs(spool);
}

QString BatchDecoder::DecodeKiss(QIODevice& input, std::string first) {
    KissCaptureDecoder decoder(context_, KissStream::kMaxFrameBytes);
    qint64 read = 0;
    for (std::string block = std::move(first); !block.empty(); ReadBlock(input, block)) {
        decoder.Feed(block);
        sinks_.progress(read += static_cast<qint64>(block.size()));
    }
    const KissCaptureOutcome& outcome = decoder.outcome();
    totals_.skipped += outcome.dataFrames - outcome.stored - outcome.textBeacons;
    totals_.skipped += static_cast<std::int64_t>(decoder.droppedFrames());
    return ReadError(input);
}

QString BatchDecoder::DecodeSatnogs(QFileDevice& input) {
    const SatnogsFileOutcome outcome = StreamSatnogsFile(context_, input, {.counted = {}, .beforeRecord = {}, .read = sinks_.progress});
    totals_.duplicates += outcome.recordLines - outcome.records;
    totals_.skipped += outcome.records - outcome.stored + outcome.longLines;
    return outcome.error;
}

void BatchDecoder::WriteBeaconText(std::string_view line) {
    ++totals_.textBeacons;
    if (!sinks_.textBeacons) return;
    std::string text(line);
    sinks_.textBeacons(text += '\n');
}

bool BatchDecoder::WriteRow(const DecodedPacket& packet) {
    ++totals_.packets;
    if (sinks_.packets) sinks_.packets(packet.record);
    if (!writer_) return true;
    // a packet without a time is counted, not written: a collector would date it on arrival
    if (format_ == RowFormat::LineProtocol && !UtcMilliseconds(packet.record.rxTime)) {
        --totals_.packets;
        ++totals_.skipped;
        return true;
    }
    RowWriter::Packet& queued = writer_->Add();
    queued.record.values = packet.record.values;
    queued.record.rxTime.assign(packet.record.rxTime);
    // the model here, the point and the look on the rows' thread: the two threads share the work
    if (orbit_.orbit) {
        const std::optional<std::int64_t> timeMs = UtcMilliseconds(packet.record.rxTime);
        queued.orbit = timeMs ? orbit_.orbit->PlaceAt(static_cast<double>(*timeMs)) : std::nullopt;
    }
    if (format_ == RowFormat::Csv) return true;
    queued.record.obcTime.assign(packet.record.obcTime);
    queued.record.jobIdText.assign(packet.record.jobIdText);
    if (format_ == RowFormat::JsonLines) {
        queued.source = SourceText(packet.facts);
        queued.frameHex.assign(packet.facts.frameHex.text());
        return true;
    }
    // a series a station and a source, and the place a field: as many series as files
    queued.source = SourceName(packet.facts);
    queued.place = packet.facts.number;
    queued.station.assign(station_.empty() ? packet.facts.station : station_);
    queued.nanoseconds = spacing_.Next(queued.station, queued.source, queued.record.rxTime);
    return true;
}

void BatchDecoder::FormatRow(std::string& rows, const RowWriter::Packet& packet) const {
    const std::size_t start = rows.size();
    switch (format_) {
    case RowFormat::Csv: AppendCsvRow(rows, packet.record, decimalSeparator_); break;
    case RowFormat::JsonLines: AppendJsonLine(rows, packet.record, packet.source, packet.frameHex); break;
    case RowFormat::LineProtocol:
        AppendLineProtocol(rows, packet.record, {packet.station, packet.source, packet.place, packet.nanoseconds}, AllChannels());
        break;
    }
    if (orbit_.orbit) {
        const std::optional<OrbitPoint> point = packet.orbit ? std::optional(PointOf(*packet.orbit, lookFrom_ ? &*lookFrom_ : nullptr)) : std::nullopt;
        AppendOrbitToRow(rows, start, format_, point, lookFrom_.has_value(), decimalSeparator_);
    }
}

void BatchDecoder::Count(const LiveArrival& arrival) {
    totals_.skipped += arrival.frames - arrival.stored - arrival.refused - arrival.textBeacons;
}

void BatchDecoder::Flush() {
    if (writer_) writer_->Flush();
}

std::string SummaryText(const BatchTotals& totals, double seconds) {
    char text[200];
    std::snprintf(text, sizeof text, "%d files, %lld packets, %lld text beacons, %lld skipped, %lld duplicates dropped, %.2f s",
                  totals.files, static_cast<long long>(totals.packets), static_cast<long long>(totals.textBeacons),
                  static_cast<long long>(totals.skipped), static_cast<long long>(totals.duplicates), seconds);
    return text;
}
