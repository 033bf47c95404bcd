#include "archive/sqlite/sqlite_archive.h"

#include "archive/archive_sql.h"
#include "archive/batch_frames.h"
#include "archive/sql_archive_reading.h"
#include "intake/frame_recognition.h"
#include "intake/whole_file.h"
#include "telemetry/time_stamps.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// "ORC5": what tells our archives from other programs' databases.
constexpr int kApplicationId = 0x4F524335;

// SQLite's way with the archive's SQL: times as integer milliseconds.
std::string Same(const std::string& sql) { return sql; }
const ArchiveSql kSql({.time = "time_ms", .milliseconds = Same, .timeOf = Same, .placeholder = '?', .integer = "INTEGER",
                       .real = "REAL", .text = "TEXT", .least = "min", .greatest = "max", .stations = "group_concat(station)", .bytewise = "",
                       .deletes = true});

// A packet heard over more than a minute (a second station, an export's clock off): the few a
// search of a short time around a reception would miss.
constexpr std::int64_t kHeardLongMs = 60000;
std::string HeardLong() { return "last_ms - time_ms > " + std::to_string(kHeardLongMs); }

// The frames of a stretch of time (?1 to ?2), a row per reception with its source and station:
// those heard over a minute at most, by the time index.
std::string FramesNearSql() {
    return "SELECT f.id, f.time_ms, f.last_ms, f.digest, f.bytes, r.source, r.station FROM frames f LEFT JOIN receptions r ON r.frame = f.id "
           "WHERE f.time_ms >= ?1 - " + std::to_string(kHeardLongMs) + " AND f.time_ms < ?2 AND f.last_ms >= ?1 AND f.last_ms - f.time_ms <= " +
           std::to_string(kHeardLongMs);
}

// The packets of the same bytes (?1 the digest, ?3 the bytes) heard over a minute and within
// 10 minutes of a time (?2), by their digest among the few heard that long, with their receptions.
// Packets of the same bytes lie more than 10 minutes apart, so by their latest reception they
// come in the order of their earliest, and no more than two are that near a time.
std::string HeardLongNearSql() {
    const std::string w = std::to_string(kSameTransmissionMs);
    return "SELECT f.id, f.time_ms, f.last_ms, f.digest, f.bytes, r.source, r.station FROM (SELECT id, time_ms, last_ms, digest, bytes FROM frames "
           "WHERE digest = ?1 AND last_ms >= ?2 - " + w + " AND " + HeardLong() + " AND bytes = ?3 ORDER BY last_ms LIMIT 2) f "
           "LEFT JOIN receptions r ON r.frame = f.id WHERE f.time_ms <= ?2 + " + w;
}

// The stretch of time a batch reads the frames of at once. A read costs no round trip here, so
// short ones: a batch reads little beyond the 10 minutes either side of its receptions.
constexpr std::int64_t kNearMs = kHourMs / 4;

// Rows a statement when a batch writes its frames and receptions: a few hundred parameters.
constexpr int kFramesAtOnce = 16;
constexpr int kReceptionsAtOnce = 64;

// "(?1, ?2), (?3, ?4)": so many rows of so many parameters.
std::string ValueRows(int rows, int width) {
    std::string sql;
    for (int row = 0, next = 1; row < rows; ++row) {
        sql += row == 0 ? "(" : ", (";
        for (int k = 0; k < width; ++k, ++next) sql += (k == 0 ? "?" : ", ?") + std::to_string(next);
        sql += ')';
    }
    return sql;
}

// Each migration takes the archive one version up, in one transaction; each names the
// channels' columns as its version did.
std::vector<std::string> Migrations() {
    const auto all = [](int version) {
        return EachChannel([](const std::string& column, int) { return ", " + column; }, ReleasedColumns(version));
    };
    return {
        // 1: every frame once, the time of its earliest reception and its bytes; a telemetry
        // frame's decoded values in the same row (a text beacon has none); each reception
        "CREATE TABLE frames(id INTEGER PRIMARY KEY, time_ms INTEGER NOT NULL, digest INTEGER NOT NULL, "
        "bytes BLOB NOT NULL, obc_time TEXT" + kSql.ChannelColumns(ReleasedColumns(1)) + ");"
        // the digest beside the time: the frames of a time range are told apart in the index
        "CREATE INDEX frames_by_time ON frames(time_ms, digest);"
        "CREATE TABLE receptions(frame INTEGER NOT NULL REFERENCES frames(id), source TEXT NOT NULL, "
        "time_ms INTEGER NOT NULL, station TEXT NOT NULL, PRIMARY KEY(frame, source)) WITHOUT ROWID;"
        "CREATE VIEW packets AS SELECT id AS frame, time_ms, obc_time" + all(1) +
        " FROM frames WHERE obc_time IS NOT NULL;",
        // 2: the summaries, made from the packets the archive has
        kSql.SummaryTables(ReleasedColumns(2)),
        // 3: each frame's latest reception beside its earliest, so that a reception finds the
        // packets it is within 10 minutes of by that span
        "ALTER TABLE frames ADD COLUMN last_ms INTEGER;"
        "UPDATE frames SET last_ms = max(time_ms, coalesce((SELECT max(r.time_ms) FROM receptions r WHERE r.frame = frames.id), time_ms));"
        "CREATE INDEX frames_heard_long ON frames(digest, last_ms) WHERE " + HeardLong() + ";",
        // 4: a reception known by its station too: two stations' captures of the same name, or
        // their receptions live from the same address on their own machines, are two
        // (the key's columns first: SQLite 3.40's integrity check misreads a table whose key
        // takes its columns in another order)
        "CREATE TABLE receptions_4(frame INTEGER NOT NULL REFERENCES frames(id), source TEXT NOT NULL, "
        "station TEXT NOT NULL, time_ms INTEGER NOT NULL, PRIMARY KEY(frame, source, station)) WITHOUT ROWID;"
        "INSERT INTO receptions_4(frame, source, station, time_ms) SELECT frame, source, station, time_ms FROM receptions;"
        "DROP TABLE receptions; ALTER TABLE receptions_4 RENAME TO receptions;",
    };
}

int IntegerOf(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    int value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    return value;
}

std::string_view TextColumn(sqlite3_stmt* query, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(query, column));
    return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(query, column))) : std::string_view();
}

std::string_view BlobColumn(sqlite3_stmt* query, int column) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(query, column));
    return bytes ? std::string_view(bytes, static_cast<std::size_t>(sqlite3_column_bytes(query, column))) : std::string_view();
}

// An empty view may point nowhere, which SQLite would bind as NULL.
void BindText(sqlite3_stmt* statement, int index, std::string_view text) {
    sqlite3_bind_text(statement, index, text.empty() ? "" : text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

void BindBlob(sqlite3_stmt* statement, int index, std::string_view bytes) {
    sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
}

// A statement's parameters from a first one on, bound in turn.
struct Binder {
    sqlite3_stmt* statement;
    int next;
    void Null() { sqlite3_bind_null(statement, next++); }
    void Text(std::string_view text) { BindText(statement, next++, text); }
    void Real(double value) { sqlite3_bind_double(statement, next++, value); }
    void Integer(std::int64_t value) { sqlite3_bind_int64(statement, next++, value); }
    void Blob(std::string_view bytes) { BindBlob(statement, next++, bytes); }
};

}  // namespace

// A row of a query, read by column.
struct SqliteArchive::Row {
    sqlite3_stmt* statement;
    std::int64_t Integer(int column) const { return sqlite3_column_int64(statement, column); }
    double Real(int column) const { return sqlite3_column_double(statement, column); }
    std::string_view Text(int column) const { return TextColumn(statement, column); }
    std::string_view Bytes(int column) const { return BlobColumn(statement, column); }
    bool Null(int column) const { return sqlite3_column_type(statement, column) == SQLITE_NULL; }
};

// The archive's statements, prepared once: those the rules of the merge and a rebuild call, and
// those of the summaries.
struct SqliteArchive::Statements : MergeStatements, RebuildStatements {
    explicit Statements(sqlite3* connection) : db(connection) {}
    ~Statements() override {
        for (sqlite3_stmt* statement : {framesNear, heardLongNear, anyHeardLong, nextId, insertFrames[0], insertFrames[1], insertReceptions[0],
                                        insertReceptions[1], widen, decoded, framesAfter})
            sqlite3_finalize(statement);
        for (sqlite3_stmt* statement : merge) sqlite3_finalize(statement);
        for (int level = 0; level < kSummaryLevels; ++level)
            for (sqlite3_stmt* statement : {addSummary[level], clearSummaries[level], summarize[level]})
                sqlite3_finalize(statement);
    }
    sqlite3_stmt* framesNear = nullptr;     // an hour's frames, read once a batch
    sqlite3_stmt* heardLongNear = nullptr;  // ... and those heard long, a reception's own
    sqlite3_stmt* anyHeardLong = nullptr;   // whether there are any to look for
    sqlite3_stmt* nextId = nullptr;
    std::array<sqlite3_stmt*, 2> insertFrames{}, insertReceptions{};  // of 1 row, and of many
    sqlite3_stmt* widen = nullptr;          // ?1 a frame, ?2 and ?3 its span
    std::array<sqlite3_stmt*, 3> merge{};  // ?1 the packet kept, ?2 the one emptied
    BatchFrames batch;        // what the batch in hand knows and has yet to write
    std::int64_t freeId = 0;  // the next frame's, once the batch has read it
    // whether the archive had frames heard long when the batch began; those that grew so
    // long since are in the batch's memory
    std::optional<bool> heardLong;
    sqlite3_stmt* decoded = nullptr;  // a frame's decoded values, set anew
    sqlite3_stmt* framesAfter = nullptr;  // a rebuild's frames, a few thousand at a time
    // per summary level: a bucket's summary added to the table's; the buckets of a range
    // made anew from what they summarize
    std::array<sqlite3_stmt*, kSummaryLevels> addSummary{}, clearSummaries{}, summarize{};

    QString Error() const { return QString::fromUtf8(sqlite3_errmsg(db)); }
    QString Step(sqlite3_stmt* statement) {
        const int done = sqlite3_step(statement);
        sqlite3_reset(statement);
        return done == SQLITE_DONE || done == SQLITE_ROW ? QString() : Error();
    }

    // Hands each row of a statement of frames and sources to the batch.
    QString ReadInto(sqlite3_stmt* read) {
        int step;
        while ((step = sqlite3_step(read)) == SQLITE_ROW)
            batch.InArchive(sqlite3_column_int64(read, 0), sqlite3_column_int64(read, 1), sqlite3_column_int64(read, 2),
                            sqlite3_column_int64(read, 3), BlobColumn(read, 4), TextColumn(read, 5), TextColumn(read, 6));
        sqlite3_reset(read);
        return step == SQLITE_DONE ? QString() : Error();
    }

    QString FindSame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes, std::vector<SamePacket>& found) override {
        for (const std::int64_t start : batch.ToRead(timeMs - kSameTransmissionMs, timeMs + kSameTransmissionMs, kNearMs)) {
            sqlite3_bind_int64(framesNear, 1, start);
            sqlite3_bind_int64(framesNear, 2, start + kNearMs);
            if (QString error = ReadInto(framesNear); !error.isEmpty()) return error;
            batch.Read(start, kNearMs);
        }
        if (!heardLong) {
            const int step = sqlite3_step(anyHeardLong);
            heardLong = step == SQLITE_ROW && sqlite3_column_int(anyHeardLong, 0) != 0;
            sqlite3_reset(anyHeardLong);
            if (step != SQLITE_ROW) return Error();
        }
        if (*heardLong) {
            sqlite3_bind_int64(heardLongNear, 1, digest);
            sqlite3_bind_int64(heardLongNear, 2, timeMs);
            BindBlob(heardLongNear, 3, bytes);
            if (QString error = ReadInto(heardLongNear); !error.isEmpty()) return error;
        }
        batch.FindSame(timeMs, digest, bytes, found);
        return {};
    }

    // Ids follow the archive's greatest: the batch holds the writers' lock.
    QString InsertFrame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes,
                        const TelemetryRecord* telemetry, std::int64_t& id) override {
        if (freeId == 0) {
            if (sqlite3_step(nextId) == SQLITE_ROW) freeId = sqlite3_column_int64(nextId, 0);
            sqlite3_reset(nextId);
            if (freeId == 0) return Error();
        }
        id = freeId++;
        batch.Insert(id, timeMs, digest, bytes, telemetry);
        return {};
    }

    QString InsertReception(std::int64_t frame, const Reception& reception, bool& added) override {
        added = batch.AddReception(frame, reception);
        return {};
    }

    QString Widen(std::int64_t frame, std::int64_t timeMs) override {
        batch.Widen(frame, timeMs);
        return {};
    }

    QString Merge(std::int64_t into, const SamePacket& emptied) override {
        batch.Merge(into, emptied.id);
        return {};
    }

    // Rows of a list, so many a statement: the statement of many while they last, then the one
    // of a single row.
    template <typename Item, typename Bind>
    QString InsertRows(const std::vector<Item>& items, const std::array<sqlite3_stmt*, 2>& statements, int many, Bind bind) {
        for (std::size_t at = 0; at < items.size();) {
            const bool full = items.size() - at >= static_cast<std::size_t>(many);
            sqlite3_stmt* insert = statements[full ? 1 : 0];
            Binder binder{insert, 1};
            for (int k = 0; k < (full ? many : 1); ++k, ++at) bind(items[at], binder);
            if (QString error = Step(insert); !error.isEmpty()) return error;
        }
        return {};
    }

    // What the batch gathered: its new frames and receptions, many rows a statement; the known
    // frames' new spans; the packets emptied into others, which leave the archive.
    QString WriteBatch() {
        if (batch.empty()) return {};
        QString error = InsertRows(batch.Fresh(), insertFrames, kFramesAtOnce, [](const BatchFrames::Frame* frame, Binder& row) {
            for (const std::int64_t number : {frame->id, frame->timeMs, frame->lastMs, frame->digest}) row.Integer(number);
            row.Blob(frame->bytes);
            EachRecordField(frame->telemetry, row);
        });
        if (error.isEmpty())
            error = InsertRows(batch.receptions(), insertReceptions, kReceptionsAtOnce, [](const BatchFrames::NewReception& r, Binder& row) {
                row.Integer(r.frame);
                row.Text(r.source);
                row.Integer(r.timeMs);
                row.Text(r.station);
            });
        for (const auto& [id, span] : batch.widened()) {
            if (!error.isEmpty()) break;
            for (const auto& [index, value] : {std::pair{1, id}, {2, span.timeMs}, {3, span.lastMs}}) sqlite3_bind_int64(widen, index, value);
            error = Step(widen);
        }
        for (const auto& [emptied, into] : batch.merges())
            for (sqlite3_stmt* statement : merge) {
                if (!error.isEmpty()) break;
                sqlite3_bind_int64(statement, 1, into);
                sqlite3_bind_int64(statement, 2, emptied);
                error = Step(statement);
            }
        if (error.isEmpty()) batch.Written();
        return error;
    }

    QString ReadFrames(std::int64_t afterId, std::size_t count, std::vector<Frame>& frames) override {
        sqlite3_stmt* read = framesAfter;
        sqlite3_bind_int64(read, 1, afterId);
        sqlite3_bind_int64(read, 2, static_cast<std::int64_t>(count));
        frames.clear();
        int step;
        while ((step = sqlite3_step(read)) == SQLITE_ROW) frames.push_back({sqlite3_column_int64(read, 0), std::string(BlobColumn(read, 1))});
        sqlite3_reset(read);
        return step == SQLITE_DONE ? QString() : Error();
    }

    QString WriteValues(std::span<const Frame> frames, std::span<const TelemetryRecord* const> values) override {
        for (std::size_t i = 0; i < frames.size(); ++i) {
            sqlite3_bind_int64(decoded, 1, frames[i].id);
            Binder fields{decoded, 2};
            EachRecordField(values[i], fields);
            if (QString error = Step(decoded); !error.isEmpty()) return error;
        }
        return {};
    }

    QString RemakeSummaries(int level, const TimeRange& range) override {
        for (sqlite3_stmt* statement : {clearSummaries[static_cast<std::size_t>(level)],
                                        summarize[static_cast<std::size_t>(level)]}) {
            sqlite3_bind_int64(statement, 1, range.from.value_or(INT64_MIN));
            sqlite3_bind_int64(statement, 2, range.to.value_or(INT64_MAX));
            if (QString error = Step(statement); !error.isEmpty()) return error;
        }
        return {};
    }

    sqlite3* db;
};

SqliteArchive::SqliteArchive(sqlite3* db) : SqlArchive(kSql), db_(db), statements_(std::make_unique<Statements>(db)) {}

SqliteArchive::~SqliteArchive() {
    if (const QString error = Commit(); !error.isEmpty()) qWarning("%s: %s", qPrintable(path_), qPrintable(error));
    statements_.reset();
    sqlite3_close(db_);
}

std::unique_ptr<SqliteArchive> SqliteArchive::Open(const QString& path, Mode mode, QString& error) {
    const QFileInfo info(path);
    const bool missing = !info.exists();
    const bool fresh = missing || (info.isFile() && info.size() == 0);
    if (fresh && mode == Mode::ReadOnly) {
        error = path + " is no archive yet";
        return nullptr;
    }
    if (fresh) {
        if (error = MakeFolder(info.path()); !error.isEmpty()) return nullptr;
    }
    std::unique_ptr<SqliteArchive> archive = Check(Connect(path, mode, false, error), mode, error);
    if (!archive && missing) {
        // what a failed creation made (a full disk, say) would pass for a new archive next time
        for (const char* suffix : kSqliteCompanions) QFile::remove(path + suffix);
    }
    return archive;
}

// The file is looked at through SQLite alone: this process may hold other connections to it,
// and closing any other handle of the file would drop their locks, letting another process
// take itself for the archive's last user and remove the journal under them.
std::unique_ptr<SqliteArchive> SqliteArchive::Check(std::unique_ptr<SqliteArchive> archive, Mode mode, QString& error) {
    if (!archive) return nullptr;
    const QString path = archive->path_;
    int applicationId = IntegerOf(archive->db_, "PRAGMA application_id");
    // an archive on a read-only medium has no room for the WAL's shared memory: read it as
    // a file that cannot change
    if (applicationId < 0 && mode == Mode::ReadOnly && sqlite3_errcode(archive->db_) != SQLITE_NOTADB) {
        archive = Connect(path, mode, true, error);
        if (!archive) return nullptr;
        applicationId = IntegerOf(archive->db_, "PRAGMA application_id");
    }
    sqlite3* db = archive->db_;
    if (applicationId < 0) {
        error = sqlite3_errcode(db) == SQLITE_NOTADB ? path + " is not an orca5 archive" : path + ": " + archive->Error();
        return nullptr;
    }
    const int version = IntegerOf(db, "PRAGMA user_version");
    const int objects = IntegerOf(db, "SELECT count(*) FROM sqlite_master");
    const bool empty = applicationId == 0 && version == 0 && objects == 0;
    if (applicationId != kApplicationId && !(empty && mode == Mode::ReadWrite)) {
        error = path + " is not an orca5 archive";
        return nullptr;
    }
    if (version > kArchiveSchemaVersion) {
        error = NewerVersionText(path, version);
        return nullptr;
    }
    // what reads needs no statement of its own; an archive of an older version read as it is
    if (mode == Mode::ReadOnly) return archive;
    if (error = archive->Migrate(version); error.isEmpty()) error = archive->Prepare();
    if (!error.isEmpty()) {
        error = path + ": " + error;
        return nullptr;
    }
    return archive;
}

std::unique_ptr<SqliteArchive> SqliteArchive::Connect(const QString& path, Mode mode, bool immutable, QString& error) {
    sqlite3* db = nullptr;
    // one thread uses a connection: SQLite's own locks on it would only cost time
    const int flags = (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
    const QByteArray name = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() +
                            (immutable ? "?immutable=1" : "");
    const int opened = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    std::unique_ptr<SqliteArchive> archive(new SqliteArchive(db));
    archive->path_ = path;
    if (opened != SQLITE_OK) {
        error = path + ": " + archive->Error();
        return nullptr;
    }
    sqlite3_busy_timeout(db, 60000);  // another program writing the archive holds it only for a batch
    archive->Execute("PRAGMA cache_size = -8192");  // 8 MB of pages, whatever the archive's size
    return archive;
}

QString SqliteArchive::Migrate(int version) {
    // pages of 16 KiB hold two dozen frames with their values; checkpoints every 64 MB of WAL
    // rather than every 4 MB spare most of their syncs
    if (version == 0) Execute("PRAGMA page_size = 16384");
    if (QString error = Execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA wal_autocheckpoint = 4096");
        !error.isEmpty())
        return error;
    const std::vector<std::string> migrations = Migrations();
    for (int step = version; step < kArchiveSchemaVersion; ++step) {
        if (QString error = Execute("BEGIN IMMEDIATE"); !error.isEmpty()) return error;
        // another program may have taken the same step while this one waited
        if (IntegerOf(db_, "PRAGMA user_version") == step) {
            const std::string sql = migrations[static_cast<std::size_t>(step)] + "PRAGMA user_version = " +
                                    std::to_string(step + 1) + "; PRAGMA application_id = " + std::to_string(kApplicationId);
            if (QString error = Execute(sql.c_str()); !error.isEmpty()) {
                Execute("ROLLBACK");
                return error;
            }
        }
        if (QString error = Execute("COMMIT"); !error.isEmpty()) return error;
    }
    return {};
}

QString SqliteArchive::Error() const { return statements_->Error(); }

MergeStatements& SqliteArchive::merging() { return *statements_; }
RebuildStatements& SqliteArchive::rebuilding() { return *statements_; }

QString SqliteArchive::Execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return {};
    const QString error = QString::fromUtf8(message ? message : sqlite3_errstr(sqlite3_errcode(db_)));
    sqlite3_free(message);
    return error;
}

QString SqliteArchive::Prepare() {
    const std::string frames = "INSERT INTO frames(id, time_ms, last_ms, digest, bytes, obc_time" +
                               EachChannel([](const std::string& column, int) { return ", " + column; }) + ") VALUES";
    const std::string receptions = "INSERT OR IGNORE INTO receptions(frame, source, time_ms, station) VALUES";
    constexpr int kFrameWidth = 6 + kChannelCount;
    const std::pair<sqlite3_stmt**, std::string> statements[] = {
        {&statements_->framesNear, FramesNearSql()},
        {&statements_->heardLongNear, HeardLongNearSql()},
        {&statements_->anyHeardLong, "SELECT EXISTS (SELECT 1 FROM frames WHERE " + HeardLong() + ")"},
        {&statements_->nextId, "SELECT coalesce(max(id), 0) + 1 FROM frames"},
        {&statements_->insertFrames[0], frames + ValueRows(1, kFrameWidth)},
        {&statements_->insertFrames[1], frames + ValueRows(kFramesAtOnce, kFrameWidth)},
        {&statements_->insertReceptions[0], receptions + ValueRows(1, 4)},
        {&statements_->insertReceptions[1], receptions + ValueRows(kReceptionsAtOnce, 4)},
        {&statements_->widen, "UPDATE frames SET time_ms = min(time_ms, ?2), last_ms = max(last_ms, ?3) WHERE id = ?1"},
        {&statements_->merge[0], "UPDATE OR IGNORE receptions SET frame = ?1 WHERE frame = ?2"},
        {&statements_->merge[1], "DELETE FROM receptions WHERE frame = ?2"},  // heard by the same station from the same source in both
        {&statements_->merge[2], "DELETE FROM frames WHERE id = ?2"},
        {&statements_->decoded, kSql.Decoded()},
        {&statements_->framesAfter, kSql.FramesAfter()},
    };
    std::vector<std::pair<sqlite3_stmt**, std::string>> summaries;
    for (int level = 0; level < kSummaryLevels; ++level) {
        summaries.emplace_back(&statements_->addSummary[level], kSql.AddSummary(level));
        summaries.emplace_back(&statements_->clearSummaries[level], kSql.ClearSummaries(level));
        summaries.emplace_back(&statements_->summarize[level], kSql.Summarize(level, true));
    }
    for (const auto& list : {std::span<const std::pair<sqlite3_stmt**, std::string>>(statements),
                             std::span<const std::pair<sqlite3_stmt**, std::string>>(summaries)})
        for (const auto& [statement, sql] : list)
            if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, statement, nullptr) != SQLITE_OK)
                return Error();
    return {};
}

// A failed write may have ended the transaction already: SQLite itself says whether one is open.
// Summaries still in hand then belong to packets that went with it.
QString SqliteArchive::BeginBatch() {
    if (!statements_->insertFrames[0]) return "the archive is open for reading only";
    if (!sqlite3_get_autocommit(db_)) return {};
    ForgetBatch();
    return Execute("BEGIN IMMEDIATE");
}

QString SqliteArchive::Commit() {
    if (sqlite3_get_autocommit(db_)) return {};
    QString error = WriteGathered();
    if (error.isEmpty()) error = Execute("COMMIT");
    if (!error.isEmpty()) Execute("ROLLBACK");
    // another program may write before the next batch: it reads the archive anew
    ForgetBatch();
    return error;
}

void SqliteArchive::Rollback() {
    if (!sqlite3_get_autocommit(db_)) Execute("ROLLBACK");
    ForgetBatch();
}

void SqliteArchive::ForgetBatch() {
    merge_.summaries().Clear();
    statements_->batch.Clear();
    statements_->freeId = 0;
    statements_->heardLong.reset();
}

// What the batch gathered in memory: its frames and receptions first, since the summaries
// remade from the frames read them.
QString SqliteArchive::WriteGathered() {
    if (QString error = statements_->WriteBatch(); !error.isEmpty()) return error;
    const auto add = [this](int level, std::int64_t start, const SummaryBuckets::Channels& channels) {
        sqlite3_stmt* statement = statements_->addSummary[static_cast<std::size_t>(level)];
        sqlite3_bind_int64(statement, 1, start);
        sqlite3_bind_int64(statement, 2, channels[0].packets);
        for (int i = 0; i < kChannelCount; ++i) {
            const ValueSummary& values = channels[static_cast<std::size_t>(i)];
            sqlite3_bind_double(statement, 3 + 3 * i, values.minimum);
            sqlite3_bind_double(statement, 4 + 3 * i, values.maximum);
            sqlite3_bind_double(statement, 5 + 3 * i, values.sum);
        }
        return statements_->Step(statement);
    };
    return merge_.summaries().Write(add, [this](int level, const TimeRange& range) { return statements_->RemakeSummaries(level, range); });
}

QString SqliteArchive::ForEachRow(const std::string& sql, const TimeRange& range, const std::function<void(const Row&)>& take,
                                  std::optional<std::string_view> station) {
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &query, nullptr) != SQLITE_OK) return Error();
    sqlite3_bind_int64(query, 1, range.from.value_or(INT64_MIN));
    sqlite3_bind_int64(query, 2, range.to.value_or(INT64_MAX));
    if (station) BindText(query, 3, *station);
    int done;
    while ((done = sqlite3_step(query)) == SQLITE_ROW) take(Row{query});
    sqlite3_finalize(query);
    return done == SQLITE_DONE ? QString() : Error();
}

template class SqlArchive<SqliteArchive>;
