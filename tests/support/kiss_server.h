#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// A KISS server on this machine for the live client: it can go away and come back on the
// same port.
struct LocalKissServer {
    LocalKissServer() {
        server.listen(QHostAddress::LocalHost, 0);
        port = server.serverPort();
    }

    // conf.ini lines that point a program here.
    QByteArray Configuration() const {
        return "TCP_SERVER = 127.0.0.1\r\nTCP_PORT = " + QByteArray::number(port) + "\r\n";
    }

    // Waits for the client to connect and takes its connection as the peer.
    void Accept() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 5000));
        peer = server.nextPendingConnection();
    }

    void Restart() {
        server.close();
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
    }

    void Send(const QByteArray& bytes) {
        peer->write(bytes);
        peer->flush();
    }

    QTcpServer server;
    quint16 port = 0;
    QTcpSocket* peer = nullptr;
};
