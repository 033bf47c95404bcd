#include "intake/sids_forwarder.h"

#include "telemetry/time_stamps.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

SidsForwarder::SidsForwarder(const SidsStation& station, const QString& version, const QString& folder,
                             const Timing& timing, Schedule schedule, QObject* parent)
    : QObject(parent), station_(station), version_(version), outbox_(folder), timing_(timing),
      schedule_(std::move(schedule)) {
    if (!schedule_)
        schedule_ = [this](Milliseconds wait, std::function<void()> then) {
            QTimer::singleShot(wait, this, std::move(then));
        };
    if (!outbox_.empty()) Wait(Milliseconds(0));  // a backlog of an earlier run
}

void SidsForwarder::Forward(std::string_view utcTimestampText, std::string_view frameHex) {
    const std::string line = IsoRxTime(utcTimestampText) + ' ' + std::string(frameHex);
    // a run of failed appends is told twice: why, at the first; how many waited, at the end
    const int held = outbox_.unwritten();
    if (const QString error = outbox_.Add(line); !error.isEmpty()) {
        if (held == 0) NoteError("outbox: " + error);
        return;
    }
    if (held > 0) NoteError(QStringLiteral("outbox: written again, %1 frames had waited").arg(held));
    emit Changed();
    if (!sending_) SendNext();
}

SidsForwarder::Status SidsForwarder::status() const {
    Status status = status_;
    status.waiting = outbox_.waiting();
    return status;
}

void SidsForwarder::SendNext() {
    sending_ = !outbox_.empty();
    if (!sending_) return;
    const std::string_view line = outbox_.front();
    const std::size_t space = line.find(' ');
    QNetworkRequest request(station_.url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
    request.setTransferTimeout(static_cast<int>(timing_.timeout.count()));
    QNetworkReply* reply =
        network_.post(request, SidsForm(station_, line.substr(0, space), line.substr(space + 1), version_));
    connect(reply, &QNetworkReply::finished, this, [this, reply] { Answered(reply); });
}

void SidsForwarder::Answered(QNetworkReply* reply) {
    reply->deleteLater();
    const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (code == 201 || code == 400) {
        QString error;
        if (code == 201) {
            ++status_.sent;
            error = outbox_.Delivered();
        } else {
            const QByteArray answer = reply->readAll().simplified();
            ++status_.rejected;
            status_.lastError = "rejected: " + QString::fromUtf8(answer);
            error = outbox_.Rejected(answer.toStdString());
        }
        if (!error.isEmpty()) status_.lastError = "outbox: " + error;
        timing_.retry.Reset();
        emit Changed();
        return Wait(timing_.spacing);
    }
    NoteError(code != 0 ? QStringLiteral("HTTP %1").arg(code) : reply->errorString());
    Wait(timing_.retry.Next());
}

void SidsForwarder::Wait(Milliseconds wait) {
    sending_ = true;
    schedule_(wait, [this] { SendNext(); });
}

void SidsForwarder::NoteError(const QString& error) {
    status_.lastError = error;
    emit Changed();
}
