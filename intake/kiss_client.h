#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>

#include <cstdint>
#include <optional>
#include <string_view>

// The live link to a KISS server: a TCP client that reports the socket states the status
// line shows. It never reconnects by itself.
class KissClient : public QObject {
    Q_OBJECT

public:
    enum State {
        Closed = 0,
        Open = 1,
        Listening = 2,
        ResolvingHost = 4,
        Connecting = 6,
        Connected = 7,
        PeerClosing = 8,  // the server closed the connection
        Error = 9,        // until the user switches the client off
    };

    explicit KissClient(QObject* parent = nullptr);

    void SetRemote(const QString& host, int port);
    void Connect();
    void Close();
    int State() const;
    QByteArray GetData();  // every byte received so far

signals:
    void DataArrival();

private:
    QTcpSocket socket_;
    QString host_;
    int port_ = 0;
    std::optional<enum State> latched_;  // after the peer closed or an error, until Close
};

// How the status line shows a socket state: its text, and the lamp's colour (none: the lamp
// keeps its colour).
struct SocketStateLook {
    std::string_view text;
    std::optional<std::uint32_t> lampRgb;
};

SocketStateLook LookOfSocketState(int state);
