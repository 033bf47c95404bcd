#pragma once

#include "intake/configuration.h"
#include "limits/limits_file.h"
#include "output.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QList>

// What orca5-decode does, each returning its exit code.

// --archive alone: the archive's packets (or text beacons) as rows, or its packet table decoded
// anew, or its schema made or migrated.
int QueryArchive(const QCommandLineParser& parser, const Configuration& configuration, const QString& confFolder,
                 const std::optional<Limits>& limits, char decimalSeparator, Output& output);

// --predict-passes: the passes over the station, as rows.
int WritePassPredictions(const QCommandLineParser& parser, const Configuration& configuration, const QString& confFolder, Output& output);

// Files or the live server into rows, and into the archive when one is given.
int DecodeInputs(const QCommandLineParser& parser, const QList<QByteArray>& inputs, const Configuration& configuration,
                 const QString& confFolder, const std::optional<Limits>& limits, char decimalSeparator, Output& output);
