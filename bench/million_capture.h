#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

// A capture of a million frames from the demo-capture tool (about 250 MB), made once a run.
inline constexpr int kMillionFrames = 1000000;

inline const QString& MillionFrameCapture() {
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString capture = QDir(folder.path()).filePath("million.kss");
        QProcess::execute(ORCA5_DEMO_CAPTURE_PATH, {capture, QString::number(kMillionFrames)});
        return capture;
    }();
    return path;
}
