// The archive in the window: a time range of it loaded into the store, as an import.
#include "archive/csv_export.h"
#include "intake/frame_recognition.h"
#include "telemetry/hex_text.h"
#include "ui/main_window.h"
#include "ui/time_range_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

QString DateOf(std::int64_t milliseconds) { return FieldTime(milliseconds).left(10).remove('-'); }

}  // namespace

void Form1::MnuLoadTimeRange_Click() {
    if (!archive_) return;
    CommitArchive();  // what came in last is there to load
    // the 24 hours before the newest packet, the newest included
    const std::int64_t newest = archive_->NewestPacketTime().value_or(0);
    const std::int64_t to = newest / 1000 * 1000 + 1000;
    TimeRangeDialog dialog(to - kDayMs, to, this);
    if (dialog.exec() == QDialog::Accepted) LoadTimeRange(dialog.range());
}

void Form1::LoadTimeRange(const TimeRange& range) {
    StartImport();
    // through the decoder as an import: the store, the frame log, the payload text; the time
    // each packet was first heard, as the archive writes it
    DecoderContext context{decodeView_, variant_.log};
    std::string frameHex;
    archive_->ForEachPacket({range, AllChannels(), false, kStoreCapacity}, [&](const ArchivedPacket& packet) {
        HexText(packet.frame, frameHex);
        DecodeTelemetryFrame(context, packet.frame, {packet.record.rxTime, frameHex});
    });
    archive_->ForEachTextBeacon(range, [&](const ArchivedPacket& beacon) {
        AppendBeaconText(BeaconTextLine(beacon.frame, beacon.record.rxTime, variant_.log));
    });
    const std::int64_t from = range.from.value_or(0), to = range.to.value_or(0);
    state_.currentFileName = QDir(QFileInfo(archive_->path()).path()).filePath("orca5-archive_" + DateOf(from) + "-" + DateOf(to));
    RefreshAfterImport();
    FlushLogs();

    const std::int64_t inRange = archive_->CountPackets(range);
    const QString span = QStringLiteral("packets from %1 to %2").arg(FieldTime(from), FieldTime(to));
    Text4->setText(inRange > state_.packetCount
                       ? QStringLiteral("%1 of %2 %3; narrow the range for the rest").arg(state_.packetCount).arg(inRange).arg(span)
                       : QStringLiteral("%1 %2").arg(state_.packetCount).arg(span));
}
