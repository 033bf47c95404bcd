#include "ui/satellite_picture.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void PaintSky(QPainter& painter) {
    painter.fillRect(QRectF(0, 0, 100, 100), QColor(12, 20, 48));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(235, 235, 210));
    const QPointF stars[] = {{12, 10}, {30, 22}, {78, 8}, {90, 30}, {8, 48}, {62, 16}, {46, 6}, {86, 52}};
    for (const QPointF& star : stars) painter.drawEllipse(star, 0.7, 0.7);

    // the Earth's limb and its thin blue air
    painter.setBrush(QColor(60, 120, 200, 90));
    painter.drawEllipse(QPointF(50, 190), 112, 112);
    painter.setBrush(QColor(30, 90, 160));
    painter.drawEllipse(QPointF(50, 190), 108, 108);
}

void PaintSolarPanel(QPainter& painter, const QRectF& panel) {
    painter.setPen(QPen(QColor(150, 170, 200), 0.8));
    painter.setBrush(QColor(25, 55, 130));
    painter.drawRect(panel);
    for (int i = 1; i < 4; ++i) {
        const qreal x = panel.left() + panel.width() * i / 4;
        painter.drawLine(QPointF(x, panel.top()), QPointF(x, panel.bottom()));
    }
    painter.drawLine(QPointF(panel.left(), panel.center().y()), QPointF(panel.right(), panel.center().y()));
}

void PaintSatellite(QPainter& painter) {
    // booms, then the panels on them
    painter.setPen(QPen(QColor(190, 190, 190), 1.2));
    painter.drawLine(QPointF(14, 45), QPointF(86, 45));
    PaintSolarPanel(painter, QRectF(8, 36, 26, 18));
    PaintSolarPanel(painter, QRectF(66, 36, 26, 18));

    // the body, gold foil with a darker side
    painter.setPen(QPen(QColor(120, 90, 20), 0.8));
    painter.setBrush(QColor(214, 170, 60));
    painter.drawRect(QRectF(40, 34, 20, 22));
    painter.setBrush(QColor(170, 130, 40));
    painter.drawRect(QRectF(54, 34, 6, 22));

    // a whip antenna with its tip
    painter.setPen(QPen(QColor(230, 230, 230), 1.0));
    painter.drawLine(QPointF(50, 34), QPointF(50, 18));
    painter.setBrush(QColor(230, 60, 60));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(50, 17), 1.6, 1.6);
}

}  // namespace

QPixmap SatellitePicture(QSize size) {
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size.width() / 100.0, size.height() / 100.0);  // drawn on a 100 x 100 canvas
    PaintSky(painter);
    PaintSatellite(painter);
    return pixmap;
}
