#pragma once

#include "archive/archive_location.h"
#include "batch/batch_decode.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QList>
#include <QString>

// How orca5-decode is called: its options, its help, and what is wrong with a call.

extern const char kHelp[];

void AddOptions(QCommandLineParser& parser);

// The inputs as the system gave them: the parser has them as text, and a name that is not
// UTF-8 is another name as text.
QList<QByteArray> InputNames(const QStringList& positional, int argc, char** argv);

// The first thing wrong with how the program was called, or nothing.
QString UsageProblem(const QCommandLineParser& parser, const QList<QByteArray>& inputs);

// --archive without FILEs or --live: packets out of the archive.
bool IsArchiveQuery(const QCommandLineParser& parser, const QList<QByteArray>& inputs);

// --predict-passes: passes from the element sets, no input read.
bool IsPassPrediction(const QCommandLineParser& parser);

WriterRole RoleOf(const QCommandLineParser& parser);
InputFormat InputFormatOf(const QCommandLineParser& parser);
RowFormat RowFormatOf(const QCommandLineParser& parser);

// The size of a file by its name; 0 for standard input, or one that cannot be read.
qint64 SizeOf(const QByteArray& name);
