#include "ui/channel_chart.h"

#include "limits/limit_judge.h"
#include "ui/limit_colours.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kBarShare = 0.8;         // of a row; the rest is the gap between bars
constexpr int kOutlinedBarPixels = 4;     // thinner bars are all fill
constexpr int kLabelGapPixels = 8;

struct BarData {
    QVector<double> keys;
    QVector<double> values;
    double rowsPerBar = 1;
};

// A few hundred pixel columns cannot show 10000 bars one by one. The bars of the rows that
// fall into one column draw, together, from the deepest value to the tallest: so each column
// gets just those two bars.
BarData BarsPerColumn(const std::vector<double>& values, int columns) {
    BarData bars;
    const auto rows = static_cast<qsizetype>(values.size());
    if (rows <= columns) {
        for (qsizetype row = 0; row < rows; ++row) bars.keys.push_back(static_cast<double>(row + 1));
        bars.values = QVector<double>(values.begin(), values.end());
        return bars;
    }
    bars.rowsPerBar = static_cast<double>(rows) / columns;
    bars.keys.reserve(2 * columns);
    bars.values.reserve(2 * columns);
    for (qsizetype column = 0; column < columns; ++column) {
        const qsizetype first = column * rows / columns;
        const qsizetype end = (column + 1) * rows / columns;
        const auto [lowest, highest] = std::minmax_element(values.begin() + first, values.begin() + end);
        const double key = static_cast<double>(first + 1 + end) / 2;  // the middle of rows first+1..end
        bars.keys.push_back(key);
        bars.values.push_back(*highest);
        if (*lowest != *highest) {
            bars.keys.push_back(key);
            bars.values.push_back(*lowest);
        }
    }
    return bars;
}

// A line drawn much heavier than a bar's outline: two pixels, as two one-pixel lines a pixel
// apart, since Qt strokes a wider pen several times slower.
class HeavyLine : public QCPGraph {
public:
    using QCPGraph::QCPGraph;

protected:
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override {
        QCPGraph::drawLinePlot(painter, lines);
        painter->translate(1, 1);
        QCPGraph::drawLinePlot(painter, lines);
        painter->translate(-1, -1);
    }
};

// Characters 12 to 19 of the reception time: the time of day, or whatever stands there.
void RowLabel(const std::string& rxTime, std::string& label) {
    label.assign(rxTime, std::min<std::size_t>(11, rxTime.size()), 8);
}

}  // namespace

ChannelChart::ChannelChart(QWidget* parent)
    : QCustomPlot(parent), barsGroup_(new QCPBarsGroup(this)), ticker_(new QCPAxisTickerText) {
    ticker_->setSubTickCount(0);
    xAxis->setTicker(ticker_);
    barsGroup_->setSpacingType(QCPBarsGroup::stAbsolute);
    barsGroup_->setSpacing(0);

    // the legend goes below the plot, its entries side by side, centred between two spacers
    // (a grid's column is no wider than its narrowest element allows: alone, the legend
    // would narrow the plot to its own width)
    auto* legendRow = new QCPLayoutGrid;
    plotLayout()->addElement(1, 0, legendRow);
    plotLayout()->setRowStretchFactor(1, 0.001);
    legend->setVisible(true);
    axisRect()->insetLayout()->take(legend);
    legendRow->addElement(0, 0, new QCPLayoutElement(this));
    legendRow->addElement(0, 1, legend);
    legendRow->addElement(0, 2, new QCPLayoutElement(this));
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setBorderPen(Qt::NoPen);
    legend->setBrush(Qt::NoBrush);
}

int ChannelChart::FixedTickStep(int rows) {
    return static_cast<int>(std::nearbyint(rows / 50.0));  // halves to even: 125 rows give 2
}

void ChannelChart::Build(const ProgramState& state, std::span<const ChartSeries> series, ChartStyle style,
                         const std::optional<ChannelLimits>& limits) {
    const int rows = state.packetCount;
    if (rows == 0) return;
    limits_ = series.size() == 1 ? limits : std::nullopt;

    series_.assign(series.begin(), series.end());
    style_ = style;
    rowLabels_.resize(static_cast<std::size_t>(rows));
    columns_.assign(series.size(), std::vector<double>(static_cast<std::size_t>(rows)));
    for (int row = 0; row < rows; ++row) {
        const TelemetryRecord& record = state.packetStore[row];
        RowLabel(record.rxTime, rowLabels_[static_cast<std::size_t>(row)]);
        for (std::size_t k = 0; k < series.size(); ++k)
            columns_[k][static_cast<std::size_t>(row)] = record.values[static_cast<std::size_t>(series[k].channel)];
    }
    Draw();
}

void ChannelChart::resizeEvent(QResizeEvent* event) {
    if (rowCount() == 0) return QCustomPlot::resizeEvent(event);
    setViewport(rect());
    Draw();  // the bars depend on the width
}

void ChannelChart::changeEvent(QEvent* event) {
    QCustomPlot::changeEvent(event);
    if (event->type() != QEvent::FontChange) return;
    // the plot draws its texts itself, with fonts of its own
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->setTickLabelFont(font());
        axis->setLabelFont(font());
    }
    legend->setFont(font());
    for (int i = 0; i < legend->itemCount(); ++i) legend->item(i)->setFont(font());
}

int ChannelChart::PlotWidthPixels() const {
    return std::max(1, axisRect()->width() > 0 ? axisRect()->width() : width());
}

void ChannelChart::Draw() {
    clearPlottables();
    clearItems();
    // ranges and labels first: they decide how wide the plot is, and so the bars
    PlaceTicks();
    xAxis->setRange(0.5, rowCount() + 0.5);
    yAxis->setRange(ValueRange());
    updateLayout();
    DrawEclipses();
    if (style_ == ChartStyle::Bars)
        DrawBars();
    else
        DrawLines();
    replot();
}

void AddEclipseBand(QCustomPlot& plot, double from, double to) {
    auto* band = new QCPItemRect(&plot);
    band->setClipAxisRect(plot.axisRect());
    band->setLayer("background");  // behind the grid and the data
    for (QCPItemPosition* corner : {band->topLeft, band->bottomRight}) {
        corner->setAxisRect(plot.axisRect());
        corner->setAxes(plot.xAxis, plot.yAxis);
        corner->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    band->topLeft->setCoords(from, 0);
    band->bottomRight->setCoords(to, 1);
    band->setPen(Qt::NoPen);
    band->setBrush(kEclipseShade);
}

void ChannelChart::DrawEclipses() {
    for (const auto& [first, last] : eclipses_) AddEclipseBand(*this, first - 0.5, last + 0.5);
}

QCPRange ChannelChart::ValueRange() const {
    // bars stand on zero, so it is always in sight for them
    double lowest = style_ == ChartStyle::Bars ? 0 : columns_[0][0];
    double highest = lowest;
    for (const std::vector<double>& column : columns_) {
        const auto [low, high] = std::minmax_element(column.begin(), column.end());
        lowest = std::min(lowest, *low);
        highest = std::max(highest, *high);
    }
    if (lowest == highest) return {lowest - 1, highest + 1};
    return {lowest, highest};
}

void ChannelChart::DrawBars() {
    const int seriesCount = this->seriesCount();
    const int plotPixels = PlotWidthPixels();
    const bool outlined = plotPixels * kBarShare / (rowCount() * seriesCount) >= kOutlinedBarPixels;
    for (std::size_t k = 0; k < series_.size(); ++k) {
        const BarData data = BarsPerColumn(columns_[k], std::max(1, plotPixels / seriesCount));
        const double share = data.rowsPerBar > 1 ? 1.0 : kBarShare;  // squeezed columns touch
        auto* bars = new QCPBars(xAxis, yAxis);
        bars->setName(series_[k].legend);
        bars->setBrush(series_[k].colour);
        bars->setPen(outlined ? QPen(series_[k].colour.darker(), 1) : QPen(Qt::NoPen));
        bars->setAntialiased(false);
        bars->setAntialiasedFill(false);
        bars->setWidth(data.rowsPerBar * share / seriesCount);
        if (seriesCount > 1) bars->setBarsGroup(barsGroup_);
        bars->setData(data.keys, data.values, true);
        if (limits_) DrawLimits(data.keys, data.values);
    }
}

void ChannelChart::DrawLines() {
    QVector<double> keys(rowCount());
    for (int row = 0; row < rowCount(); ++row) keys[row] = row + 1;
    for (std::size_t k = 0; k < series_.size(); ++k) {
        auto* graph = new HeavyLine(xAxis, yAxis);
        graph->setName(series_[k].legend);
        graph->setPen(QPen(series_[k].colour, 1));
        graph->setAntialiased(false);
        graph->setData(keys, QVector<double>(columns_[k].begin(), columns_[k].end()), true);
        // a line needs two packets: one alone shows as a point
        if (rowCount() == 1) graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 5));
        if (limits_) DrawLimits(keys, QVector<double>(columns_[k].begin(), columns_[k].end()));
    }
}

// The four limits as lines across the plot, and each value out of them a point in its
// state's colour over the bar or line.
void ChannelChart::DrawLimits(const QVector<double>& keys, const QVector<double>& values) {
    const ChannelLimits& limits = *limits_;
    AddLimitLines(*this, limits);
    for (const LimitState state : {LimitState::YellowLow, LimitState::YellowHigh, LimitState::RedLow, LimitState::RedHigh}) {
        QVector<double> outKeys, outValues;
        for (qsizetype i = 0; i < keys.size(); ++i)
            if (StateOf(values[i], limits) == state) outKeys << keys[i], outValues << values[i];
        if (outKeys.isEmpty()) continue;
        auto* marks = new QCPGraph(xAxis, yAxis);
        marks->setLineStyle(QCPGraph::lsNone);
        marks->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, QPen(LimitColour(state).darker(150)), LimitColour(state), 6));
        marks->setData(outKeys, outValues, true);
        marks->removeFromLegend();
    }
}

void ChannelChart::PlaceTicks() {
    const int rows = rowCount();
    const int plotPixels = PlotWidthPixels();
    const int labelPixels = QFontMetrics(xAxis->tickLabelFont()).horizontalAdvance(QStringLiteral("00:00:00")) + kLabelGapPixels;
    tickStep_ = rows > kFixedTicksAbove ? FixedTickStep(rows)
                                        : std::max(1, (rows * labelPixels + plotPixels - 1) / plotPixels);

    QVector<double> positions;
    QVector<QString> labels;
    for (int row = 1; row <= rows; row += tickStep_) {
        positions.push_back(row);
        labels.push_back(QString::fromLatin1(rowLabel(row)));
    }
    ticker_->setTicks(positions, labels);
    // labels that do not fit side by side stand upright
    xAxis->setTickLabelRotation(positions.size() * labelPixels > plotPixels ? -90 : 0);
}
