#pragma once

#include "limits/limit_judge.h"

#include <QWidget>

class QLabel;
class QTableWidget;

// "Health": the satellite's line (its last packet, how long ago, who heard it; stale in red),
// then a row a channel with limits: its name, the value shown with its unit, its state, the
// time of its last transition and its limits, red and yellow rows first.
class Health : public QWidget {
    Q_OBJECT

public:
    explicit Health(QWidget* parent = nullptr);

    // The judge's standing, and the values of the packet the main window shows (none: the
    // judge's last), as of now.
    void Show(const LimitJudge& judge, const TelemetryRecord* shown, std::int64_t nowMs, const QString& station);

    // The next pass over the station, with element sets.
    void ShowNextPass(const QString& text);

    QLabel* Satellite;
    QLabel* NextPass;  // hidden without element sets
    QTableWidget* Channels;
};

// "3 h 12 min", "45 s", "2 d 4 h": how long a stretch of milliseconds is, roughly.
QString DurationText(std::int64_t milliseconds);

// "3.3 / 3.5 … 4.2 / 4.4": red low, yellow low, yellow high, red high.
QString LimitsText(const ChannelLimits& limits);
