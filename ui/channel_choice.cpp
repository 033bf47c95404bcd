// Choosing a channel: the highlight in the table, the chart frame's caption, and the chart.
#include "telemetry/value_text.h"
#include "ui/channel_chart.h"
#include "ui/limit_colours.h"
#include "ui/main_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>

namespace {

const QColor kChosen(255, 255, 192);

}  // namespace

void Form1::Option1_Click(int index, ChartRequest request) {
    state_.chartChannel = index;
    const auto i = static_cast<std::size_t>(index);
    const QString unit = Label1[i]->text();
    Frame1->setTitle(unit.isEmpty() ? Option1[i]->text() : Option1[i]->text() + " (" + unit + ")");
    ShowPosition(HScroll1->maximum());
    Option1[i]->setChecked(true);
    HighlightChannel(index);

    if (request == ChartRequest::Channel) return BuildChannelChart(index);
    for (const ChartGroup& group : variant_.chartGroups) {
        if (group.Contains(index)) return BuildGroupChart(group);
    }
    // a channel of no group leaves the chart as it is
}

// A value out of limits shows its state's colour, which the chosen channel's gives way to.
void Form1::HighlightChannel(int index) {
    for (int i = 0; i < kChannelCount; ++i) {
        QLineEdit* box = Text1[static_cast<std::size_t>(i)];
        const LimitState state = shownStates_[static_cast<std::size_t>(i)];
        const QColor colour = state != LimitState::Green ? LimitColour(state) : i == index ? kChosen : QColor(Qt::white);
        if (box->palette().color(QPalette::Base) == colour) continue;
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, colour);
        box->setPalette(palette);
    }
}

void Form1::Check1_Click() { BuildChannelChart(state_.chartChannel); }

void Form1::BuildChannelChart(int channel) {
    if (state_.packetCount == 0) return;
    const ChartSeries series{channel, Option1[static_cast<std::size_t>(channel)]->text(), kSeriesColours[0]};
    MSChart1->SetEclipses(EclipseRows());
    MSChart1->Build(state_, {&series, 1}, Check1->isChecked() ? ChartStyle::Bars : ChartStyle::Line,
                    limitJudge_ ? limitJudge_->limits().channels[static_cast<std::size_t>(channel)] : std::nullopt);
    ShowPacket(HScroll1->value());  // the table shows the packet the position names
}

void Form1::BuildGroupChart(const ChartGroup& group) {
    if (state_.packetCount == 0) return;
    std::array<ChartSeries, 3> series;
    for (std::size_t k = 0; k < series.size(); ++k) {
        const int channel = group.channels[k];
        series[k] = {channel, Option1[static_cast<std::size_t>(channel)]->text(), kSeriesColours[k]};
    }
    MSChart1->SetEclipses(EclipseRows());
    MSChart1->Build(state_, series, MSChart1->style());  // bars or line as the last chart had them
    ShowPacket(HScroll1->value());  // the table shows the packet the position names
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // a right click on a channel's selector asks for its group
    const QVariant channel = watched->property("channel");
    if (event->type() == QEvent::MouseButtonRelease && channel.isValid() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        Option1_Click(channel.toInt(), ChartRequest::Group);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
