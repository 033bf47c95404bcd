#include "intake/live_session.h"

#include "intake/whole_file.h"

LiveSession::LiveSession(DecodeView& view, const LogStyle& log, QObject* parent)
    : QObject(parent), context_{view, log} {
    connect(&client_, &KissClient::DataArrival, this, [this] { Take(ByteView(client_.GetData())); });
    // every connection, switched on or made again by itself, starts with a fresh de-framer
    connect(&client_, &KissClient::Connected, this, [this] { stream_ = KissStream{}; });
}

LiveSession::~LiveSession() = default;

void LiveSession::SetServer(const QString& host, int port) {
    client_.SetRemote(host, port);
    context_.source = QStringLiteral("%1:%2").arg(host).arg(port).toStdString();
}

void LiveSession::Configure(const QString& captureFolder, const std::optional<SidsStation>& forwarding,
                            const QString& version) {
    captureFolder_ = captureFolder;
    forward_ = {};
    forwarder_.reset();
    if (!forwarding) return;
    forwarder_ = std::make_unique<SidsForwarder>(*forwarding, version, captureFolder);
    connect(forwarder_.get(), &SidsForwarder::Changed, this, &LiveSession::ForwardingChanged);
    forward_ = [this](std::string_view time, std::string_view frameHex) { forwarder_->Forward(time, frameHex); };
}

std::optional<SidsStatus> LiveSession::forwarding() const {
    return forwarder_ ? std::optional(forwarder_->status()) : std::nullopt;
}

LiveArrival LiveSession::Take(std::string_view chunk) {
    const LiveArrival arrival = DecodeLiveChunk(context_, stream_, chunk, captureFolder_, forward_);
    emit Arrived(arrival, captureTrouble_.News(arrival));
    return arrival;
}
