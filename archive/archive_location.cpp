#include "archive/archive_location.h"

#include "archive/postgres/postgres_archive.h"
#include "archive/sqlite/sqlite_archive.h"

std::unique_ptr<ArchiveStore> OpenArchiveStore(const QString& location, ArchiveAccess access, QString& error) {
    if (IsPostgresUrl(location)) {
        const auto mode = access == ArchiveAccess::Read    ? PostgresArchive::Mode::ReadOnly
                          : access == ArchiveAccess::Write ? PostgresArchive::Mode::ReadWrite
                                                           : PostgresArchive::Mode::Migrate;
        return PostgresArchive::Open(location, mode, error);
    }
    auto archive = SqliteArchive::Open(location, access == ArchiveAccess::Read ? SqliteArchive::Mode::ReadOnly : SqliteArchive::Mode::ReadWrite,
                                       error);
    // a server's key-value string taken for a file's name is told without its password
    error.replace(location, WithoutPassword(location));
    return archive;
}
