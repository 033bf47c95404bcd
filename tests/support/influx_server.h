#pragma once

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

// A real InfluxDB 1.x server (Debian's influxd) on 127.0.0.1 and free ports, its files in a
// folder of its own, stopped at the end. `problem` says why it could not start.
class LocalInfluxServer {
public:
    LocalInfluxServer() {
        const quint16 http = FreePort(), rpc = FreePort();
        const QString root = folder_.path();
        QFile config(root + "/influxdb.conf");
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral("reporting-disabled = true\nbind-address = \"127.0.0.1:%1\"\n"
                                    "[meta]\n  dir = \"%3/meta\"\n"
                                    "[data]\n  dir = \"%3/data\"\n  wal-dir = \"%3/wal\"\n  query-log-enabled = false\n"
                                    "[http]\n  bind-address = \"127.0.0.1:%2\"\n  log-enabled = false\n"
                                    "[monitor]\n  store-enabled = false\n")
                         .arg(rpc).arg(http).arg(root).toUtf8());
        config.close();
        base_ = QStringLiteral("http://127.0.0.1:%1").arg(http);
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start("influxd", {"run", "-config", config.fileName()});
        if (!server_.waitForStarted(10000)) {
            problem = "influxd could not be started: " + server_.errorString() + " (Debian's influxdb package)";
            return;
        }
        if (!QTest::qWaitFor([&] { return Request("GET", "/ping", {}, {}).status == 204; }, 30000))
            problem = "influxd did not answer on " + base_ + ": " + QString::fromUtf8(server_.readAll().right(2000));
    }

    ~LocalInfluxServer() {
        server_.terminate();
        if (!server_.waitForFinished(10000)) server_.kill();
    }

    struct Answer {
        int status = 0;
        QByteArray body;
    };

    // An HTTP request to the server, waited for.
    Answer Request(const QByteArray& verb, const QString& path, const QUrlQuery& query, const QByteArray& body) {
        QUrl url(base_ + path);
        url.setQuery(query);
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/octet-stream");
        QNetworkReply* reply = network_.sendCustomRequest(request, verb, body);
        QEventLoop wait;
        QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
        wait.exec();
        Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
        reply->deleteLater();
        return answer;
    }

    void CreateDatabase(const QString& name) { Request("POST", "/query", QUrlQuery{{"q", "CREATE DATABASE " + name}}, {}); }

    Answer Write(const QString& database, const QByteArray& lines) {
        return Request("POST", "/write", QUrlQuery{{"db", database}, {"precision", "ns"}}, lines);
    }

    // The rows of a query's first series, times in milliseconds since 1970.
    QJsonArray Query(const QString& database, const QString& sql) {
        const Answer answer = Request("POST", "/query", QUrlQuery{{"db", database}, {"q", sql}, {"epoch", "ms"}}, {});
        return QJsonDocument::fromJson(answer.body)["results"][0]["series"][0]["values"].toArray();
    }

    // "http://127.0.0.1:PORT", the server's address.
    const QString& base() const { return base_; }

    QString problem;

private:
    static quint16 FreePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    QTemporaryDir folder_;
    QString base_;
    QProcess server_;
    QNetworkAccessManager network_;
};
