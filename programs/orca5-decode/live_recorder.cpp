#include "live_recorder.h"

#include "intake/live_session.h"
#include "programs/log_styles.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
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
                    const Configuration& configuration, const QString& version, ArchiveFeed* archive,
                    const std::function<void()>& tick) {
    const QString server = QStringLiteral("%1:%2").arg(live.host).arg(live.port);
    LiveSession session(decoder.view(), kDecodeLog);
    session.SetServer(live.host, live.port);
    KissClient& client = session.client();
    client.SetReconnect(ReconnectPolicy{});
    if (!configuration.sidsProblem.isEmpty()) Say(configuration.sidsProblem);
    session.Configure(captureFolder, configuration.sids, version);

    QObject::connect(&session, &LiveSession::ForwardingChanged, [&session, last = QString()]() mutable {
        const QString error = session.forwarding()->lastError;
        if (error != last && !error.isEmpty()) Say("SiDS: " + error);
        last = error;
    });
    QObject::connect(&client, &KissClient::Connected, [&] { Say("connected to " + server); });
    QObject::connect(&client, &KissClient::Failed, [&](const QString& reason) { Say(server + ": " + reason); });
    QString archiveError;  // told when it starts and when it ends, not once an arrival
    QObject::connect(&session, &LiveSession::Arrived, [&](const LiveArrival& arrival, const QString& captureNews) {
        decoder.Count(arrival);
        if (!captureNews.isEmpty()) Say(captureNews);
        const QString error = archive ? archive->Commit().error : QString();
        if (error != archiveError) Say(error.isEmpty() ? "the archive takes frames again" : "archive: " + error);
        archiveError = error;
        decoder.Flush();
    });

    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, tick);
    ticks.start(5000);

    QuitOnSignals(&session);
    client.Connect();
    QCoreApplication::exec();
    decoder.Flush();
    if (!archive) return 0;
    // frames that wait for a server are kept; a batch the archive refused is not
    const FeedReport last = archive->Commit();
    if (const QString error = last.error.isEmpty() ? archiveError : last.error; !error.isEmpty() && last.counts.waiting == 0) {
        Say("archive: the last frames were not kept: " + error);
        return 1;
    }
    return 0;
}
