#include "ui/health_window.h"

#include "telemetry/time_stamps.h"
#include "telemetry/value_text.h"
#include "ui/limit_colours.h"
#include "ui/time_range_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

int Rank(LimitState state) { return IsRed(state) ? 0 : state == LimitState::Green ? 2 : 1; }

}  // namespace

QString DurationText(std::int64_t milliseconds) {
    const std::int64_t seconds = std::max<std::int64_t>(0, milliseconds / 1000);
    if (seconds < 60) return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600) return QStringLiteral("%1 min").arg(seconds / 60);
    if (seconds < 86400) return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
    return QStringLiteral("%1 d %2 h").arg(seconds / 86400).arg(seconds % 86400 / 3600);
}

QString LimitsText(const ChannelLimits& limits) {
    return QStringLiteral("%1 / %2 \u2026 %3 / %4")
        .arg(ValueText(limits.redLow), ValueText(limits.yellowLow), ValueText(limits.yellowHigh), ValueText(limits.redHigh));
}

Health::Health(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Health");
    resize(760, 520);
    Satellite = new QLabel(this);
    Satellite->setAccessibleDescription("The satellite's last packet");
    Satellite->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    NextPass = new QLabel(this);
    NextPass->setAccessibleDescription("The satellite's next pass over the station");
    NextPass->hide();
    Channels = new QTableWidget(0, 5, this);
    Channels->setAccessibleName("Channels with limits");
    Channels->setHorizontalHeaderLabels({"Channel", "Value", "State", "Since (UTC)", "Limits (red / yellow \u2026 yellow / red)"});
    Channels->verticalHeader()->hide();
    Channels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Channels->setSelectionBehavior(QAbstractItemView::SelectRows);
    Channels->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Satellite);
    layout->addWidget(NextPass);
    layout->addWidget(Channels, 1);
}

void Health::ShowNextPass(const QString& text) {
    NextPass->setText(text);
    NextPass->setAccessibleName(text);
    NextPass->show();
}

void Health::Show(const LimitJudge& judge, const TelemetryRecord* shown, std::int64_t nowMs, const QString& station) {
    if (const std::optional<std::int64_t> last = judge.lastPacketMs()) {
        QString line = QStringLiteral("Last packet %1 UTC, %2 ago").arg(FieldTime(*last), DurationText(nowMs - *last));
        if (!station.isEmpty()) line += ", heard by " + station;
        if (judge.stale()) line += ": stale";
        Satellite->setText(line);
    } else {
        Satellite->setText("No packet yet");
    }
    Satellite->setStyleSheet(judge.stale() ? QStringLiteral("color: %1").arg(kRedText.name()) : QString());

    struct Row {
        int channel;
        LimitState state;
        double value;
    };
    std::vector<Row> rows;
    for (int i = 0; i < kChannelCount; ++i) {
        const std::optional<ChannelLimits>& limits = judge.limits().channels[static_cast<std::size_t>(i)];
        if (!limits) continue;
        const ChannelStanding& standing = judge.standing(i);
        const double value = shown ? shown->values[static_cast<std::size_t>(i)] : standing.value;
        rows.push_back({i, shown ? StateOf(value, *limits) : standing.state, value});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return Rank(a.state) < Rank(b.state); });
    Channels->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const Row& row = rows[static_cast<std::size_t>(r)];
        const Channel& channel = kChannels[static_cast<std::size_t>(row.channel)];
        const ChannelStanding& standing = judge.standing(row.channel);
        const QString value = ValueText(row.value) + (channel.unit.empty() ? QString() : " " + QString::fromLatin1(channel.unit));
        const QStringList cells{QString::fromLatin1(channel.name), standing.heard || shown ? value : QString(), LimitStateName(row.state),
                                standing.sinceMs > 0 ? FieldTime(standing.sinceMs) : QString(),
                                LimitsText(*judge.limits().channels[static_cast<std::size_t>(row.channel)])};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (row.state != LimitState::Green) item->setBackground(LimitColour(row.state));
            Channels->setItem(r, c, item);
        }
    }
    Channels->resizeColumnsToContents();
}
