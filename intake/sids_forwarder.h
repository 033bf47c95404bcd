#pragma once

#include "intake/backoff.h"
#include "intake/sids_outbox.h"
#include "intake/sids_station.h"

#include <QNetworkAccessManager>
#include <QObject>

#include <chrono>
#include <functional>
#include <string_view>

class QNetworkReply;

struct SidsTiming {
    std::chrono::milliseconds spacing{250};   // between two requests
    std::chrono::milliseconds timeout{30000};  // for an answer
    Backoff retry{std::chrono::seconds(10), std::chrono::minutes(10)};
};

// What the forwarding has done, for the status row.
struct SidsStatus {
    int sent = 0;
    int rejected = 0;
    int waiting = 0;
    QString lastError;
};

// Forwards frames received live to a SatNOGS database through the outbox, oldest first and one
// request at a time, a few a second at most. 201 delivers a frame; 400 rejects it for good,
// into the rejects file with the server's answer; anything else (429, 5xx, a timeout, no
// network) leaves it waiting and tries again after 10 s, doubling up to 10 minutes.
class SidsForwarder : public QObject {
    Q_OBJECT

public:
    using Milliseconds = std::chrono::milliseconds;
    // Runs the function after the wait; the tests' clock replaces the timer.
    using Schedule = std::function<void(Milliseconds, std::function<void()>)>;

    using Timing = SidsTiming;
    using Status = SidsStatus;

    // Takes over what the outbox in the folder holds and starts sending it.
    SidsForwarder(const SidsStation& station, const QString& version, const QString& folder,
                  const Timing& timing = Timing(), Schedule schedule = {}, QObject* parent = nullptr);

    // Queues one frame received live: its reception time ("yyyy-MM-dd HH:mm:ss.zzz", UTC) and
    // its bytes in hexadecimal.
    void Forward(std::string_view utcTimestampText, std::string_view frameHex);

    Status status() const;

signals:
    void Changed();

private:
    void SendNext();
    void Answered(QNetworkReply* reply);
    void Wait(Milliseconds wait);
    void NoteError(const QString& error);

    SidsStation station_;
    QString version_;
    SidsOutbox outbox_;
    Timing timing_;
    Schedule schedule_;
    QNetworkAccessManager network_;
    bool sending_ = false;  // a request or a wait is under way
    Status status_;
};
