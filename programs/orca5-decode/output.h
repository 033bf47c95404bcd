#pragma once

#include "intake/whole_file.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <optional>
#include <string_view>

inline constexpr char kProgram[] = "orca5-decode";

// Text on a stream as the terminal's encoding has it.
void Print(std::FILE* stream, const QString& text);
// "orca5-decode: MESSAGE" on standard error, and the exit code it comes with: 2 for how the
// program was called (with a pointer to --help), 1 for what went wrong in its work.
int UsageError(const QString& message);
int Failure(const QString& message);

// Where rows or text beacons go: a standard stream, or a file that replaces its old self only
// when every byte is on disk.
class Output {
public:
    explicit Output(std::FILE* stream) : stream_(stream) {}
    // None or "-" is the stream. Why the file cannot be written, or nothing.
    QString Open(const QString& path);
    // Pushed on at once when a pipe is to see it as it comes.
    void Write(std::string_view bytes, bool push);
    // Why the output is not whole, or nothing.
    QString Close();

private:
    std::FILE* stream_;
    std::optional<FileReplacement> file_;
    QString path_;
    bool written_ = true;
};

// "12.5 MB read (40%)", a few times a second, on a terminal only.
class Progress {
public:
    Progress(bool shown, qint64 total) : shown_(shown), total_(total) { clock_.start(); }
    void Show(qint64 done);
    void Clear();

private:
    bool shown_;
    qint64 total_;
    QElapsedTimer clock_;
};
