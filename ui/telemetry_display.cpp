// The telemetry table and the packet navigation: one packet of the store on screen.
#include "telemetry/value_text.h"
#include "ui/main_window.h"
#include "ui/value_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

void Form1::ApplyChannelTable() {
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        const QString name = QString::fromLatin1(kChannels[i].name);
        FitCaption(*Option1[i], name);
        Text1[i]->setAccessibleName(name + " value");
        Label1[i]->setAccessibleDescription(name + " unit");
    }
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        if (!kChannels[i].unit.empty()) Label1[i]->setText(QString::fromLatin1(kChannels[i].unit));
    }
}

void Form1::ResetStore() {
    for (QLineEdit* box : Text1) box->clear();
    state_.ResetStore();
    ResetLimits();
    ShowLimits(nullptr);
}

void Form1::ShowPacket(int n) {
    // only stored packets: a number past packetCount would show an old record
    const TelemetryRecord* record = state_.Packet(n);
    if (!record) return;
    for (int i = 0; i < kChannelCount; ++i) {
        if (i == kJobIdChannel) continue;
        const double value = record->values[static_cast<std::size_t>(i)];
        ShowValue(*Text1[static_cast<std::size_t>(i)], i == kStatusChannel ? StatusText(value) : ValueText(value));
    }
    Label3->setText("OBC Timestamp: " + QString::fromLatin1(record->obcTime));
    Label4->setText("RX Timestamp: " + QString::fromLatin1(record->rxTime));
    Text1[kJobIdChannel]->setText(QString::fromLatin1(record->jobIdText));
    ShowLimits(record);
}

void Form1::HScroll1_Change() {
    ShowPosition(HScroll1->maximum());
    ShowPacket(HScroll1->value());
}

void Form1::ShowPosition(int count) {
    // an empty store has no position, as before the first packet
    ShowValue(*Text2, state_.packetCount == 0 ? QString() : PositionText(HScroll1->value(), count));
}

void Form1::SetPacketMaximum(int packetCount) {
    // the bar's lower end is packet 1; an empty store keeps it there
    HScroll1->setMaximum(std::max(1, packetCount));
}
