#include "ui/column_band.h"

#include "ui/limit_colours.h"

#include <algorithm>

void WidenToValues(const std::vector<HistoryColumn>& columns, QCPRange& range, bool& found) {
    for (const HistoryColumn& column : columns) {
        if (column.values.packets == 0) continue;
        range = found ? QCPRange(std::min(range.lower, column.values.minimum), std::max(range.upper, column.values.maximum))
                      : QCPRange(column.values.minimum, column.values.maximum);
        found = true;
    }
}

QCPRange ColumnBand::getKeyRange(bool& found, QCP::SignDomain) const {
    found = columns_ && !columns_->empty();
    return found ? QCPRange(ChartSeconds(columns_->front().fromMs), ChartSeconds(columns_->back().toMs)) : QCPRange();
}

QCPRange ColumnBand::getValueRange(bool& found, QCP::SignDomain, const QCPRange&) const {
    found = false;
    QCPRange range;
    if (columns_) WidenToValues(*columns_, range, found);
    return range;
}

void ColumnBand::draw(QCPPainter* painter) {
    if (!columns_) return;
    QColor band = colour_;
    band.setAlpha(90);
    QPolygonF top, bottom, means;
    std::vector<std::pair<QRectF, QColor>> outOfLimits;  // drawn over the bands
    const auto endRun = [&] {
        if (top.isEmpty()) return;
        painter->setPen(Qt::NoPen);
        painter->setBrush(band);
        std::reverse(bottom.begin(), bottom.end());
        painter->drawPolygon(top + bottom);
        painter->setPen(QPen(colour_, 1));
        painter->setBrush(Qt::NoBrush);
        // a lone column's mean is a dash across it, and a pixel either side
        const double y = means[0].y();
        painter->drawPolyline(means.size() > 1 ? means : QPolygonF{QPointF(top[0].x() - 1, y), QPointF(top[1].x() + 1, y)});
        top.clear(), bottom.clear(), means.clear();
    };
    for (const HistoryColumn& column : *columns_) {
        if (column.values.packets == 0) {
            endRun();
            continue;
        }
        const double left = mKeyAxis->coordToPixel(ChartSeconds(column.fromMs));
        const double right = std::max(mKeyAxis->coordToPixel(ChartSeconds(column.toMs)), left + 1);
        const double high = mValueAxis->coordToPixel(column.values.maximum);
        const double low = std::max(mValueAxis->coordToPixel(column.values.minimum), high + 1);
        top << QPointF(left, high) << QPointF(right, high);
        bottom << QPointF(left, low) << QPointF(right, low);
        means << QPointF((left + right) / 2, mValueAxis->coordToPixel(column.values.mean()));
        if (!limits_) continue;
        const LimitState lowest = StateOf(column.values.minimum, *limits_), highest = StateOf(column.values.maximum, *limits_);
        if (lowest == LimitState::Green && highest == LimitState::Green) continue;
        const LimitState worse = IsRed(lowest) || IsRed(highest) ? LimitState::RedLow : LimitState::YellowLow;
        outOfLimits.emplace_back(QRectF(QPointF(left, high), QPointF(right, low)), LimitColour(worse));
    }
    endRun();
    painter->setPen(Qt::NoPen);
    for (const auto& [place, colour] : outOfLimits) painter->fillRect(place, colour);
}
