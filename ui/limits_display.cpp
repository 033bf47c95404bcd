// Limits in the window, when conf.ini names a file: each packet judged as it is stored, the
// value boxes of the packet shown coloured by their state, the count in the menu bar's corner,
// and the Health window.
#include "telemetry/time_stamps.h"
#include "telemetry/value_text.h"
#include "ui/health_window.h"
#include "ui/limit_colours.h"
#include "ui/main_window.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>

namespace {

// "red_low: 3.21 is below 3.3 (limits 3.3 / 3.5 … 4.2 / 4.4)"
QString StateText(LimitState state, double value, const ChannelLimits& limits) {
    const QString limitsText = " (limits " + LimitsText(limits) + ")";
    const std::optional<double> threshold = ThresholdOf(state, limits);
    if (!threshold) return "green: " + ValueText(value) + " is within its limits" + limitsText;
    const bool low = state == LimitState::RedLow || state == LimitState::YellowLow;
    return QStringLiteral("%1: %2 is %3 %4").arg(LimitStateName(state), ValueText(value), low ? "below" : "above", ValueText(*threshold)) +
           limitsText;
}

}  // namespace

void Form1::OpenLimits() {
    if (configuration_.limits.isEmpty()) return;
    LimitsLabel = new QLabel(this);
    LimitsLabel->setAccessibleDescription("Channels out of limits");
    AddToMenuCorner(LimitsLabel, "Limits: 52 red, 52 yellow ");
    auto read = ReadLimitsFile(configuration_.limits, configuration_.limitSet);
    if (const auto* problem = std::get_if<QString>(&read)) {
        limitsProblem_ = *problem;
        LimitsLabel->setText("Limits off: " + *problem);
        Text4->setText("Limits off: " + *problem);
    } else {
        limitJudge_.emplace(std::get<Limits>(std::move(read)));
    }
    auto* view = menuBar()->addMenu("&View");
    view->setFont(font());
    MnuHealth = view->addAction("&Health");
    connect(MnuHealth, &QAction::triggered, this, &Form1::MnuHealth_Click);
    ShowLimits(nullptr);
}

void Form1::AddToMenuCorner(QLabel* label, const QString& widest) {
    auto* corner = menuBar()->cornerWidget();
    if (!corner) {
        corner = new QWidget(this);
        auto* row = new QHBoxLayout(corner);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(18);
        menuBar()->setCornerWidget(corner);
    }
    label->setText(widest);
    label->setMinimumWidth(label->sizeHint().width());
    corner->layout()->addWidget(label);
    corner->adjustSize();
}

void Form1::JudgeLimits(const TelemetryRecord& record) {
    if (!limitJudge_) return;
    limitJudge_->Judge(UtcMilliseconds(record.rxTime), record, transitions_);
    transitions_.clear();  // the window shows states; the command line tells transitions
}

void Form1::ResetLimits() {
    if (!limitJudge_) return;
    Limits limits = limitJudge_->limits();
    limitJudge_.emplace(std::move(limits));
}

void Form1::ShowLimits(const TelemetryRecord* shown) {
    if (!LimitsLabel) return;
    if (!limitJudge_) {
        if (health_) health_->Satellite->setText("Limits off: " + limitsProblem_);
        return;
    }
    int red = 0, yellow = 0;
    for (int i = 0; i < kChannelCount; ++i) {
        const std::optional<ChannelLimits>& limits = limitJudge_->limits().channels[static_cast<std::size_t>(i)];
        if (!limits) continue;
        QLineEdit& box = *Text1[static_cast<std::size_t>(i)];
        const LimitState state = shown ? StateOf(shown->values[static_cast<std::size_t>(i)], *limits) : LimitState::Green;
        shownStates_[static_cast<std::size_t>(i)] = state;
        const QString text = shown ? StateText(state, shown->values[static_cast<std::size_t>(i)], *limits) : QString();
        box.setToolTip(text);
        box.setAccessibleDescription(shown ? QString::fromLatin1(kChannels[static_cast<std::size_t>(i)].name) + " " + text : QString());
        red += IsRed(state);
        yellow += state != LimitState::Green && !IsRed(state);
    }
    HighlightChannel(state_.chartChannel);
    LimitsLabel->setText(QStringLiteral("Limits: %1 red, %2 yellow").arg(red).arg(yellow));
    if (health_) health_->Show(*limitJudge_, shown, QDateTime::currentMSecsSinceEpoch(), configuration_.callsign);
}

void Form1::TickLimits() {
    if (!limitJudge_) return;
    limitJudge_->Tick(QDateTime::currentMSecsSinceEpoch(), transitions_);
    transitions_.clear();
    if (health_) health_->Show(*limitJudge_, state_.Packet(HScroll1->value()), QDateTime::currentMSecsSinceEpoch(), configuration_.callsign);
}

void Form1::MnuHealth_Click() {
    if (!health_) {
        health_ = new Health(this);
        health_->setAttribute(Qt::WA_DeleteOnClose);
        health_->setFont(font());
    }
    ShowLimits(state_.Packet(HScroll1->value()));
    TickLimits();
    ShowNextPass();
    health_->show();
    health_->raise();
    health_->activateWindow();
}
