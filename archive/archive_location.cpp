#include "archive/archive_location.h"

#include "archive/postgres/postgres_archive.h"
#include "archive/sqlite/sqlite_archive.h"

namespace {

std::unique_ptr<SqliteArchive> OpenSqlite(const QString& location, SqliteArchive::Mode mode, QString& error) {
    auto archive = SqliteArchive::Open(location, mode, error);
    // a server's key-value string taken for a file's name is told without its password
    error.replace(location, WithoutPassword(location));
    return archive;
}

}  // namespace

std::unique_ptr<ArchiveReader> OpenArchiveReader(const QString& location, QString& error) {
    if (IsPostgresUrl(location)) return PostgresArchive::Open(location, PostgresArchive::Mode::ReadOnly, error);
    return OpenSqlite(location, SqliteArchive::Mode::ReadOnly, error);
}

std::unique_ptr<ArchiveWriter> OpenArchiveWriter(const QString& location, WriterRole role, QString& error) {
    if (IsPostgresUrl(location))
        return PostgresArchive::Open(location, role == WriterRole::Owner ? PostgresArchive::Mode::Migrate : PostgresArchive::Mode::ReadWrite,
                                     error);
    return OpenSqlite(location, SqliteArchive::Mode::ReadWrite, error);
}
