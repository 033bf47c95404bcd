#include "intake/kiss_client.h"

KissClient::KissClient(QObject* parent) : QObject(parent) {
    connect(&socket_, &QTcpSocket::readyRead, this, &KissClient::DataArrival);
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        latched_ = error == QAbstractSocket::RemoteHostClosedError ? PeerClosing : Error;
    });
}

void KissClient::SetRemote(const QString& host, int port) {
    host_ = host;
    port_ = port;
}

void KissClient::Connect() {
    socket_.abort();
    latched_.reset();
    socket_.connectToHost(host_, static_cast<quint16>(port_));
}

void KissClient::Close() {
    socket_.abort();
    latched_.reset();
}

int KissClient::State() const {
    if (latched_) return *latched_;
    switch (socket_.state()) {
    case QAbstractSocket::UnconnectedState:
        return Closed;
    case QAbstractSocket::HostLookupState:
        return ResolvingHost;
    case QAbstractSocket::ConnectingState:
        return Connecting;
    case QAbstractSocket::ConnectedState:
        return Connected;
    case QAbstractSocket::BoundState:
        return Open;
    case QAbstractSocket::ListeningState:
        return Listening;
    case QAbstractSocket::ClosingState:
        return PeerClosing;
    }
    return Closed;
}

QByteArray KissClient::GetData() { return socket_.readAll(); }

SocketStateLook LookOfSocketState(int state) {
    constexpr std::uint32_t kGrey = 0xC0C0C0, kYellow = 0xFFFF00, kGreen = 0x00FF00, kRed = 0xFF0000;
    switch (state) {
    case 0: return {"Closed", kGrey};
    case 1: return {"Open", kYellow};
    case 2: return {"Listening", kYellow};
    case 3: return {"Connection pending", kYellow};
    case 4: return {"Resolving host", kYellow};
    case 5: return {"Host resolved", kYellow};
    case 6: return {"Connecting", kYellow};
    case 7: return {"Connected", kGreen};
    case 8: return {"Peer is closing the connection", kYellow};
    case 9: return {"Error", kRed};
    }
    return {"", std::nullopt};
}
