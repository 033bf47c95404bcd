#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// orca5-decode run as a user runs it: its exit code and what it wrote.
struct Finished {
    int exitCode;
    QByteArray out, err;
};

inline Finished Decode(const QStringList& arguments, const QByteArray& input = {}, const QString& folder = {}) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(ORCA5_DECODE_PATH, arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// ... with standard input read from a file, as "< FILE" gives it.
inline Finished DecodeReading(const QString& file, const QStringList& arguments) {
    QProcess process;
    process.setStandardInputFile(file);
    process.start(ORCA5_DECODE_PATH, arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
