#pragma once

#include <QString>

#include <span>
#include <string_view>

// The version of the archive's tables this program writes; an archive of an older one is
// migrated, step by step, to it.
inline constexpr int kArchiveSchemaVersion = 4;

// The channels' columns, in channel order, as a released version of the schema names them
// (1 to kArchiveSchemaVersion). A released version's names never change: a caption renamed
// later comes with a new version, whose migration renames the column.
std::span<const std::string_view> ReleasedColumns(int version);

// A channel's column in this program's version.
std::string_view ArchiveColumn(int channel);

// "NAME is an orca5 archive of version 4; this program knows versions up to 3"
QString NewerVersionText(const QString& name, int version);
