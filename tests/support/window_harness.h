#pragma once

#include "intake/frame_recognition.h"
#include "programs/variants.h"
#include "support/beacon_builder.h"
#include "support/fake_dialogs.h"
#include "support/files.h"
#include "support/qt_printing.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QTemporaryDir>

#include <functional>

// A program's main window over its own state, started from a conf.ini in a folder of its own.
struct WindowHarness {
    explicit WindowHarness(const BuildVariant& variant = kOrca5s,
                           const QByteArray& configuration = "TCP_SERVER = 127.0.0.1\r\nTCP_PORT = 8001\r\n")
        : variant(variant), window(state, variant, dialogs) {
        WriteConfiguration(configuration);
        loadError = window.Form_Load(folder.path());
        window.show();
        QApplication::processEvents();
    }

    void WriteConfiguration(const QByteArray& configuration) {
        WriteBytes(folder.filePath("conf.ini"), configuration.toStdString());
    }

    // Decodes packets as an intake would, each frame made by the given function from its
    // packet number, received at 14:mm:ss by that number.
    void AddPackets(int count, const std::function<BeaconBuilder(int)>& frame) {
        DecoderContext context{window.decodeView(), variant.log};
        for (int n = state.packetCount + 1, last = state.packetCount + count; n <= last; ++n) {
            char rxTime[32];
            std::snprintf(rxTime, sizeof rxTime, "2021-02-06 14:%02d:%02d.000 UTC", n / 60 % 60, n % 60);
            const std::string bytes = frame(n).build();
            DecodeTelemetryFrame(context, bytes, {rxTime, HexText(bytes)});
        }
        window.FlushLogs();
    }

    // Writes a file into the harness's folder and returns its path.
    QString WriteFile(const QString& name, std::string_view bytes) { return WriteBytes(folder.filePath(name), bytes); }

    // Packets whose "Urbi" (channel 14) is their packet number.
    void AddNumberedPackets(int count) {
        AddPackets(count, [](int n) { return BeaconBuilder().u16(79, static_cast<std::uint16_t>(n)); });
    }

    const BuildVariant& variant;
    QTemporaryDir folder;
    ProgramState state;
    FakeDialogs dialogs;
    Form1 window;
    QString loadError;
};
