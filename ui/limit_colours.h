#pragma once

#include "limits/limit_judge.h"

#include <QColor>

// The colours of values out of limits: light enough that black text stays readable on them.
inline const QColor kYellowBackground(255, 224, 102);
inline const QColor kRedBackground(255, 150, 150);
inline const QColor kRedText(200, 0, 0);

inline QColor LimitColour(LimitState state) { return IsRed(state) ? kRedBackground : kYellowBackground; }

class QCustomPlot;

// A channel's four limits as dashed lines across a plot: red ones red, yellow ones a dark yellow.
void AddLimitLines(QCustomPlot& plot, const ChannelLimits& limits);
