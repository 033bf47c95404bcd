#pragma once

#include "archive/sql_archive.h"

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
class SqliteArchive : public SqlArchive<SqliteArchive> {
public:
    enum class Mode { ReadWrite, ReadOnly };

    // Opens the archive, making it (and its folder) when the file is missing or empty, and
    // bringing an older one to this version (only to write it: one read is left as it is).
    // Null with the reason when the file is not an orca5 archive, is of a newer version, or
    // cannot be opened; the file is then untouched, and one this call made is removed again.
    static std::unique_ptr<SqliteArchive> Open(const QString& path, Mode mode, QString& error);
    ~SqliteArchive() override;

    QString Commit() override;
    void Rollback() override;

    const QString& path() const { return path_; }
    QString name() const override { return path_; }

private:
    friend class SqlArchive<SqliteArchive>;
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
    QString BeginRebuild() { return BeginBatch(); }
    void ForgetBatch();  // what the batch in hand gathered, taken back
    MergeStatements& merging();
    RebuildStatements& rebuilding();
    // What the batch gathered in memory, written before it commits.
    QString WriteGathered();
    // The rows of a query whose parameters 1 and 2 are the range's bounds, and 3 a station when
    // one is given.
    QString ForEachRow(const std::string& sql, const TimeRange& range, const std::function<void(const Row&)>& take,
                       std::optional<std::string_view> station = std::nullopt);

    sqlite3* db_;
    QString path_;
    std::unique_ptr<Statements> statements_;
};

extern template class SqlArchive<SqliteArchive>;
