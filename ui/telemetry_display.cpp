// The telemetry table and the packet navigation: one packet of the store on screen.
#include "telemetry/channel_names.h"
#include "telemetry/time_stamps.h"
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
    eclipseRows_.clear();
    eclipseRowsThrough_ = 0;
    ResetLimits();
    ShowLimits(nullptr);
    ShowOrbit(nullptr);
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
    ShowOrbit(record);
    ShowHeardBy(n);
}

std::string HeardByText(std::string_view stations, std::string_view first) {
    std::string text;
    bool firstNamed = false;
    for (std::size_t start = 0; start < stations.size();) {
        const std::size_t end = std::min(stations.find(',', start), stations.size());
        const std::string_view station = stations.substr(start, end - start);
        start = end + 1;
        if (!first.empty() && station == first && !firstNamed) {
            text.insert(0, std::string(station) + " (first)" + (text.empty() ? "" : ", "));
            firstNamed = true;
        } else {
            text.append(text.empty() ? "" : ", ").append(station);
        }
    }
    return text;
}

void Form1::ShowHeardBy(int n) {
    if (!HeardByLabel) return;
    const bool stored = n >= 1 && n <= static_cast<int>(state_.heardBy.size());
    const ProgramState::Heard* heard = stored ? &state_.heardBy[static_cast<std::size_t>(n - 1)] : nullptr;
    // a live packet is looked for once the archive has taken more since it came, not on its arrival
    if (heard && heard->live && archiveChanges_ > heard->archiveTook) LookUpLiveHeardBy(n);
    const QString text = heard && !heard->stations.empty() ? "heard by " + QString::fromStdString(heard->stations) : QString();
    HeardByLabel->setText(HeardByLabel->fontMetrics().elidedText(text, Qt::ElideRight, HeardByLabel->width()));
    HeardByLabel->setToolTip(text);
    HeardByLabel->setAccessibleName(text);  // whole, where the label is too narrow
}

// A live packet once the archive has it: the same values heard within the time that makes one
// transmission, up to its own reception.
void Form1::LookUpLiveHeardBy(int n) {
    const TelemetryRecord* record = state_.Packet(n);
    const std::optional<std::int64_t> heard = record ? UtcMilliseconds(record->rxTime) : std::nullopt;
    QString error;
    ArchiveReader* reader = heard ? archive_->Reader(error) : nullptr;
    if (!reader) return;
    reader->ForEachPacket({{*heard - kSameTransmissionMs, *heard + 1}, AllChannels(), true}, [&](const ArchivedPacket& packet) {
        if (packet.record.obcTime != record->obcTime || packet.record.values != record->values) return;
        state_.heardBy[static_cast<std::size_t>(n - 1)] = {HeardByText(packet.stations, packet.firstStation), false};
    });
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
