#include "ui/limit_colours.h"

#include <qcustomplot.h>

void AddLimitLines(QCustomPlot& plot, const ChannelLimits& limits) {
    for (const auto& [value, red] : {std::pair{limits.redLow, true}, {limits.yellowLow, false}, {limits.yellowHigh, false}, {limits.redHigh, true}}) {
        auto* line = new QCPItemStraightLine(&plot);
        line->point1->setCoords(0, value);
        line->point2->setCoords(1, value);
        line->setPen(QPen(red ? kRedText : kYellowBackground.darker(130), 1, Qt::DashLine));
    }
}
