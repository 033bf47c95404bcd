#pragma once

#include "limits/limits_file.h"
#include "telemetry/program_state.h"

#include <qcustomplot.h>

#include <span>
#include <string>
#include <vector>

enum class ChartStyle { Bars, Line };

// The shade behind what was measured in the Earth's shadow.
inline const QColor kEclipseShade(205, 210, 222);

// A band of that shade from `from` to `to` on a plot's x axis, its whole height, behind the grid
// and the data.
void AddEclipseBand(QCustomPlot& plot, double from, double to);

// The colours of the series of a chart group, in its order.
inline const QColor kSeriesColours[] = {QColor(70, 130, 180), QColor(34, 139, 34), QColor(176, 48, 96)};

// One series of the chart: a channel over all stored packets.
struct ChartSeries {
    int channel;
    QString legend;
    QColor colour;
};

// The chart under the telemetry table: one channel, or a group of three, over packets 1 to
// packetCount, one row per packet, labelled with the time of day the packet was received.
// It keeps a copy of the values it was given, so a resize can redraw without the store.
class ChannelChart : public QCustomPlot {
    Q_OBJECT

public:
    explicit ChannelChart(QWidget* parent = nullptr);

    // Rebuilds the chart from the store and draws it; with no packets it keeps what it shows.
    // A single channel with limits gets them as four lines, and its values out of them marked
    // in their state's colour.
    void Build(const ProgramState& state, std::span<const ChartSeries> series, ChartStyle style,
               const std::optional<ChannelLimits>& limits = std::nullopt);
    const std::optional<ChannelLimits>& limits() const { return limits_; }
    // The rows (first and last, from 1) the satellite was in the Earth's shadow, shaded behind
    // the data from the next Build on; none: no shading.
    void SetEclipses(std::vector<std::pair<int, int>> rows) { eclipses_ = std::move(rows); }
    const std::vector<std::pair<int, int>>& eclipses() const { return eclipses_; }

    int rowCount() const { return static_cast<int>(rowLabels_.size()); }
    int seriesCount() const { return static_cast<int>(columns_.size()); }
    ChartStyle style() const { return style_; }
    const std::string& rowLabel(int row) const { return rowLabels_[static_cast<std::size_t>(row - 1)]; }
    // Rows from one tick mark and label to the next; automatic up to 100 rows.
    int tickStep() const { return tickStep_; }
    bool automaticTicks() const { return rowCount() <= kFixedTicksAbove; }

    // Past 100 rows a tick and a label stand at every 50th part of the rows.
    static constexpr int kFixedTicksAbove = 100;
    static int FixedTickStep(int rows);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Draw();
    void DrawBars();
    void DrawLines();
    void PlaceTicks();
    void DrawLimits(const QVector<double>& keys, const QVector<double>& values);
    void DrawEclipses();
    QCPRange ValueRange() const;
    int PlotWidthPixels() const;

    std::vector<std::string> rowLabels_;       // characters 12 to 19 of each packet's rx time
    std::vector<std::vector<double>> columns_;  // one per series, one value per row
    std::vector<ChartSeries> series_;
    QCPBarsGroup* barsGroup_;
    QSharedPointer<QCPAxisTickerText> ticker_;
    ChartStyle style_ = ChartStyle::Bars;
    std::optional<ChannelLimits> limits_;
    std::vector<std::pair<int, int>> eclipses_;
    int tickStep_ = 1;
};
