// The archive in the window: a time range of it loaded into the store, as an import.
#include "exports/csv_export.h"
#include "archive/postgres/postgres_archive.h"
#include "intake/frame_recognition.h"
#include "telemetry/hex_text.h"
#include "ui/main_window.h"
#include "ui/time_range_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace {

void BringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

QString DateOf(std::int64_t milliseconds) { return FieldTime(milliseconds).left(10).remove('-'); }

}  // namespace

void Form1::MnuLoadTimeRange_Click() {
    if (!archive_) return;
    CommitArchive();  // what came in last is there to load
    QString error;
    ArchiveReader* reader = archive_->Reader(error);
    if (!reader) return Text4->setText(error + ": nothing was loaded");
    // the 24 hours before the newest packet, the newest included
    const std::int64_t newest = reader->NewestPacketTime().value_or(0);
    const std::int64_t to = newest / 1000 * 1000 + 1000;
    TimeRangeDialog dialog(to - kDayMs, to, this);
    if (dialog.exec() == QDialog::Accepted) LoadTimeRange(dialog.range());
}

void Form1::MnuHistory_Click() {
    if (!history_) {
        // a connection of its own, reading what the archive has committed while this one writes
        QString error;
        std::unique_ptr<ArchiveReader> reader = archive_->OpenReader(error);
        if (!reader) return Text4->setText(error);
        CommitArchive();
        std::vector<HistoryChoice> choices;
        for (int i = 0; i < kChannelCount; ++i)
            choices.push_back({{i}, {Option1[static_cast<std::size_t>(i)]->text()}, Label1[static_cast<std::size_t>(i)]->text()});
        for (const ChartGroup& group : variant_.chartGroups) {
            HistoryChoice choice{{group.channels.begin(), group.channels.end()}, {}, Label1[static_cast<std::size_t>(group.channels[0])]->text()};
            for (const int channel : group.channels) choice.names << Option1[static_cast<std::size_t>(channel)]->text();
            choices.push_back(choice);
        }
        history_ = new History(std::move(reader), std::move(choices), state_.chartChannel, this);
        if (limitJudge_) history_->SetLimits(limitJudge_->limits());
        if (orbit_) history_->SetOrbit(*orbit_);
        history_->setAttribute(Qt::WA_DeleteOnClose);
        history_->setFont(font());
        history_->loadRange = [this](const TimeRange& range) { LoadTimeRangeInFront(range); };
    }
    BringForward(history_);
}

void Form1::MnuPasses_Click() {
    if (!passes_) {
        CommitArchive();
        // read on a thread of its own, through a connection of its own
        const QString location = archive_->location();
        passes_ = new Passes([location](QString& error) { return OpenArchiveReader(location, error); },
                             configuration_.passGapMs.value_or(kPassGapMs), this);
        passes_->setAttribute(Qt::WA_DeleteOnClose);
        passes_->setFont(font());
        passes_->loadRange = [this](const TimeRange& range) { LoadTimeRangeInFront(range); };
    }
    BringForward(passes_);
}

void Form1::LoadTimeRangeInFront(const TimeRange& range) {
    LoadTimeRange(range);
    BringForward(this);
}

void Form1::LoadTimeRange(const TimeRange& range) {
    if (importing_) {
        rangeAfterImport_ = range;
        return;
    }
    CommitArchive();
    QString error;
    ArchiveReader* reader = archive_->Reader(error);
    if (!reader) return Text4->setText(error + ": nothing was loaded");
    StartImport();
    // through the decoder as an import: the store, the frame log, the payload text; the time
    // each packet was first heard, as the archive writes it
    DecoderContext context{decodeView_, variant_.log};
    std::string frameHex;
    reader->ForEachPacket({range, AllChannels(), true, kStoreCapacity}, [&](const ArchivedPacket& packet) {
        HexText(packet.frame, frameHex);
        const int stored = state_.packetCount;
        DecodeTelemetryFrame(context, packet.frame, {packet.record.rxTime, frameHex});
        if (state_.packetCount > stored) state_.SetHeardBy({HeardByText(packet.stations, packet.firstStation), false});
    });
    reader->ForEachTextBeacon(range, [&](const ArchivedPacket& beacon) {
        AppendBeaconText(BeaconTextLine(beacon.frame, beacon.record.rxTime, variant_.log));
    });
    const std::int64_t from = range.from.value_or(0), to = range.to.value_or(0);
    // beside an archive file; a server's beside the capture files
    const QString folder = IsPostgresUrl(archive_->location()) ? captureFolder_ : QFileInfo(archive_->location()).path();
    state_.currentFileName = QDir(folder).filePath("orca5-archive_" + DateOf(from) + "-" + DateOf(to));
    RefreshAfterImport();
    FlushLogs();

    const std::int64_t inRange = reader->CountPackets(range);
    const QString span = QStringLiteral("packets from %1 to %2").arg(FieldTime(from), FieldTime(to));
    Text4->setText(inRange > state_.packetCount
                       ? QStringLiteral("%1 of %2 %3; narrow the range for the rest").arg(state_.packetCount).arg(inRange).arg(span)
                       : QStringLiteral("%1 %2").arg(state_.packetCount).arg(span));
}
