#pragma once

#include "exports/line_protocol.h"
#include "batch/orbit_rows.h"
#include "batch/row_format.h"
#include "batch/row_writer.h"
#include "intake/live_arrival.h"
#include "telemetry/beacon_decoder.h"

#include <QFileDevice>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

enum class InputFormat { Detect, Kiss, Satnogs };

struct BatchTotals {
    int files = 0;                  // inputs read
    std::int64_t packets = 0;       // rows written
    std::int64_t textBeacons = 0;   // the satellite's text beacons
    std::int64_t skipped = 0;       // frames or lines that were not telemetry
    std::int64_t duplicates = 0;    // SatNOGS lines that repeated the line before them
};

// Decodes capture files and SatNOGS exports into rows, one a packet, with no store and no
// limit: each packet is written out as soon as it is decoded, and the input is read in blocks,
// so memory stays flat however large the input. The rows are made on a second thread, and the
// rows sink is called there. A SatNOGS export is read as the window reads it; a capture file's
// frames past 4096 bytes, which no telemetry frame is, are skipped.
class BatchDecoder {
public:
    struct Sinks {
        std::function<void(std::string_view)> rows = {};  // the output, in pieces; none: no rows are made
        std::function<void(std::string_view frame, const FrameFacts& facts)> satelliteFrames = {};  // for an archive
        std::function<void(std::string_view)> textBeacons = {};  // a line per text beacon; empty: only counted
        std::function<void(qint64 bytes)> progress = {};         // bytes of the current input read so far
        std::function<void(const TelemetryRecord&)> packets = {};  // each packet, in the order read
    };

    // With element sets, each row gains the orbit's columns at its packet's reception time, and
    // a station's look angles where one is given.
    BatchDecoder(RowFormat format, char decimalSeparator, const LogStyle& log, Sinks sinks, OrbitColumns orbit = {});
    BatchDecoder(const BatchDecoder&) = delete;
    BatchDecoder& operator=(const BatchDecoder&) = delete;

    // Reads one input, "-" for standard input, in the format given or the one its first bytes
    // show. The name is the system's bytes, which need not be text in any encoding. Returns
    // why it could not be read, or nothing; what it decoded is written either way.
    QString Decode(const QByteArray& path, InputFormat format);
    // Where a live session decodes into; the program flushes after each arrival, so a pipe sees
    // each packet as it comes.
    DecodeView& view() { return view_; }
    // What one arrival of the live session did, into the totals.
    void Count(const LiveArrival& arrival);
    // Writes out what is buffered.
    void Flush();

    const BatchTotals& totals() const { return totals_; }

    // The receiving station line-protocol rows name, where the input names none.
    void SetStation(std::string station) { station_ = std::move(station); }

private:
    QString DecodeKiss(QIODevice& input, std::string first);
    QString DecodeSatnogs(QFileDevice& input);
    bool WriteRow(const DecodedPacket& packet);
    void FormatRow(std::string& rows, const RowWriter::Packet& packet) const;
    void WriteBeaconText(std::string_view line);

    RowFormat format_;
    char decimalSeparator_;
    Sinks sinks_;
    DecodeView view_;
    DecoderContext context_;
    BatchTotals totals_;
    std::string station_;
    PointSpacing spacing_;               // the line protocol's points of one time
    OrbitColumns orbit_;                 // asked on the decoding thread only
    std::optional<StationFrame> lookFrom_;  // the station, looked from on the rows' thread
    std::unique_ptr<RowWriter> writer_;  // none without a rows sink
};

// A capture file has FEND bytes; a SatNOGS export is lines of date, "|" and hexadecimal.
InputFormat RecogniseFormat(std::string_view firstBytes);

// "3 files, 25000 packets, 12 text beacons, 4 skipped, 2 duplicates dropped, 1.23 s"
std::string SummaryText(const BatchTotals& totals, double seconds);
