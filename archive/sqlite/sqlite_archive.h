#pragma once

#include "archive/archive_writer.h"
#include "archive/reception_merge.h"

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// ARCHIVE = YES in conf.ini: this file in the capture folder.
inline constexpr char kArchiveFileName[] = "orca5-archive.sqlite";

// The archive's file and those SQLite keeps beside it: the archive's name and these after it.
inline constexpr const char* kSqliteCompanions[] = {"", "-wal", "-shm", "-journal"};

// The archive in an SQLite database file, through SQLite's own interface with its statements
// prepared once. WAL journal; writes gather in a transaction until Commit, so a crash loses
// at most the batch in hand and never damages the file.
//
// Tables: frames (id, time_ms of the earliest reception, digest, bytes, then for telemetry
// obc_time and a column a channel, NULL for a text beacon, and last_ms of the latest
// reception), indexed by time (and those heard over more than 10 minutes by digest); receptions
// (frame, source, time_ms, station); the view packets (frame, time_ms, obc_time, the
// channels) of the telemetry alone, for any SQL tool; and a table of summaries a level
// (start_ms, packets, then each channel's least, greatest and summed value: x_minus_tri_volt_min,
// _max, _sum), kept as packets arrive.
class SqliteArchive : public ArchiveWriter, private MergeStatements, private RebuildStatements {
public:
    enum class Mode { ReadWrite, ReadOnly };

    // Opens the archive, making it (and its folder) when the file is missing or empty, and
    // bringing an older one to this version (only to write it: one read is left as it is).
    // Null with the reason when the file is not an orca5 archive, is of a newer version, or
    // cannot be opened; the file is then untouched, and one this call made is removed again.
    static std::unique_ptr<SqliteArchive> Open(const QString& path, Mode mode, QString& error);
    ~SqliteArchive() override;

    QString Receive(const Reception& reception, Received& result) override;
    QString Commit() override;
    void Rollback() override;
    QString ForEachPacket(const PacketQuery& query, const std::function<void(const ArchivedPacket&)>& take) override;
    QString ForEachTextBeacon(const TimeRange& range, const std::function<void(const ArchivedPacket&)>& take) override;
    QString Rebuild() override;
    QString ForEachSummary(int level, int channel, const TimeRange& range,
                           const std::function<void(std::int64_t startMs, const ValueSummary&)>& take) override;
    QString ForEachValue(int channel, const TimeRange& range,
                         const std::function<void(std::int64_t timeMs, double value)>& take) override;
    std::optional<std::int64_t> OldestPacketTime() override;
    std::optional<std::int64_t> NewestPacketTime() override;
    std::int64_t CountPackets(const TimeRange& range) override;

    const QString& path() const { return path_; }
    QString name() const override { return path_; }

private:
    struct Statements;
    struct Row;
    explicit SqliteArchive(sqlite3* db);

    static std::unique_ptr<SqliteArchive> Connect(const QString& path, Mode mode, bool immutable, QString& error);
    // The connection's file as an orca5 archive of a version this program knows, brought up to
    // date for writing; null with the reason.
    static std::unique_ptr<SqliteArchive> Check(std::unique_ptr<SqliteArchive> archive, Mode mode, QString& error);
    QString Error() const;
    QString Execute(const char* sql);
    QString Migrate(int version);
    QString Prepare();
    QString BeginBatch();
    QString Step(sqlite3_stmt* statement);
    QString FindSame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes, std::vector<SamePacket>& found) override;
    QString InsertFrame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes, const TelemetryRecord* telemetry,
                        std::int64_t& id) override;
    QString InsertReception(std::int64_t frame, const Reception& reception, bool& added) override;
    QString Widen(std::int64_t frame, std::int64_t timeMs) override;
    QString Merge(std::int64_t into, const SamePacket& emptied) override;
    QString ReadFrames(std::int64_t afterId, std::size_t count, std::vector<Frame>& frames) override;
    QString WriteValues(std::span<const Frame> frames, std::span<const TelemetryRecord* const> values) override;
    QString RemakeSummaries(int level, const TimeRange& range) override;
    // What the batch gathered in memory, written before it commits.
    QString WriteGathered();
    std::optional<std::int64_t> PacketTime(const char* which);
    // The rows of a query whose parameters 1 and 2, if it has them, are the range's bounds.
    QString ForEachRow(const std::string& sql, const TimeRange& range, const std::function<void(const Row&)>& take);

    sqlite3* db_;
    QString path_;
    std::unique_ptr<Statements> statements_;
    ReceptionMerge merge_;
};
