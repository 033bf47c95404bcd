// The live client: "TCP client" on and off, the state lamp, and each arrival from the server.
#include "intake/capture_log.h"
#include "intake/live_chunk.h"
#include "intake/whole_file.h"
#include "telemetry/time_stamps.h"
#include "ui/main_window.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

QString Form1::Winsock_State() {
    const SocketStateLook look = LookOfSocketState(Winsock1->State());
    if (look.lampRgb) {
        QPalette palette = Shape10->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(*look.lampRgb));
        Shape10->setPalette(palette);
    }
    return QString::fromLatin1(look.text.data(), static_cast<qsizetype>(look.text.size()));
}

void Form1::Check5_Click() {
    if (Check5->isChecked()) {
        liveStream_ = KissStream{};  // nothing of an earlier connection carries over
        Winsock1->Connect();
        Timer1->start();
    } else {
        Winsock1->Close();
        Label2->setText(Winsock_State());
        Timer1->stop();
    }
}

void Form1::Timer1_Timer() { Label2->setText(Winsock_State()); }

void Form1::Winsock1_DataArrival() { TakeLiveData(Winsock1->GetData()); }

void Form1::TakeLiveData(const QByteArray& chunk) {
    DecoderContext context{state_, *this, variant_.log};
    DecodeLiveChunk(context, liveStream_, ByteView(chunk), [this](const KissFrame& frame) { LogLiveFrame(frame.raw); });

    ShowPosition(state_.packetCount);
    SetPacketMaximum(state_.packetCount);
    ShowPacket(state_.packetCount);
    Option1_Click(state_.chartChannel);
    FlushLogs();
}

void Form1::LogLiveFrame(std::string_view raw) {
    // one reading of the clock names the day's file and stamps the frame
    std::string bytes;
    WriteRxTimeFrame(state_.rxTimeText, bytes);
    bytes.append(raw);
    const CaptureWrite write = AppendToCaptureLog(programFolder_, state_.rxTimeText, bytes);
    Text4->setText(write.written ? QStringLiteral("%1 bytes has been added to %2").arg(raw.size()).arg(write.fileName)
                                 : QStringLiteral("%1 could not be written: %2").arg(write.fileName, write.error));
}
