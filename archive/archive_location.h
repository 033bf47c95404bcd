#pragma once

#include "archive/archive_writer.h"

#include <QString>

#include <memory>

// Who writes an archive: a station keeps receptions; the owner also makes or migrates its
// schema (on a PostgreSQL server only the owner may; an SQLite file migrates itself when
// written).
enum class WriterRole { Station, Owner };

// The archive a location names: "postgresql://USER@HOST:PORT/DB?OPTIONS" a PostgreSQL server,
// anything else an SQLite file; to read, or to write. Null with the reason.
std::unique_ptr<ArchiveReader> OpenArchiveReader(const QString& location, QString& error);
std::unique_ptr<ArchiveWriter> OpenArchiveWriter(const QString& location, WriterRole role, QString& error);
