#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>

// How many frames the benchmarks' capture holds: a million, or ORCA5_BENCH_FRAMES (10000000
// for a mission's archive of ten million packets, about 19 years of a packet a minute).
inline int BenchFrames() {
    const char* asked = std::getenv("ORCA5_BENCH_FRAMES");
    return asked ? std::atoi(asked) : 1000000;
}

// A capture of so many frames from the demo-capture tool (about 250 MB a million), made once a run.
inline const QString& MillionFrameCapture() {
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString capture = QDir(folder.path()).filePath("million.kss");
        QProcess::execute(ORCA5_DEMO_CAPTURE_PATH, {capture, QString::number(BenchFrames())});
        return capture;
    }();
    return path;
}
