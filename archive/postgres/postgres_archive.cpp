#include "archive/postgres/postgres_archive.h"

#include "archive/archive_sql.h"
#include "archive/sql_archive_reading.h"
#include "archive/postgres/copy_rows.h"

#include "intake/frame_recognition.h"
#include "telemetry/hex_text.h"
#include "telemetry/time_stamps.h"

#include <libpq-fe.h>

#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

#include <charconv>

namespace {

// The lock a writer holds for a batch, and the schema's owner for a migration: "ORC5".
constexpr char kWriterLock[] = "SELECT pg_advisory_xact_lock(1330791221)";

// An open end of a range: some 6000 years away, within what the server's times can hold.
constexpr std::int64_t kFarMs = 200'000'000'000'000;

// Milliseconds since 1970 as the server's time, and back, exactly.
std::string TimeOf(const std::string& parameter) { return "(timestamptz 'epoch' + " + parameter + "::bigint * interval '1 millisecond')"; }
std::string MillisecondsOf(const std::string& column) { return "(extract(epoch from " + column + ") * 1000)::bigint"; }

const ArchiveSql kSql({.time = "time", .milliseconds = MillisecondsOf, .timeOf = TimeOf, .placeholder = '$', .integer = "bigint",
                       .real = "double precision", .text = "text", .least = "LEAST", .greatest = "GREATEST",
                       .stations = "string_agg(station, ',' ORDER BY source COLLATE \"C\", station COLLATE \"C\")", .bytewise = " COLLATE \"C\"", .deletes = false});

// A packet heard over more than a minute (a second station, an export's clock off): the few a
// search of the hours around a reception, and a minute before them, would miss.
constexpr std::int64_t kHeardLongMs = 60000;
std::string HeardLong(const std::string& table = {}) {
    return table + "last_time - " + table + "time > interval '" + std::to_string(kHeardLongMs) + " milliseconds'";
}

// Each migration takes the archive one version up; all of them run in one transaction. Each
// names the channels' columns as its version did.
std::vector<std::string> Migrations() {
    const auto all = [](int version) {
        return EachChannel([](const std::string& column, int) { return ", " + column; }, ReleasedColumns(version));
    };
    return {
        // 1: every frame once, the time of its earliest reception and its bytes, a telemetry
        // frame's values beside them; each reception
        "CREATE TABLE orca5_schema(version integer NOT NULL); INSERT INTO orca5_schema VALUES (0);"
        "CREATE TABLE frames(id bigserial PRIMARY KEY, time timestamptz NOT NULL, digest bigint NOT NULL, "
        "bytes bytea NOT NULL, obc_time text" + kSql.ChannelColumns(ReleasedColumns(1)) + ");"
        "CREATE INDEX frames_by_time ON frames(time, digest);"
        "CREATE TABLE receptions(frame bigint NOT NULL REFERENCES frames(id), source text NOT NULL, "
        "time timestamptz NOT NULL, station text NOT NULL, PRIMARY KEY(frame, source));"
        "CREATE VIEW packets AS SELECT id AS frame, time, obc_time" + all(1) + " FROM frames WHERE obc_time IS NOT NULL;",
        // 2: the summaries, made from the packets the archive has
        kSql.SummaryTables(ReleasedColumns(2)),
        // 3: each frame's latest reception beside its earliest, so that a reception finds the
        // packet it is within 10 minutes of by that span; a packet emptied into another has no
        // time (a station may not delete it), so no range holds it
        "ALTER TABLE frames ADD COLUMN last_time timestamptz;"
        "UPDATE frames f SET last_time = GREATEST(f.time, (SELECT max(r.time) FROM receptions r WHERE r.frame = f.id));"
        "ALTER TABLE frames ALTER COLUMN last_time SET NOT NULL, ALTER COLUMN time DROP NOT NULL;"
        "CREATE INDEX frames_heard_long ON frames USING gist (tstzrange(time, last_time, '[]')) WHERE " + HeardLong() + ";"
        "CREATE OR REPLACE VIEW packets AS SELECT id AS frame, time, obc_time" + all(3) +
            " FROM frames WHERE obc_time IS NOT NULL AND time IS NOT NULL;",
        // 4: a reception known by its station too: two stations' captures of the same name, or
        // their receptions live from the same address on their own machines, are two
        "ALTER TABLE receptions DROP CONSTRAINT receptions_pkey, ADD PRIMARY KEY (frame, source, station);",
    };
}

// A batch's new frames go to the server as they come, in pieces of about this many bytes, so
// that the server takes in their wide rows (most of a batch's time) while this side decodes.
constexpr std::size_t kCopyPiece = 64 * 1024;

std::string FrameColumns() { return "frames(id, time, last_time, digest, bytes, obc_time" + EachChannel([](const std::string& c, int) { return ", " + c; }) + ")"; }

// A writer takes new frames' ids from the server this many at a time; those it does not use
// stay unused.
constexpr int kIdsAtOnce = 4096;

// The frames a condition picks, then their receptions' sources and times: what a batch keeps of
// them, read in binary as the server keeps them. A row a frame (its source null) and a row a
// reception (its span null), so that a frame's bytes come once however many stations heard it.
// The receptions are looked up by the frames' ids: joined, the server chose to read every
// reception of the archive for a minute's frames.
std::string FramesNear(const std::string& condition) {
    return "SELECT f.id, f.time, f.last_time, f.digest, f.bytes, NULL, NULL, NULL FROM frames f WHERE " + condition +
           " UNION ALL SELECT r.frame, NULL, NULL, NULL, NULL, r.source, r.station, r.time FROM receptions r WHERE r.frame = ANY(ARRAY(SELECT f.id FROM frames f WHERE " +
           condition + "))";
}

// The statements of a writer, prepared once a connection: those of its batches' reads on the
// connection that reads, the rest on the one that writes.
struct Prepared {
    const char* name;
    std::string sql;
};

std::vector<Prepared> ReaderStatements() {
    return {
        // the frames heard in a stretch of time: those heard over a minute at most by the time
        // index (read an hour at a time), the few heard longer by their span's (a day at a time)
        {"frames_near", FramesNear("f.time >= " + TimeOf("$1") + " - interval '" + std::to_string(kHeardLongMs) + " milliseconds' AND f.time < " +
                                   TimeOf("$2") + " AND NOT (" + HeardLong("f.") + ")")},
        {"frames_heard_long", FramesNear("tstzrange(f.time, f.last_time, '[]') && tstzrange(" + TimeOf("$1") + ", " + TimeOf("$2") +
                                         ") AND " + HeardLong("f."))},
        {"frame_ids", "SELECT nextval('frames_id_seq') FROM generate_series(1, " + std::to_string(kIdsAtOnce) + ")"},
    };
}

std::vector<Prepared> WriterStatements() {
    std::vector<Prepared> statements{
        {"widen", "UPDATE frames f SET time = LEAST(f.time, " + TimeOf("v.time") + "), last_time = GREATEST(f.last_time, " + TimeOf("v.last") +
                      ") FROM unnest($1::bigint[], $2::bigint[], $3::bigint[]) AS v(id, time, last) WHERE f.id = v.id"},
        {"frames_after", kSql.FramesAfter()},
    };
    static const char* const kAdd[] = {"add_summary_0", "add_summary_1", "add_summary_2"};
    static_assert(std::size(kAdd) == kSummaryLevels);
    for (int level = 0; level < kSummaryLevels; ++level) statements.push_back({kAdd[level], kSql.AddSummary(level)});
    return statements;
}

std::string Text(pg_result* rows, int row, int column) {
    return std::string(PQgetvalue(rows, row, column), static_cast<std::size_t>(PQgetlength(rows, row, column)));
}

std::int64_t Number(pg_result* rows, int row, int column) { return std::strtoll(PQgetvalue(rows, row, column), nullptr, 10); }

// A bytea in the server's text form: "\x" and hexadecimal.
std::string Bytes(pg_result* rows, int row, int column) {
    return BytesFromHex(std::string_view(PQgetvalue(rows, row, column)).substr(2));
}

// The server's own words for a failure, without its "ERROR:" and the statement it quotes.
QString ServerError(pg_result* result) {
    const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    return QString::fromUtf8(primary ? primary : PQresultErrorMessage(result)).trimmed();
}

// What a station's role needs, said where it lacks it.
constexpr char kStationGrants[] =
    "; the archive's owner grants this role SELECT, INSERT and UPDATE on its tables and USAGE on its sequences";

// The shortest digits that read back as the same value.
std::string Digits(double value) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

}  // namespace

bool IsPostgresUrl(const QString& location) {
    return location.startsWith("postgresql://") || location.startsWith("postgres://");
}

QString WithoutPassword(const QString& location) {
    if (IsPostgresUrl(location)) {
        QUrl url(location);
        QUrlQuery query(url);
        query.removeAllQueryItems("password");
        if (query.isEmpty())
            url.setQuery(QString());
        else
            url.setQuery(query);
        return url.toString(QUrl::RemovePassword);
    }
    // a value quoted with '...' (a quote within it escaped with a backslash), or a word
    static const QRegularExpression kPassword(R"(\s*\bpassword\s*=\s*('(?:[^'\\]|\\.)*'|\S*))");
    return QString(location).remove(kPassword).trimmed();
}

std::vector<const char*> PostgresArchive::Parameters::Pointers() const {
    std::vector<const char*> pointers;
    for (std::size_t i = 0; i < values.size(); ++i) pointers.push_back(present[i] ? values[i].c_str() : nullptr);
    return pointers;
}

PostgresArchive::Parameters& PostgresArchive::Parameters::Text(std::string text) {
    values.push_back(std::move(text));
    present.push_back(true);
    return *this;
}

PostgresArchive::Parameters& PostgresArchive::Parameters::Real(double value) { return Text(Digits(value)); }

PostgresArchive::Parameters& PostgresArchive::Parameters::Null() {
    Text({});
    present.back() = false;
    return *this;
}

PostgresArchive::PostgresArchive(pg_conn* connection, QString url, QString name)
    : SqlArchive(kSql), connection_(connection), url_(std::move(url)), name_(std::move(name)) {}

PostgresArchive::~PostgresArchive() {
    if (const QString error = Commit(); !error.isEmpty()) qWarning("%s: %s", qPrintable(name_), qPrintable(error));
    PQfinish(connection_);
    PQfinish(reader_);
}

// A server that does not answer is given up on: a connection in 10 seconds, a peer gone silent
// in about two minutes, a statement after 15 minutes (none of a station's takes near that; the
// owner's migration is not limited). A writer's reads are of a few hours: the workers a server
// started for one took a hundred times as long as the read. The URL's own options come after
// these and win.
pg_conn* Connect(const QString& url, PostgresArchive::Mode mode) {
    const QByteArray given = url.toUtf8();
    std::vector<const char*> keywords{"connect_timeout", "keepalives", "keepalives_idle", "keepalives_interval", "keepalives_count"};
    std::vector<const char*> values{"10", "1", "60", "10", "6"};
    if (mode != PostgresArchive::Mode::Migrate) {
        keywords.push_back("options");
        values.push_back(mode == PostgresArchive::Mode::ReadWrite ? "-c statement_timeout=900000 -c max_parallel_workers_per_gather=0"
                                                                  : "-c statement_timeout=900000");
    }
    keywords.insert(keywords.end(), {"dbname", nullptr});
    values.insert(values.end(), {given.constData(), nullptr});
    return PQconnectdbParams(keywords.data(), values.data(), 1);
}

std::unique_ptr<PostgresArchive> PostgresArchive::Open(const QString& url, Mode mode, QString& error) {
    const QString name = WithoutPassword(url);
    std::unique_ptr<PostgresArchive> archive(new PostgresArchive(Connect(url, mode), url, name));
    if (PQstatus(archive->connection_) != CONNECTION_OK) {
        error = name + ": " + QString::fromUtf8(PQerrorMessage(archive->connection_)).trimmed();
        return nullptr;
    }
    // what the server says outside an answer (its shutdown, say) is told as a failure, never
    // printed as libpq has it
    PQsetNoticeProcessor(archive->connection_, [](void*, const char*) {}, nullptr);
    archive->Run("SET client_min_messages = warning");
    if (mode == Mode::Migrate) {
        if (error = archive->Migrate(); !error.isEmpty()) {
            error = name + " could not be migrated: " + error + "; migrating needs the owner of the database";
            return nullptr;
        }
    }
    int version = 0;
    if (const QString problem = archive->ReadSchemaVersion(version); !problem.isEmpty()) {
        error = name + ": " + problem + kStationGrants;
        return nullptr;
    }
    if (version > kArchiveSchemaVersion) {
        error = NewerVersionText(name, version);
        return nullptr;
    }
    if (mode == Mode::ReadOnly) return archive;
    if (version < kArchiveSchemaVersion) {
        error = (version == 0 ? name + " has no orca5 archive yet"
                              : QStringLiteral("%1 is an orca5 archive of version %2; this program writes version %3").arg(name).arg(version).arg(kArchiveSchemaVersion)) +
                QStringLiteral("; its owner runs: orca5-decode --archive %1 --migrate").arg(archive->OwnersUrl());
        return nullptr;
    }
    if (error = archive->Prepare(archive->connection_); !error.isEmpty()) {
        error = name + ": " + error;
        return nullptr;
    }
    return archive;
}

QString PostgresArchive::ReadSchemaVersion(int& version) {
    version = 0;
    bool made = false;
    if (QString error = Run("SELECT to_regclass('orca5_schema') IS NOT NULL", {}, [&](pg_result* rows) { made = Text(rows, 0, 0) == "t"; });
        !error.isEmpty() || !made)
        return error;
    return Run("SELECT version FROM orca5_schema", {}, [&](pg_result* rows) { version = static_cast<int>(Number(rows, 0, 0)); });
}

QString PostgresArchive::OwnersUrl() {
    QString owner;
    Run("SELECT pg_get_userbyid(datdba) FROM pg_database WHERE datname = current_database()", {},
        [&](pg_result* rows) { owner = QString::fromStdString(Text(rows, 0, 0)); });
    QUrl url(name_);
    if (!owner.isEmpty()) url.setUserName(owner);
    return url.toString();
}

QString PostgresArchive::Failure(pg_result* result, pg_conn* on) {
    if (!on) on = connection_;
    if (PQstatus(on) == CONNECTION_BAD)
        return "the server closed the connection (it was stopped or restarted, or the network failed), and the batch in "
               "hand went with it: read the same files again once it answers, and what the archive has is skipped";
    return result ? ServerError(result) : QString::fromUtf8(PQerrorMessage(on)).trimmed();
}

QString PostgresArchive::Migrate() {
    if (QString error = Run(std::string("BEGIN; ") + kWriterLock); !error.isEmpty()) return error;
    // another owner may have taken the steps while this one waited
    int version = 0;
    if (QString error = ReadSchemaVersion(version); !error.isEmpty()) {
        Run("ROLLBACK");
        return error;
    }
    const std::vector<std::string> migrations = Migrations();
    for (int step = version; step < kArchiveSchemaVersion; ++step) {
        const std::string sql = migrations[static_cast<std::size_t>(step)] + "UPDATE orca5_schema SET version = " + std::to_string(step + 1);
        if (QString error = Run(sql); !error.isEmpty()) {
            Run("ROLLBACK");
            return error;
        }
    }
    // A reception's frame is one its writer read or wrote under the writers' lock, and no frame
    // is ever deleted: the server's check of each reception cost more than writing it. Writers of
    // any version work with or without it, so it takes no version.
    if (QString error = Run("ALTER TABLE receptions DROP CONSTRAINT IF EXISTS receptions_frame_fkey"); !error.isEmpty()) {
        Run("ROLLBACK");
        return error;
    }
    return Run("COMMIT");
}

QString PostgresArchive::Prepare(pg_conn* on) {
    for (const auto& [name, sql] : on == reader_ ? ReaderStatements() : WriterStatements()) {
        PGresult* prepared = PQprepare(on, name, sql.c_str(), 0, nullptr);
        const bool done = PQresultStatus(prepared) == PGRES_COMMAND_OK;
        const QString error = done ? QString() : Failure(prepared, on);
        PQclear(prepared);
        if (!done) return error;
    }
    return {};
}

QString PostgresArchive::Run(const std::string& sql, const Parameters& parameters, const Rows& take) {
    if (QString error = FinishCopy(); !error.isEmpty()) return error;
    // statements one after another (a migration, a transaction's start) go as they are
    if (parameters.values.empty() && !take) {
        PGresult* result = PQexec(connection_, sql.c_str());
        const bool done = PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
        const QString error = done ? QString() : Failure(result);
        PQclear(result);
        return error;
    }
    // a query's rows come one at a time, so a million packets never stand in memory at once
    const std::vector<const char*> values = parameters.Pointers();
    if (!PQsendQueryParams(connection_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr, nullptr, 0))
        return Failure(nullptr);
    PQsetSingleRowMode(connection_);
    QString error;
    while (PGresult* result = PQgetResult(connection_)) {
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK) {
            if (take && error.isEmpty() && PQntuples(result) > 0) take(result);
        } else if (status != PGRES_COMMAND_OK && error.isEmpty()) {
            error = Failure(result);
        }
        PQclear(result);
    }
    return error;
}

QString PostgresArchive::RunPrepared(const char* statement, const Parameters& parameters, const Rows& take) {
    if (QString error = FinishCopy(); !error.isEmpty()) return error;
    return Execute(connection_, statement, parameters, take, Answer::Text);
}

// A batch's reads and its new frames' ids go through a second connection of the same role, so
// that the first keeps its copy open: the reads need not see what the batch wrote, which it
// knows already, and the writers' lock the first holds keeps every other writer's batch out.
QString PostgresArchive::Read(const char* statement, const Parameters& parameters, const Rows& take, Answer answer) {
    if (QString error = OpenReader(); !error.isEmpty()) return error;
    if (QString error = TakeAhead(); !error.isEmpty()) return error;
    return Execute(reader_, statement, parameters, take, answer);
}

QString PostgresArchive::OpenReader() {
    if (reader_) return {};
    reader_ = Connect(url_, Mode::ReadWrite);
    PQsetNoticeProcessor(reader_, [](void*, const char*) {}, nullptr);
    QString error = PQstatus(reader_) == CONNECTION_OK ? Prepare(reader_) : QString::fromUtf8(PQerrorMessage(reader_)).trimmed();
    if (error.isEmpty()) return {};
    PQfinish(reader_);
    reader_ = nullptr;
    return "a second connection for the batch's reads: " + error;
}

QString PostgresArchive::Execute(pg_conn* on, const char* statement, const Parameters& parameters, const Rows& take, Answer answer) {
    const std::vector<const char*> values = parameters.Pointers();
    PGresult* result = PQexecPrepared(on, statement, static_cast<int>(values.size()), values.data(), nullptr, nullptr, answer == Answer::Binary);
    const ExecStatusType status = PQresultStatus(result);
    const bool done = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (done && take) take(result);
    const QString error = done ? QString() : Failure(result, on);
    PQclear(result);
    return error;
}

// A batch is a transaction that holds the writers' lock: a failure ends it, and the summaries
// in hand go with it.
QString PostgresArchive::BeginBatch() {
    if (inBatch_ && (copying_ || PQtransactionStatus(connection_) == PQTRANS_INTRANS)) return {};
    merge_.summaries().Clear();
    ForgetBatch();
    if (PQtransactionStatus(connection_) == PQTRANS_INERROR) Run("ROLLBACK");
    if (QString error = Run(std::string("BEGIN; ") + kWriterLock); !error.isEmpty()) return error;
    inBatch_ = true;
    return {};
}

QString PostgresArchive::Commit() {
    if (!inBatch_) return {};
    inBatch_ = false;
    QString error = FinishCopy();
    if (error.isEmpty()) error = PQtransactionStatus(connection_) == PQTRANS_INTRANS ? WriteGathered() : "the batch was lost";
    if (error.isEmpty()) error = Run("COMMIT");
    if (!error.isEmpty()) Run("ROLLBACK");
    ForgetBatch();
    return error;
}

void PostgresArchive::Rollback() {
    FinishCopy(Ending::GivenUp);
    if (inBatch_) Run("ROLLBACK");
    inBatch_ = false;
    merge_.summaries().Clear();
    ForgetBatch();
}

// What a batch read, and what it asked for ahead, go when it ends: the next may follow another
// writer's.
void PostgresArchive::ForgetBatch() {
    TakeAhead(Keeping::Drop);
    batch_.Clear();
}

// What the batch gathered in memory: its frames and receptions first, since the summaries
// remade from the frames read them.
QString PostgresArchive::WriteGathered() {
    if (QString error = WriteBatch(); !error.isEmpty()) return error;
    const auto add = [this](int level, std::int64_t start, const SummaryBuckets::Channels& channels) {
        Parameters parameters;
        parameters.Number(start).Number(channels[0].packets);
        for (const ValueSummary& values : channels) parameters.Real(values.minimum).Real(values.maximum).Real(values.sum);
        const std::string statement = "add_summary_" + std::to_string(level);
        return RunPrepared(statement.c_str(), parameters);
    };
    return merge_.summaries().Write(add, [this](int level, const TimeRange& range) { return RemakeSummaries(level, range); });
}

// The buckets of a range made anew; a station's role may not delete, so the emptied ones stay
// with no packets.
QString PostgresArchive::RemakeSummaries(int level, const TimeRange& range) {
    const Parameters bounds = Bounds(range);
    if (QString error = Run(kSql.ClearSummaries(level), bounds); !error.isEmpty()) return error;
    return Run(kSql.Summarize(level, true), bounds);
}

QString PostgresArchive::FindSame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes, std::vector<SamePacket>& found) {
    const std::int64_t from = timeMs - kSameTransmissionMs, to = timeMs + kSameTransmissionMs;
    // the hours near last, so that those it asks for ahead are not waited for at once
    if (QString error = ReadStretches("frames_heard_long", from, to, kDayMs); !error.isEmpty()) return error;
    if (QString error = ReadNear(from, to); !error.isEmpty()) return error;
    batch_.FindSame(timeMs, digest, bytes, found);
    return {};
}

// A capture goes on in time. The hours a reception needs are read with the three after them, a
// round trip for four; and the four after those are asked for at once, so that the server reads
// them while this side goes on with the receptions in hand.
QString PostgresArchive::ReadNear(std::int64_t from, std::int64_t to) {
    if (batch_.ToRead(from, to, kHourMs).empty()) return {};
    if (QString error = TakeAhead(); !error.isEmpty()) return error;
    if (QString error = ReadStretches("frames_near", from, to + 3 * kHourMs); !error.isEmpty()) return error;
    const std::int64_t next = batch_.ReadUntil(to, kHourMs);
    return AskAhead(next, next + 4 * kHourMs);
}

// The stretches of a length from `from` to `to` that the batch has not read, in one read.
QString PostgresArchive::ReadStretches(const char* statement, std::int64_t from, std::int64_t to, std::int64_t length) {
    const std::vector<std::int64_t> starts = batch_.ToRead(from, to, length);
    if (starts.empty()) return {};
    if (QString error = Read(statement, Stretches(starts, length), [this](pg_result* rows) { TakeNear(rows); }, Answer::Binary);
        !error.isEmpty())
        return error;
    for (const std::int64_t start : starts) batch_.Read(start, length);
    return {};
}

// The bounds of a read of stretches, from the first one's start to the last one's end.
PostgresArchive::Parameters PostgresArchive::Stretches(const std::vector<std::int64_t>& starts, std::int64_t length) {
    return Parameters().Number(starts.front()).Number(starts.back() + length);
}

// The frames of a read and what their receptions add to them: the frames come first.
void PostgresArchive::TakeNear(pg_result* rows) {
    const auto field = [rows](int row, int column) { return PQgetvalue(rows, row, column); };
    for (int row = 0; row < PQntuples(rows); ++row)
        if (PQgetisnull(rows, row, 5))
            batch_.InArchive(BinaryInteger(field(row, 0)), BinaryTimeMs(field(row, 1)), BinaryTimeMs(field(row, 2)),
                             BinaryInteger(field(row, 3)), Text(rows, row, 4), {}, {});
    for (int row = 0; row < PQntuples(rows); ++row)
        if (!PQgetisnull(rows, row, 5))
            batch_.HeardAt(BinaryInteger(field(row, 0)), Text(rows, row, 5), Text(rows, row, 6), BinaryTimeMs(field(row, 7)));
}

// The hours from `from` to `to` the batch has not read, asked for without waiting for them. The
// batch holds the writers' lock from the asking to the taking, so what the server reads is
// what the archive has for the batch; a batch that ends first throws it away.
QString PostgresArchive::AskAhead(std::int64_t from, std::int64_t to) {
    const std::vector<std::int64_t> starts = batch_.ToRead(from, to - 1, kHourMs);
    if (starts.empty()) return {};
    if (QString error = OpenReader(); !error.isEmpty()) return error;
    const Parameters range = Stretches(starts, kHourMs);  // outlives the pointers into it
    const std::vector<const char*> values = range.Pointers();
    if (!PQsendQueryPrepared(reader_, "frames_near", 2, values.data(), nullptr, nullptr, 1)) return Failure(nullptr, reader_);
    ahead_ = starts;
    return {};
}

QString PostgresArchive::TakeAhead(Keeping keeping) {
    if (ahead_.empty()) return {};
    QString error;
    while (PGresult* result = PQgetResult(reader_)) {
        if (PQresultStatus(result) == PGRES_TUPLES_OK) {
            if (keeping == Keeping::Keep) TakeNear(result);
        } else if (error.isEmpty()) {
            error = Failure(result, reader_);
        }
        PQclear(result);
    }
    if (error.isEmpty() && keeping == Keeping::Keep)
        for (const std::int64_t start : ahead_) batch_.Read(start, kHourMs);
    ahead_.clear();
    return keeping == Keeping::Keep ? error : QString();
}

QString PostgresArchive::InsertFrame(std::int64_t timeMs, std::int64_t digest, std::string_view bytes,
                                     const TelemetryRecord* telemetry, std::int64_t& id) {
    if (freeIds_.empty()) {
        const QString error = Read("frame_ids", {}, [this](pg_result* rows) {
            for (int row = PQntuples(rows) - 1; row >= 0; --row) freeIds_.push_back(Number(rows, row, 0));
        });
        if (!error.isEmpty()) return error;
    }
    id = freeIds_.back();
    freeIds_.pop_back();
    // copied at once, it is a frame the archive has from then on, which the batch changes as it
    // changes the frames it read
    batch_.InArchive(id, timeMs, timeMs, digest, bytes, {}, {});
    return CopyFrame(id, timeMs, digest, bytes, telemetry);
}

QString PostgresArchive::InsertReception(std::int64_t frame, const Reception& reception, bool& added) {
    added = batch_.AddReception(frame, reception);
    return {};
}

QString PostgresArchive::Widen(std::int64_t frame, std::int64_t timeMs) {
    batch_.Widen(frame, timeMs);
    return {};
}

QString PostgresArchive::Merge(std::int64_t into, const SamePacket& emptied) {
    batch_.Merge(into, emptied.id);
    return {};
}

// What the batch has gathered, many rows a statement: the receptions copied in (the new frames
// went as they came), and the known frames heard earlier than they were moved.
QString PostgresArchive::WriteBatch() {
    if (batch_.empty()) return {};
    CopyRows receptions;
    for (const BatchFrames::NewReception& reception : batch_.receptions())
        receptions.Row(4).Integer(reception.frame).Text(reception.source).Time(reception.timeMs).Text(reception.station);
    // A span moved later by under a minute from the packet's time is not written: the frame's row
    // is as wide as a packet, and each station of a network would rewrite it with its own
    // reception's time. Its receptions give its last one to whoever reads it (FramesNear); the
    // span of a packet heard longer, which its own index finds, is always written. The spans go
    // as three arrays, "{id,...}", that one statement takes apart.
    std::array<std::string, 3> spans;
    for (const auto& [id, span] : batch_.widened())
        if (span.earlier || span.lastMs - span.timeMs > kHeardLongMs)
            for (std::size_t k = 0; const std::int64_t number : {id, span.timeMs, span.lastMs})
                spans[k++].append(1, ',').append(std::to_string(number));
    QString error = Copy("receptions(frame, source, time, station)", std::move(receptions));
    if (error.isEmpty() && !spans[0].empty()) {
        Parameters arrays;
        for (std::string& numbers : spans) arrays.Text("{" + numbers.substr(1) + "}");
        error = RunPrepared("widen", arrays);
    }
    // a packet emptied into another: its receptions go over (but for a source the other has), and it has no time
    for (const auto& [emptied, into] : batch_.merges()) {
        if (!error.isEmpty()) break;
        const Parameters ids = Parameters().Number(emptied).Number(into);
        error = Run("UPDATE receptions SET frame = $2 WHERE frame = $1 AND (source, station) NOT IN (SELECT source, station FROM receptions WHERE frame = $2)", ids);
        if (error.isEmpty()) error = Run("UPDATE frames SET time = NULL WHERE id = $1 AND $2 > 0", ids);
    }
    if (error.isEmpty()) batch_.Written();
    return error;
}

// A new frame's row, added to the copy the batch keeps open, and sent with those before it once
// they fill a piece.
QString PostgresArchive::CopyFrame(std::int64_t id, std::int64_t timeMs, std::int64_t digest, std::string_view bytes,
                                   const TelemetryRecord* telemetry) {
    if (!copying_) {
        if (QString error = StartCopy(FrameColumns()); !error.isEmpty()) return error;
    }
    copy_.Row(6 + kChannelCount).Integer(id).Time(timeMs).Time(timeMs).Integer(digest).Text(bytes);
    EachRecordField(telemetry, copy_);
    if (copy_.size() < kCopyPiece) return {};
    const bool sent = PQputCopyData(connection_, copy_.data().data(), static_cast<int>(copy_.size())) == 1;
    copy_.Sent();
    return sent ? QString() : Failure(nullptr);
}

QString PostgresArchive::StartCopy(const std::string& into) {
    if (QString error = FinishCopy(); !error.isEmpty()) return error;
    PGresult* answer = PQexec(connection_, ("COPY " + into + " FROM STDIN (FORMAT binary)").c_str());
    copying_ = PQresultStatus(answer) == PGRES_COPY_IN;
    const QString error = copying_ ? QString() : Failure(answer);
    PQclear(answer);
    copy_ = CopyRows();
    return error;
}

QString PostgresArchive::FinishCopy(Ending ending) {
    if (!copying_) return {};
    copying_ = false;
    QString error;
    const std::string& rest = copy_.Finished();
    if (ending == Ending::GivenUp ? PQputCopyEnd(connection_, "the batch was given up") != 1
                                  : PQputCopyData(connection_, rest.data(), static_cast<int>(rest.size())) != 1 || PQputCopyEnd(connection_, nullptr) != 1)
        error = Failure(nullptr);
    // told once every answer is in: a server shutting down says so before it closes the connection
    PGresult* failed = nullptr;
    while (PGresult* result = PQgetResult(connection_)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK && !failed)
            failed = result;
        else
            PQclear(result);
    }
    if (failed && error.isEmpty()) error = Failure(failed);
    PQclear(failed);
    return error;
}

QString PostgresArchive::Copy(const std::string& into, CopyRows rows) {
    if (rows.empty()) return {};
    if (QString error = StartCopy(into); !error.isEmpty()) return error;
    copy_ = std::move(rows);
    return FinishCopy();
}

// Rows given a statement each few thousand, within the parameters a statement may have: each
// row of `width` parameters as VALUES takes them, from the number given on.
QString PostgresArchive::UpdateRows(const std::string& head, const std::string& tail, std::size_t count, int width,
                                    const std::function<std::string(int first)>& row,
                                    const std::function<void(std::size_t, Parameters&)>& fill) {
    const std::size_t atOnce = 65535 / static_cast<std::size_t>(width);
    for (std::size_t first = 0; first < count; first += atOnce) {
        std::string sql = head;
        Parameters parameters;
        for (std::size_t i = first; i < std::min(count, first + atOnce); ++i) {
            sql += (i == first ? "" : ", ") + row(static_cast<int>(parameters.values.size()) + 1);
            fill(i, parameters);
        }
        if (QString error = Run(sql + tail, parameters); !error.isEmpty()) return error;
    }
    return {};
}

// A row of a query's answer, read by column.
struct PostgresArchive::Row {
    pg_result* rows;
    int row;
    mutable std::string bytes;  // a bytea's, decoded
    std::int64_t Integer(int column) const { return Number(rows, row, column); }
    double Real(int column) const { return std::strtod(PQgetvalue(rows, row, column), nullptr); }
    bool Null(int column) const { return PQgetisnull(rows, row, column); }
    std::string_view Text(int column) const {
        return {PQgetvalue(rows, row, column), static_cast<std::size_t>(PQgetlength(rows, row, column))};
    }
    // in the server's text form: "\x" and hexadecimal
    std::string_view Bytes(int column) const { return bytes = BytesFromHex(Text(column).substr(2)); }
};

PostgresArchive::Parameters PostgresArchive::Bounds(const TimeRange& range) {
    return Parameters().Number(range.from.value_or(-kFarMs)).Number(range.to.value_or(kFarMs));
}

QString PostgresArchive::ForEachRow(const std::string& sql, const TimeRange& range, const std::function<void(const Row&)>& take,
                                    std::optional<std::string_view> station) {
    Parameters parameters = Bounds(range);
    if (station) parameters.Text(std::string(*station));
    return Run(sql, parameters, [&](pg_result* rows) {
        for (int row = 0; row < PQntuples(rows); ++row) take(Row{rows, row, {}});
    });
}

QString PostgresArchive::BeginRebuild() {
    if (QString error = BeginBatch(); !error.isEmpty()) return error;
    return Run("SET LOCAL statement_timeout = 0");
}

QString PostgresArchive::ReadFrames(std::int64_t afterId, std::size_t count, std::vector<Frame>& frames) {
    frames.clear();
    return RunPrepared("frames_after", Parameters().Number(afterId).Number(static_cast<std::int64_t>(count)), [&](pg_result* rows) {
        for (int row = 0; row < PQntuples(rows); ++row) frames.push_back({Number(rows, row, 0), Bytes(rows, row, 1)});
    });
}

// Many frames a statement: their ids and fields as VALUES, the frames updated from them.
QString PostgresArchive::WriteValues(std::span<const Frame> frames, std::span<const TelemetryRecord* const> values) {
    const std::string columns = "obc_time" + EachChannel([](const std::string& c, int) { return ", " + c; });
    const auto row = [](int first) {
        std::string sql = "($" + std::to_string(first) + "::bigint, $" + std::to_string(first + 1) + "::text";
        sql += EachChannel([&](const std::string&, int channel) {
            return ", $" + std::to_string(first + 2 + channel) + (channel == kJobIdChannel ? "::text" : "::double precision");
        });
        return sql + ")";
    };
    return UpdateRows("UPDATE frames f SET obc_time = v.obc_time" + EachChannel([](const std::string& c, int) { return ", " + c + " = v." + c; }) +
                          " FROM (VALUES ",
                      ") v(id, " + columns + ") WHERE f.id = v.id", frames.size(), 2 + kChannelCount, row,
                      [&](std::size_t i, Parameters& parameters) { EachRecordField(values[i], parameters.Number(frames[i].id)); });
}

bool PostgresArchive::Lost() { return PQstatus(connection_) == CONNECTION_BAD || (reader_ && PQstatus(reader_) == CONNECTION_BAD); }

bool PostgresArchive::Reconnect() {
    PQfinish(reader_);  // opened again when a batch reads
    reader_ = nullptr;
    ahead_.clear();
    PQreset(connection_);
    copying_ = false;
    if (PQstatus(connection_) != CONNECTION_OK) return false;
    inBatch_ = false;
    merge_.summaries().Clear();
    batch_.Clear();
    return Prepare(connection_).isEmpty();  // a statement is prepared a session
}

template class SqlArchive<PostgresArchive>;
