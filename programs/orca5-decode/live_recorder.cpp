#include "live_recorder.h"

#include "intake/kiss_client.h"
#include "intake/sids_forwarder.h"
#include "intake/whole_file.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A signal only writes a byte; the event loop reads it and ends the run between two arrivals,
// so the frame in hand is always finished.
int signalPipe[2];

void WriteSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
}

void QuitOnSignals(QObject* owner) {
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, QCoreApplication::instance(), &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void Say(const QString& text) { std::fprintf(stderr, "orca5-decode: %s\n", text.toLocal8Bit().constData()); }

}  // namespace

std::optional<LiveServer> ParseLiveServer(const QString& text) {
    const qsizetype colon = text.lastIndexOf(':');
    bool isPort = false;
    const int port = text.mid(colon + 1).toInt(&isPort);
    if (colon <= 0 || !isPort || port < 1 || port > 65535) return std::nullopt;
    return LiveServer{text.left(colon), port};
}

int RunLiveRecorder(BatchDecoder& decoder, const LiveServer& live, const QString& captureFolder,
                    const Configuration& configuration, const QString& version) {
    KissClient client;
    client.SetRemote(live.host, live.port);
    client.SetReconnect(ReconnectPolicy{});
    KissStream stream;
    const QString server = QStringLiteral("%1:%2").arg(live.host).arg(live.port);
    const std::string source = server.toStdString();

    std::unique_ptr<SidsForwarder> forwarder;
    if (!configuration.sidsProblem.isEmpty()) Say(configuration.sidsProblem);
    if (configuration.sids) {
        forwarder = std::make_unique<SidsForwarder>(*configuration.sids, version, captureFolder);
        QObject::connect(forwarder.get(), &SidsForwarder::Changed, [&forwarder, last = QString()]() mutable {
            const QString error = forwarder->status().lastError;
            if (error != last && !error.isEmpty()) Say("SiDS: " + error);
            last = error;
        });
    }
    SatelliteFrameSink forward;
    if (forwarder) forward = [&](std::string_view time, std::string_view frameHex) { forwarder->Forward(time, frameHex); };

    QObject::connect(&client, &KissClient::Connected, [&] {
        stream = KissStream{};
        Say("connected to " + server);
    });
    QObject::connect(&client, &KissClient::Failed, [&](const QString& reason) { Say(server + ": " + reason); });
    CaptureTrouble captureTrouble;
    QObject::connect(&client, &KissClient::DataArrival, [&] {
        const LiveArrival arrival = decoder.DecodeLive(stream, ByteView(client.GetData()), captureFolder, forward, source);
        if (const QString news = captureTrouble.News(arrival); !news.isEmpty()) Say(news);
    });

    QuitOnSignals(&client);
    client.Connect();
    QCoreApplication::exec();
    decoder.Flush();
    return 0;
}
