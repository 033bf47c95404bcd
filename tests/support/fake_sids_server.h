#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>

#include <deque>
#include <map>
#include <vector>

// A stand-in for the SatNOGS database on this machine: it reads HTTP requests and answers each
// with the next reply of its script, 201 once the script has run out.
class FakeSidsServer {
public:
    enum class Reply { Created, BadRequest, TooMany, ServerError, Drop, Silent };

    struct Request {
        QByteArray requestLine;
        QByteArray contentType;
        QUrlQuery form;
    };

    FakeSidsServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { Read(socket); });
        });
    }

    QString Url() const { return QStringLiteral("http://127.0.0.1:%1/api/telemetry/").arg(server_.serverPort()); }
    // The frames of the requests so far, in order.
    QStringList Frames() const {
        QStringList frames;
        for (const Request& request : requests) frames << request.form.queryItemValue("frame");
        return frames;
    }

    std::deque<Reply> script;
    std::vector<Request> requests;

private:
    void Read(QTcpSocket* socket) {
        QByteArray& buffer = buffers_[socket];
        buffer += socket->readAll();
        for (qsizetype end; (end = buffer.indexOf("\r\n\r\n")) >= 0;) {
            const QList<QByteArray> lines = buffer.left(end).split('\n');
            Request request{lines[0].trimmed(), {}, {}};
            qsizetype length = 0;
            for (const QByteArray& line : lines) {
                const qsizetype colon = line.indexOf(':');
                const QByteArray name = line.left(colon).trimmed().toLower();
                const QByteArray value = line.mid(colon + 1).trimmed();
                if (name == "content-length") length = value.toLongLong();
                if (name == "content-type") request.contentType = value;
            }
            if (buffer.size() < end + 4 + length) return;  // the body is still on its way
            request.form = QUrlQuery(QString::fromLatin1(buffer.mid(end + 4, length)));
            buffer.remove(0, end + 4 + length);
            requests.push_back(request);
            Answer(socket);
        }
    }

    void Answer(QTcpSocket* socket) {
        const Reply reply = script.empty() ? Reply::Created : script.front();
        if (!script.empty()) script.pop_front();
        const auto answer = [socket](const QByteArray& status, const QByteArray& body) {
            // a connection a request: a dropped one then always fails that request, never a retry of Qt's
            socket->write("HTTP/1.1 " + status + "\r\nContent-Type: application/json\r\nConnection: close\r\n" +
                          "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            socket->disconnectFromHost();
        };
        switch (reply) {
        case Reply::Created: return answer("201 Created", "{}");
        case Reply::BadRequest: return answer("400 Bad Request", "{\"frame\": [\"not hexadecimal\"]}");
        case Reply::TooMany: return answer("429 Too Many Requests", "{}");
        case Reply::ServerError: return answer("500 Internal Server Error", "{}");
        case Reply::Drop: return socket->abort();
        case Reply::Silent: return;
        }
    }

    QTcpServer server_;
    std::map<QTcpSocket*, QByteArray> buffers_;
};
