#pragma once

#include "intake/backoff.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

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
    Waiting = 10,     // to reconnect, when it reconnects by itself
};

// When and how the client reconnects by itself: after waits that double, and from the first
// wait again once a connection has held steady.
struct ReconnectPolicy {
    Backoff backoff{std::chrono::seconds(1), std::chrono::seconds(60)};
    std::chrono::milliseconds steadyAfter = std::chrono::seconds(60);
};

// The live link to a KISS server: a TCP client that reports its socket state. Unless told to
// reconnect, an error or the server's close stays until the client is switched off.
class KissClient : public QObject {
    Q_OBJECT

public:
    explicit KissClient(QObject* parent = nullptr);

    void SetRemote(const QString& host, int port);
    void SetReconnect(const std::optional<ReconnectPolicy>& policy);
    void Connect();
    void Close();
    SocketState State() const;
    QByteArray GetData();  // the bytes received since the last call
    int secondsToReconnect() const;  // while Waiting
    // The wait before the last try to reconnect, or before the next one while Waiting.
    std::chrono::milliseconds reconnectWait() const { return retry_.intervalAsDuration(); }

signals:
    void DataArrival();
    void Connected();  // a new connection: nothing of an earlier one carries over
    // The connection failed or broke: the socket's reason, or what conf.ini lacks.
    void Failed(const QString& reason);

private:
    void Fail(const QString& reason);
    void Lost(QAbstractSocket::SocketError error);

    QTcpSocket socket_;
    QString host_;
    int port_ = 0;
    std::optional<SocketState> latched_;  // after the peer closed or an error, until Close
    std::optional<ReconnectPolicy> reconnect_;
    QTimer retry_;
    QElapsedTimer connectedFor_;
};
