#include "ui/history_window.h"

#include "telemetry/value_text.h"
#include "archive/history_view.h"
#include "orbit/eclipses.h"
#include "ui/channel_chart.h"
#include "ui/column_band.h"
#include "ui/limit_colours.h"
#include "ui/time_range_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <array>
#include <tuple>
#include <cmath>

namespace {

constexpr int kStripPixels = 60;
constexpr std::array<std::ptrdiff_t, 7> kNearest{0, -1, 1, -2, 2, -3, 3};

}  // namespace

History::History(std::unique_ptr<ArchiveReader> archive, std::vector<HistoryChoice> choices, int chosen, QWidget* parent)
    : QWidget(parent, Qt::Window), archive_(std::move(archive)), choices_(std::move(choices)) {
    setWindowTitle("History");
    resize(1100, 560);

    Channel = new QComboBox(this);
    Channel->setAccessibleName("Channel");
    for (const HistoryChoice& choice : choices_) Channel->addItem(choice.title());
    Channel->setCurrentIndex(chosen);
    WholeMission = new QPushButton("&Whole mission", this);
    WholeMission->setAccessibleName("Whole mission");
    Station = new QComboBox(this);
    Station->setAccessibleName("Station");
    Station->setAccessibleDescription("Whose packets the strip of packets per day counts");
    Station->addItem("All stations");
    std::vector<std::string> stations;
    archive_->Stations(stations);  // none listed when it cannot be read: all of them then
    for (const std::string& station : stations) Station->addItem(QString::fromStdString(station));
    auto* top = new QHBoxLayout;
    for (const auto& [caption, box, stretch] : {std::tuple{"&Channel", Channel, 1}, {"S&tation", Station, 0}}) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        top->addWidget(label);
        top->addWidget(box, stretch);
    }
    top->addWidget(WholeMission);

    BuildChart();

    Readout = new QLabel(this);
    Readout->setAccessibleDescription("The column under the pointer");
    Readout->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Chart, 1);
    layout->addWidget(Readout);

    // a drag or a turn of the wheel moves the range many times a frame: it is read once
    redraw_ = new QTimer(this);
    redraw_->setSingleShot(true);
    redraw_->setInterval(0);
    connect(redraw_, &QTimer::timeout, this, &History::Redraw);
    connect(Chart->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this](const QCPRange& shown) {
        if (const TimeRange within = WithinViewLimits(range()); within.from != range().from || within.to != range().to)
            return ShowRange(within);
        strip_->axis(QCPAxis::atBottom)->setRange(shown);
        redraw_->start();
    });
    connect(Chart, &QCustomPlot::mouseMove, this, [this](QMouseEvent* event) { ShowReadout(TimeAt(event->position().x())); });
    connect(Chart, &QCustomPlot::mouseDoubleClick, this,
            [this](QMouseEvent* event) { LoadAround(TimeAt(event->position().x())); });
    Chart->resized = [this] { redraw_->start(); };
    connect(Channel, &QComboBox::currentIndexChanged, this, &History::Redraw);
    connect(Station, &QComboBox::currentIndexChanged, this, &History::Redraw);
    connect(WholeMission, &QPushButton::clicked, this, &History::ShowWholeMission);
    // read once the window is laid out and its width known
    const TimeRange mission = MissionRange();
    Chart->xAxis->setRange(ChartSeconds(*mission.from), ChartSeconds(*mission.to));
}

History::~History() = default;

void History::BuildChart() {
    Chart = new HistoryPlot(this);
    Chart->setAccessibleName("History chart");
    Chart->setAccessibleDescription("Plus and minus zoom, the arrow keys pan, Home shows the whole mission, "
                                    "Enter loads the 24 hours around the middle into the main window");
    Chart->setFocusPolicy(Qt::StrongFocus);
    Chart->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    Chart->axisRect()->setRangeDrag(Qt::Horizontal);
    Chart->axisRect()->setRangeZoom(Qt::Horizontal);
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setTimeZone(QTimeZone::utc());
    Chart->xAxis->setTicker(ticker);

    // packets per day, under the chart on the same time axis
    strip_ = new QCPAxisRect(Chart);
    strip_->setMaximumSize(QWIDGETSIZE_MAX, kStripPixels);
    strip_->setMinimumSize(0, kStripPixels);
    strip_->axis(QCPAxis::atBottom)->setTicker(ticker);
    strip_->axis(QCPAxis::atLeft)->setLabel("packets/day");
    strip_->axis(QCPAxis::atLeft)->ticker()->setTickCount(2);
    Chart->plotLayout()->addElement(1, 0, strip_);
    auto* margins = new QCPMarginGroup(Chart);
    Chart->axisRect()->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
    strip_->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
    Chart->xAxis->setTickLabels(false);
    perDay_ = new QCPBars(strip_->axis(QCPAxis::atBottom), strip_->axis(QCPAxis::atLeft));
    perDay_->setWidth(24 * 60 * 60);
    perDay_->setPen(Qt::NoPen);
    perDay_->setBrush(QColor(90, 90, 90));
}

TimeRange History::range() const {
    const QCPRange shown = Chart->xAxis->range();
    return {std::llround(shown.lower * 1000), std::llround(shown.upper * 1000)};
}

std::int64_t History::TimeAt(double x) const { return std::llround(Chart->xAxis->pixelToCoord(x) * 1000); }

void History::ShowRange(const TimeRange& range) {
    Chart->xAxis->setRange(ChartSeconds(range.from.value_or(0)), ChartSeconds(range.to.value_or(0)));
    Redraw();
}

void History::ShowWholeMission() { ShowRange(MissionRange()); }

TimeRange History::MissionRange() {
    const std::int64_t oldest = archive_->OldestPacketTime().value_or(0);
    const std::int64_t newest = archive_->NewestPacketTime().value_or(0);
    newestShown_ = newest;
    return MissionView(oldest, newest);
}

void History::ArchiveChanged() {
    const std::optional<std::int64_t> newest = archive_->NewestPacketTime();
    if (!newest) return;
    const FollowStep step = FollowNewest(range(), newestShown_, *newest);
    newestShown_ = std::max(newestShown_, *newest);
    if (step.action == FollowStep::Action::Move) return ShowRange(step.range);
    if (step.action == FollowStep::Action::ReadAgain) Redraw();
}

void History::Redraw() {
    redraw_->stop();  // asked for by the range's change: done now
    const HistoryChoice& choice = choices_[static_cast<std::size_t>(std::max(0, Channel->currentIndex()))];
    const TimeRange shown = range();
    const std::string station = Station->currentIndex() > 0 ? Station->currentText().toStdString() : std::string();
    QString error = ReadPacketsPerDay(*archive_, shown, days_, station.empty() ? std::nullopt : std::optional<std::string_view>(station));
    ShowDays();
    SetTimeFormat(Chart->xAxis->range().size());
    series_.resize(choice.channels.size());
    // the values' labels set the plot's width: read again when new ones change it, a few times
    // at most (labels that widen and narrow the plot by turns settle nowhere)
    constexpr int kReadsAtMost = 3;
    for (int columns = 0, wide = Chart->PlotColumns(), read = 0; columns != wide && error.isEmpty() && read < kReadsAtMost;
         wide = Chart->PlotColumns(), ++read) {
        columns = wide;
        for (std::size_t k = 0; k < choice.channels.size() && error.isEmpty(); ++k)
            error = ReadChannelHistory(*archive_, choice.channels[k], shown, columns, series_[k]);
        FitValues(choice);
    }

    // one band a series, made as the choice needs them
    while (bands_.size() < series_.size())
        bands_.push_back(new ColumnBand(Chart->xAxis, Chart->yAxis, kSeriesColours[bands_.size()]));
    for (std::size_t k = 0; k < bands_.size(); ++k) bands_[k]->SetColumns(k < series_.size() ? &series_[k] : nullptr);
    DrawLimits(choice);
    DrawEclipses(shown);
    Chart->replot();
    if (!error.isEmpty()) Readout->setText("The archive could not be read: " + error);
}

void History::SetLimits(std::optional<Limits> limits) {
    limits_ = std::move(limits);
    Redraw();
}

// A single channel's limits as lines; a chart group's have none.
void History::DrawLimits(const HistoryChoice& choice) {
    Chart->clearItems();
    const std::optional<ChannelLimits> limits =
        limits_ && choice.channels.size() == 1 ? limits_->channels[static_cast<std::size_t>(choice.channels[0])] : std::nullopt;
    for (ColumnBand* band : bands_) band->SetLimits(limits);
    if (limits) AddLimitLines(*Chart, *limits);
}

void History::SetOrbit(std::optional<Orbit> orbit) {
    orbit_ = std::move(orbit);
    Redraw();
}

void History::DrawEclipses(const TimeRange& shown) {
    eclipses_.clear();
    // over more days the bands, fifteen a day, would be narrower than a column
    constexpr std::int64_t kLongestShadedMs = 3 * 86400000LL;
    if (!orbit_ || !shown.from || !shown.to || *shown.to - *shown.from > kLongestShadedMs) return;
    eclipses_ = EclipsesBetween(*orbit_, static_cast<double>(*shown.from), static_cast<double>(*shown.to));
    for (const auto& [entry, exit] : eclipses_) AddEclipseBand(*Chart, ChartSeconds(std::llround(entry)), ChartSeconds(std::llround(exit)));
}

void History::ShowDays() {
    QVector<double> keys, counts;
    double most = 1;
    for (const HistoryColumn& day : days_) {
        keys << ChartSeconds(day.fromMs) + 12 * 60 * 60;
        counts << static_cast<double>(day.values.packets);
        most = std::max(most, counts.back());
    }
    perDay_->setData(keys, counts, true);
    strip_->axis(QCPAxis::atLeft)->setRange(0, most);
}

void History::FitValues(const HistoryChoice& choice) {
    bool found = false;
    QCPRange values;
    for (const auto& columns : series_) WidenToValues(columns, values, found);
    // a margin above and below, so that the extremes stand clear of the frame
    const double margin = std::max(values.size() / 20, 0.5);
    if (found) Chart->yAxis->setRange(values.lower - margin, values.upper + margin);
    Chart->yAxis->setLabel(choice.unit.isEmpty() ? choice.title() : choice.title() + " (" + choice.unit + ")");
}

void History::SetTimeFormat(double seconds) {
    auto ticker = Chart->xAxis->ticker().staticCast<QCPAxisTickerDateTime>();
    ticker->setDateTimeFormat(seconds > 3 * 24 * 60 * 60 ? "yyyy-MM-dd" : seconds > 600 ? "MM-dd HH:mm" : "HH:mm:ss");
}

void History::ShowReadout(std::int64_t timeMs) {
    QString text = FieldTime(timeMs) + " UTC";
    if (series_.empty() || series_[0].empty()) return Readout->setText(text);
    const auto& first = series_[0];
    const auto under = std::find_if(first.begin(), first.end(), [&](const HistoryColumn& c) { return c.toMs > timeMs; }) - first.begin();
    // a packet a pixel wide is hard to point at: the nearest column with packets, three at most away
    const auto at = std::find_if(kNearest.begin(), kNearest.end(), [&](std::ptrdiff_t away) {
        const std::ptrdiff_t column = under + away;
        return column >= 0 && column < std::ssize(first) && first[static_cast<std::size_t>(column)].values.packets > 0;
    });
    if (at == kNearest.end()) return Readout->setText(text + ": no packets");
    const auto index = static_cast<std::size_t>(under + *at);
    const HistoryChoice& choice = choices_[static_cast<std::size_t>(Channel->currentIndex())];
    for (std::size_t k = 0; k < series_.size(); ++k) {
        const ValueSummary& values = series_[k][index].values;
        text += QStringLiteral("%1 %2: min %3, max %4")
                    .arg(k == 0 ? ":" : ";", choice.names[static_cast<qsizetype>(k)], ValueText(values.minimum), ValueText(values.maximum));
    }
    const std::int64_t packets = first[index].values.packets;
    Readout->setText(text + QStringLiteral(", %1 packet%2").arg(packets).arg(packets == 1 ? "" : "s"));
}

void History::LoadAround(std::int64_t timeMs) {
    if (loadRange) loadRange(DayAround(timeMs));
}

void History::Zoom(double factor) { ShowRange(Zoomed(range(), factor)); }

void History::Pan(double share) { ShowRange(Panned(range(), share)); }

void History::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: Zoom(0.5); break;
    case Qt::Key_Minus: Zoom(2); break;
    case Qt::Key_Left: Pan(-0.25); break;
    case Qt::Key_Right: Pan(0.25); break;
    case Qt::Key_Home: ShowWholeMission(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: LoadAround(std::llround(Chart->xAxis->range().center() * 1000)); break;
    default: return QWidget::keyPressEvent(event);
    }
    ShowReadout(std::llround(Chart->xAxis->range().center() * 1000));
}
