#pragma once

#include "archive/channel_history.h"
#include "limits/limits_file.h"
#include "orbit/orbit.h"

#include <qcustomplot.h>

#include <QStringList>
#include <QWidget>

#include <functional>

#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class ColumnBand;

// What the History window can chart: a channel, or a chart group of three.
struct HistoryChoice {
    std::vector<int> channels;
    QStringList names;  // a channel's each
    QString unit;

    QString title() const { return names.join(", "); }  // "Battery 1 Volt, Battery 2 Volt, Battery 3 Volt"
};

// The History window's chart: its plot's width in pixels, as the next drawing lays it out.
class HistoryPlot : public QCustomPlot {
    Q_OBJECT

public:
    using QCustomPlot::QCustomPlot;

    int PlotColumns() {
        updateLayout();
        return std::max(1, axisRect()->width());
    }

    std::function<void()> resized;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QCustomPlot::resizeEvent(event);
        if (resized) resized();
    }
};

// "History": a channel over any time range of the archive on a UTC time axis, each pixel
// column showing the least and greatest value of its packets as a band and their mean as a
// line, a column without packets a gap; packets per day in a strip below, of all stations or one. The wheel zooms
// around the pointer, dragging pans, and each change is read anew from the archive at the new
// resolution: the window holds what it draws, never the packets. A double click asks for the
// 24 hours around its time in the main window.
class History : public QWidget {
    Q_OBJECT

public:
    History(std::unique_ptr<ArchiveReader> archive, std::vector<HistoryChoice> choices, int chosen, QWidget* parent = nullptr);
    // Limits to draw: a channel's four as lines, and its columns out of them in their colour.
    void SetLimits(std::optional<Limits> limits);
    // Element sets: the stretches the satellite spent in the Earth's shadow shaded behind the
    // columns, where three days or less are shown.
    void SetOrbit(std::optional<Orbit> orbit);
    const std::vector<std::pair<double, double>>& eclipses() const { return eclipses_; }
    ~History() override;

    void ShowRange(const TimeRange& range);
    void ShowWholeMission();
    // The archive has more: read anew when the chart shows its newest time, following the
    // newest packets as they come.
    void ArchiveChanged();

    // The 24 hours around a time, asked for with a double click or Enter.
    std::function<void(const TimeRange&)> loadRange;

    // What it draws: the range, a column list a series, the days of the strip.
    TimeRange range() const;
    const std::vector<std::vector<HistoryColumn>>& series() const { return series_; }
    const std::vector<HistoryColumn>& days() const { return days_; }
    // The time under a pixel of the chart, and the readout of the column there.
    std::int64_t TimeAt(double x) const;
    void ShowReadout(std::int64_t timeMs);

    QComboBox* Channel;
    QComboBox* Station;  // whose packets the strip counts: "All stations", or one
    QPushButton* WholeMission;
    HistoryPlot* Chart;
    QLabel* Readout;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildChart();
    void Redraw();        // reads the shown range anew
    TimeRange MissionRange();  // the oldest to the newest packet, and a little beside them
    void Zoom(double factor);
    void Pan(double share);
    void LoadAround(std::int64_t timeMs);
    void FitValues(const HistoryChoice& choice);
    void DrawLimits(const HistoryChoice& choice);
    void DrawEclipses(const TimeRange& shown);
    void ShowDays();
    void SetTimeFormat(double seconds);

    std::unique_ptr<ArchiveReader> archive_;
    std::optional<Limits> limits_;
    std::optional<Orbit> orbit_;
    std::vector<std::pair<double, double>> eclipses_;  // those drawn, in milliseconds
    std::vector<HistoryChoice> choices_;
    std::vector<std::vector<HistoryColumn>> series_;
    std::vector<HistoryColumn> days_;
    std::vector<ColumnBand*> bands_;
    QCPAxisRect* strip_;
    QCPBars* perDay_;
    QTimer* redraw_;
    std::int64_t newestShown_ = 0;  // the newest packet the chart was told of
};
