#pragma once

#include "intake/kiss_client.h"
#include "intake/live_arrival.h"
#include "intake/sids_forwarder.h"

#include <QObject>

#include <memory>
#include <optional>

// The live link to a KISS server, as every program runs it: the client, a de-framer that
// starts afresh with each connection, the day's capture files, and forwarding to SatNOGS DB
// when the station asks for it. Each arrival is decoded into the view the program gives (an
// archive takes the satellite's frames there); the forwarder takes them here. The programs
// connect to what it reports and show it.
class LiveSession : public QObject {
    Q_OBJECT

public:
    LiveSession(DecodeView& view, const LogStyle& log, QObject* parent = nullptr);
    ~LiveSession() override;

    // The KISS server: the client's remote end, and the frames' source.
    void SetServer(const QString& host, int port);
    // Where the capture files and the outbox go, and the station to forward for, if any.
    void Configure(const QString& captureFolder, const std::optional<SidsStation>& forwarding, const QString& version);

    // Its reconnects, switching on and off, and the connection's state.
    KissClient& client() { return client_; }
    const KissStream& stream() const { return stream_; }
    // The forwarding's counts and last error, when it forwards.
    std::optional<SidsStatus> forwarding() const;

    // One arrival from the server: decoded, recorded, forwarded, then reported.
    LiveArrival Take(std::string_view chunk);

signals:
    // After each arrival, with what it did and what is new about the capture file.
    void Arrived(const LiveArrival& arrival, const QString& captureNews);
    void ForwardingChanged();

private:
    DecoderContext context_;
    KissClient client_;
    KissStream stream_;
    QString captureFolder_;
    CaptureTrouble captureTrouble_;
    std::unique_ptr<SidsForwarder> forwarder_;
    SatelliteFrameSink forward_;  // to the forwarder, when there is one
};
