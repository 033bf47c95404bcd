#pragma once

#include "archive/channel_history.h"
#include "limits/limits_file.h"

#include <qcustomplot.h>

#include <vector>

// Seconds since 1970, as the charts' time axes count, of UTC milliseconds.
inline double ChartSeconds(std::int64_t milliseconds) { return static_cast<double>(milliseconds) / 1000; }

// From the least to the greatest value of the columns, widening one found before.
void WidenToValues(const std::vector<HistoryColumn>& columns, QCPRange& range, bool& found);

// The columns of one series: a band from each column's least to its greatest value, and the
// means joined by a line that stops at every gap. A column of one pixel with one packet is a
// dot; nothing is ever thinner than a pixel, so a lone spike shows.
class ColumnBand : public QCPAbstractPlottable {
public:
    ColumnBand(QCPAxis* keyAxis, QCPAxis* valueAxis, const QColor& colour)
        : QCPAbstractPlottable(keyAxis, valueAxis), colour_(colour) {}

    void SetColumns(const std::vector<HistoryColumn>* columns) { columns_ = columns; }
    // A column whose least or greatest value is out of these is drawn in its state's colour.
    void SetLimits(const std::optional<ChannelLimits>& limits) { limits_ = limits; }

    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }

    QCPRange getKeyRange(bool& found, QCP::SignDomain) const override;
    QCPRange getValueRange(bool& found, QCP::SignDomain, const QCPRange&) const override;

protected:
    // A run of columns without a gap is one stepped outline, filled once: a fill a column
    // would cost a pass of the painter's threads each.
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override { painter->fillRect(rect, colour_); }

private:
    QColor colour_;
    const std::vector<HistoryColumn>* columns_ = nullptr;
    std::optional<ChannelLimits> limits_;
};
