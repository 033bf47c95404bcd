// The live client: "TCP client" on and off, the state lamp, and each arrival from the server.
#include "intake/live_arrival.h"
#include "intake/live_session.h"
#include "intake/whole_file.h"
#include "ui/main_window.h"
#include "ui/socket_look.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

QString Form1::Winsock_State() {
    const SocketStateLook look = LookOfSocketState(Winsock1->State());
    QPalette palette = Shape10->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(look.lampRgb));
    Shape10->setPalette(palette);
    QString text = QString::fromLatin1(look.text.data(), static_cast<qsizetype>(look.text.size()));
    if (Winsock1->State() == SocketState::Waiting)
        text = QStringLiteral("Waiting %1 s to reconnect").arg(Winsock1->secondsToReconnect());
    if (const auto forwarding = liveSession_->forwarding()) text += "   " + ForwardingText(*forwarding);
    return text;
}

QString ForwardingText(const SidsStatus& status) {
    QString text = QStringLiteral("SiDS: %1 sent, %2 waiting, %3 rejected").arg(status.sent).arg(status.waiting).arg(status.rejected);
    return status.lastError.isEmpty() ? text : text + ", last error: " + status.lastError;
}

void Form1::Check5_Click() {
    if (Check5->isChecked()) {
        Winsock1->Connect();
        Timer1->start();
    } else {
        Winsock1->Close();
        Label2->setText(Winsock_State());
        Timer1->stop();
    }
}

void Form1::Timer1_Timer() {
    Label2->setText(Winsock_State());
    TickLimits();
}

void Form1::TakeLiveData(const QByteArray& chunk) { liveSession_->Take(ByteView(chunk)); }

void Form1::Winsock1_DataArrival(const LiveArrival& arrival, const QString& captureNews) {
    if (!arrival.rxTimeText.empty()) state_.rxTimeText = arrival.rxTimeText;  // the capture file's stamp
    if (const auto& write = arrival.lastWrite) {
        QString status = write->written
                             ? QStringLiteral("%1 bytes has been added to %2").arg(write->frameBytes).arg(write->fileName)
                             : QStringLiteral("%1 could not be written: %2").arg(write->fileName, write->error);
        // the frames lost to the capture file while it could not be written are counted once it can
        if (write->written && !captureNews.isEmpty()) status += ". " + captureNews;
        // frames past a full store are still recorded, but the status line says they were not stored
        liveRefused_ += arrival.refused;
        if (arrival.refused > 0) status += ". " + RefusedFramesText(liveRefused_);
        Text4->setText(status);
    }

    // a bar at the packet that was the newest follows the stream; one the user moved back stays there
    const bool following = HScroll1->value() >= state_.packetCount - arrival.stored;
    SetPacketMaximum(state_.packetCount);
    if (following) {
        const QSignalBlocker quiet(HScroll1);  // shown below, once
        HScroll1->setValue(state_.packetCount);
    }
    ShowPosition(state_.packetCount);
    ShowPacket(HScroll1->value());
    Option1_Click(state_.chartChannel);
    FlushLogs();
    CommitArchiveLater();
}
