#pragma once

#include "archive/sql_archive.h"
#include "archive/batch_frames.h"
#include "archive/postgres/copy_rows.h"

#include <memory>
#include <vector>

struct pg_conn;
struct pg_result;

// "postgresql://..." or "postgres://...": an archive on a PostgreSQL server.
bool IsPostgresUrl(const QString& location);

// An archive's location as messages show it: without a password in any of the forms libpq
// takes one ("user:secret@" in a URL, "password=" in its query or in a key-value string).
QString WithoutPassword(const QString& location);

// The archive on a PostgreSQL server, for a network of stations writing at once, through
// libpq. The tables are those of the SQLite archive with times as timestamptz ("time"); the
// schema is made and migrated only by its owner (Mode::Migrate), so a station's role needs no
// more than SELECT, INSERT and UPDATE. Each batch of a writer holds a lock of the archive's
// own inside its transaction: writers of overlapping captures take turns a batch at a time,
// and the rules of the merge see every packet the other wrote. A batch reads the frames near
// its receptions hours at a time, copies its new frames to the server as they come, and writes
// the rest of what it gathered many rows a statement.
class PostgresArchive : public SqlArchive<PostgresArchive>, private MergeStatements, private RebuildStatements {
public:
    enum class Mode { ReadWrite, ReadOnly, Migrate };

    // Connects with the URL (its libpq options passed on; the password from it, PGPASSWORD,
    // ~/.pgpass or a service file). Null with the reason, which never shows the password.
    static std::unique_ptr<PostgresArchive> Open(const QString& url, Mode mode, QString& error);
    ~PostgresArchive() override;

    QString Commit() override;
    void Rollback() override;
    bool Lost() override;
    bool Reconnect() override;

    QString name() const override { return name_; }

private:
    friend class SqlArchive<PostgresArchive>;
    // A statement's parameters, as text.
    struct Parameters {
        std::vector<std::string> values;
        std::vector<bool> present;
        Parameters& Text(std::string text);
        Parameters& Number(std::int64_t number) { return Text(std::to_string(number)); }
        Parameters& Real(double value);  // in digits that read back as the same value
        Parameters& Null();
        // ... as libpq takes them: null for a NULL
        std::vector<const char*> Pointers() const;
    };
    using Rows = std::function<void(pg_result*)>;
    struct Row;

    PostgresArchive(pg_conn* connection, QString url, QString name);
    QString Run(const std::string& sql, const Parameters& parameters = {}, const Rows& take = {});
    enum class Answer { Text, Binary };
    QString RunPrepared(const char* statement, const Parameters& parameters, const Rows& take = {});
    QString Read(const char* statement, const Parameters& parameters, const Rows& take, Answer answer = Answer::Text);
    QString Execute(pg_conn* on, const char* statement, const Parameters& parameters, const Rows& take, Answer answer);
    QString OpenReader();
    // The frames near a batch's receptions, read as they are needed and asked for ahead.
    QString ReadNear(std::int64_t from, std::int64_t to);
    QString ReadStretches(const char* statement, std::int64_t from, std::int64_t to, std::int64_t length = kHourMs);
    static Parameters Stretches(const std::vector<std::int64_t>& starts, std::int64_t length);
    void TakeNear(pg_result* rows);
    QString AskAhead(std::int64_t from, std::int64_t to);
    // The frames asked for ahead, waited for: kept in the batch, or thrown away once it ends.
    enum class Keeping { Keep, Drop };
    QString TakeAhead(Keeping keeping = Keeping::Keep);
    void ForgetBatch();
    QString Migrate();
    QString Prepare(pg_conn* on);
    MergeStatements& merging() { return *this; }
    RebuildStatements& rebuilding() { return *this; }
    QString BeginBatch();
    // ... with no limit on its statements' time
    QString BeginRebuild();
    QString ReadSchemaVersion(int& version);
    // The archive's URL with the database's owner as its user: what the owner runs.
    QString OwnersUrl();
    // Why a statement failed, in the server's words, or that the server went away.
    QString Failure(pg_result* result, pg_conn* on = nullptr);
    QString WriteBatch();
    // Rows copied into a table: the copy started, its rows (copy_) sent as they come, and ended
    // when the connection is next used; or all at once.
    QString StartCopy(const std::string& into);
    enum class Ending { Kept, GivenUp };
    QString FinishCopy(Ending ending = Ending::Kept);
    QString Copy(const std::string& into, CopyRows rows);
    QString CopyFrame(std::int64_t id, std::int64_t timeMs, std::int64_t digest, std::string_view bytes, const TelemetryRecord* telemetry);
    QString UpdateRows(const std::string& head, const std::string& tail, std::size_t count, int width,
                       const std::function<std::string(int first)>& row, const std::function<void(std::size_t, Parameters&)>& fill);
    // What the batch gathered in memory, written before it commits.
    QString WriteGathered();
    QString ReadFrames(std::int64_t afterId, std::size_t count, std::vector<Frame>& frames) override;
    QString WriteValues(std::span<const Frame> frames, std::span<const TelemetryRecord* const> values) override;
    QString RemakeSummaries(int level, const TimeRange& range) override;
    // A range's bounds as the parameters 1 and 2; the rows of a query of them, and of a station
    // as 3 when one is given.
    static Parameters Bounds(const TimeRange& range);
    QString ForEachRow(const std::string& sql, const TimeRange& range, const std::function<void(const Row&)>& take,
                       std::optional<std::string_view> station = std::nullopt);

    QString FindSame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes, std::vector<SamePacket>& found) override;
    QString InsertFrame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes, const TelemetryRecord* telemetry,
                        std::int64_t& id) override;
    QString InsertReception(std::int64_t frame, const Reception& reception, bool& added) override;
    QString Widen(std::int64_t frame, std::int64_t timeMs) override;
    QString Merge(std::int64_t into, const SamePacket& emptied) override;

    pg_conn* connection_;
    pg_conn* reader_ = nullptr;  // the batch's reads
    std::vector<std::int64_t> ahead_;  // the hours asked for ahead, by their start
    QString url_, name_;
    bool inBatch_ = false;
    bool copying_ = false;  // a copy is open
    CopyRows copy_;
    BatchFrames batch_;
    std::vector<std::int64_t> freeIds_;  // taken from the server for new frames
};

extern template class SqlArchive<PostgresArchive>;
