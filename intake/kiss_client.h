#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>

#include <optional>

// The socket states the status line knows, numbered as the status row has always shown them.
// The client reports all but ConnectionPending and HostResolved.
enum class SocketState {
    Closed = 0,
    Open = 1,
    Listening = 2,
    ConnectionPending = 3,
    ResolvingHost = 4,
    HostResolved = 5,
    Connecting = 6,
    Connected = 7,
    PeerClosing = 8,  // the server closed the connection
    Error = 9,        // until the user switches the client off
};

// The live link to a KISS server: a TCP client that reports its socket state. It never
// reconnects by itself.
class KissClient : public QObject {
    Q_OBJECT

public:
    explicit KissClient(QObject* parent = nullptr);

    void SetRemote(const QString& host, int port);
    void Connect();
    void Close();
    SocketState State() const;
    QByteArray GetData();  // the bytes received since the last call

signals:
    void DataArrival();
    // The connection failed or broke: the socket's reason, or what conf.ini lacks.
    void Failed(const QString& reason);

private:
    void Fail(const QString& reason);

    QTcpSocket socket_;
    QString host_;
    int port_ = 0;
    std::optional<SocketState> latched_;  // after the peer closed or an error, until Close
};
