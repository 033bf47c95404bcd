#pragma once

#include "archive/archive_store.h"

#include <QString>

#include <memory>

// How an archive is opened: to read it, to write it, or to make or migrate its schema (the
// owner's work on a PostgreSQL server; an SQLite file migrates itself when written).
enum class ArchiveAccess { Read, Write, Migrate };

// The archive a location names: "postgresql://USER@HOST:PORT/DB?OPTIONS" a PostgreSQL server,
// anything else an SQLite file. Null with the reason.
std::unique_ptr<ArchiveStore> OpenArchiveStore(const QString& location, ArchiveAccess access, QString& error);
