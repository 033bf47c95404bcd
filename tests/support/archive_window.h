#pragma once

#include "support/window_harness.h"

#include <QProcess>

// A window whose archive holds the demo's beacons, a minute apart from 2021-02-06 14:00:12,
// imported with ARCHIVE set, and more of conf.ini's keys.
struct ArchiveWindow {
    explicit ArchiveWindow(int beacons, const QByteArray& moreConfiguration = {})
        : harness(kOrca5s, "ARCHIVE = yes\r\n" + moreConfiguration) {
        const QString capture = harness.folder.filePath("demo.kss");
        QProcess::execute(ORCA5_DEMO_CAPTURE_PATH, {capture, QString::number(beacons)});
        harness.dialogs.answers.push_back(QStringList{capture});
        harness.window.MnuOpenKISSFile_Click();
    }
    WindowHarness harness;
};
