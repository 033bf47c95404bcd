#include "intake/kiss_client.h"

KissClient::KissClient(QObject* parent) : QObject(parent) {
    connect(&socket_, &QTcpSocket::readyRead, this, &KissClient::DataArrival);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &KissClient::Lost);
    connect(&socket_, &QTcpSocket::connected, this, [this] {
        connectedFor_.start();
        emit Connected();
    });
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &KissClient::Connect);
}

void KissClient::SetReconnect(const std::optional<ReconnectPolicy>& policy) { reconnect_ = policy; }

void KissClient::Lost(QAbstractSocket::SocketError error) {
    // what came before the close is taken before anything else happens to the socket
    if (socket_.bytesAvailable() > 0) emit DataArrival();
    if (error == QAbstractSocket::RemoteHostClosedError)
        latched_ = SocketState::PeerClosing;
    else
        Fail(socket_.errorString());
    if (!reconnect_) return;
    if (connectedFor_.isValid() && connectedFor_.elapsed() >= reconnect_->steadyAfter.count()) reconnect_->backoff.Reset();
    connectedFor_.invalidate();
    latched_ = SocketState::Waiting;
    retry_.start(reconnect_->backoff.Next());
}

void KissClient::SetRemote(const QString& host, int port) {
    host_ = host;
    port_ = port;
}

void KissClient::Connect() {
    socket_.abort();
    latched_.reset();
    if (host_.isEmpty()) return Fail("no TCP_SERVER in conf.ini");
    if (port_ == 0) return Fail("no TCP_PORT in conf.ini");
    socket_.connectToHost(host_, static_cast<quint16>(port_));
}

void KissClient::Fail(const QString& reason) {
    latched_ = SocketState::Error;
    emit Failed(reason);
}

void KissClient::Close() {
    retry_.stop();
    socket_.abort();
    latched_.reset();
    connectedFor_.invalidate();
    if (reconnect_) reconnect_->backoff.Reset();
}

int KissClient::secondsToReconnect() const { return retry_.isActive() ? (retry_.remainingTime() + 999) / 1000 : 0; }

SocketState KissClient::State() const {
    if (latched_) return *latched_;
    switch (socket_.state()) {
    case QAbstractSocket::UnconnectedState:
        return SocketState::Closed;
    case QAbstractSocket::HostLookupState:
        return SocketState::ResolvingHost;
    case QAbstractSocket::ConnectingState:
        return SocketState::Connecting;
    case QAbstractSocket::ConnectedState:
        return SocketState::Connected;
    case QAbstractSocket::BoundState:
        return SocketState::Open;
    case QAbstractSocket::ListeningState:
        return SocketState::Listening;
    case QAbstractSocket::ClosingState:
        return SocketState::PeerClosing;
    }
    return SocketState::Closed;
}

QByteArray KissClient::GetData() { return socket_.readAll(); }
