#include "intake/kiss_client.h"

KissClient::KissClient(QObject* parent) : QObject(parent) {
    connect(&socket_, &QTcpSocket::readyRead, this, &KissClient::DataArrival);
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            latched_ = SocketState::PeerClosing;
        else
            Fail(socket_.errorString());
    });
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
    socket_.abort();
    latched_.reset();
}

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
