#pragma once

#include "intake/capture_log.h"
#include "support/kiss_server.h"
#include "support/window_harness.h"
#include "telemetry/time_stamps.h"

#include <QCheckBox>

// A program's window whose conf.ini points at a KISS server of the test's own.
struct LiveWindow {
    explicit LiveWindow(const BuildVariant& variant = kOrca5s, const QByteArray& moreConfiguration = {})
        : harness(variant, server.Configuration() + moreConfiguration) {}

    // Switches the client on and waits until the server has accepted it.
    void SwitchOn() {
        harness.window.Check5->click();
        server.Accept();
        ASSERT_TRUE(QTest::qWaitFor([&] { return harness.window.Winsock1->State() == SocketState::Connected; }, 5000));
    }

    // Sends and waits until the store holds the given number of packets.
    void SendUntilStored(const QByteArray& bytes, int packetCount, int milliseconds = 5000) {
        server.Send(bytes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return harness.state.packetCount == packetCount; }, milliseconds))
            << harness.state.packetCount << " packets";
    }

    // Today's capture file in the program's folder.
    QString CaptureFile() const { return CaptureFileName(harness.folder.path(), UtcTimestampText()); }

    LocalKissServer server;
    WindowHarness harness;
};
