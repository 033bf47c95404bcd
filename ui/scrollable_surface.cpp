#include "ui/scrollable_surface.h"

#include "ui/twips.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QWheelEvent>

namespace {
constexpr int kBarThickness = Twips(255);
constexpr int kStepPixels = 16;  // one row of the telemetry table
}  // namespace

ScrollableSurface::ScrollableSurface(QWidget* surface, QWidget* parent) : QWidget(parent), PictureForm(surface) {
    PictureForm->setParent(this);
    PictureForm->move(0, 0);

    // created after the surface, so they stay above it
    VScroll_V = new QScrollBar(Qt::Vertical, this);
    VScroll_V->setObjectName("VScroll_V");
    VScroll_V->setAccessibleName("Scroll the window up and down");
    VScroll_V->setGeometry(TwipsRect(10800, 0, 255, 11775));
    HScroll_H = new QScrollBar(Qt::Horizontal, this);
    HScroll_H->setObjectName("HScroll_H");
    HScroll_H->setAccessibleName("Scroll the window left and right");
    HScroll_H->setGeometry(TwipsRect(0, 11520, 10815, 255));
    Picture2Form = new QWidget(this);
    Picture2Form->setObjectName("Picture2Form");
    Picture2Form->setGeometry(TwipsRect(120, 0, 10935, 11775));
    Picture2Form->setAutoFillBackground(true);

    for (QScrollBar* bar : {VScroll_V, HScroll_H}) {
        bar->setMinimum(0);
        bar->setSingleStep(kStepPixels);
        connect(bar, &QScrollBar::valueChanged, this, &ScrollableSurface::MoveSurface);
    }
}

void ScrollableSurface::resizeEvent(QResizeEvent*) {
    if (window()->isMinimized()) return;
    LayOut();
}

void ScrollableSurface::LayOut() {
    const int surfaceWidth = PictureForm->width();
    const int surfaceHeight = PictureForm->height();
    const int clientWidth = width();
    const int clientHeight = height();

    VScroll_V->setVisible(surfaceHeight > clientHeight);
    HScroll_H->setVisible(surfaceWidth > clientWidth);
    Picture2Form->setVisible(VScroll_V->isVisibleTo(this) || HScroll_H->isVisibleTo(this));

    const QPoint corner(clientWidth - kBarThickness, clientHeight - kBarThickness);
    HScroll_H->setGeometry(0, corner.y(), corner.x(), kBarThickness);
    VScroll_V->setGeometry(corner.x(), 0, kBarThickness, corner.y());
    Picture2Form->move(corner);

    // a hidden bar puts its side of the surface back at the origin
    VScroll_V->setMaximum(std::max(0, surfaceHeight - clientHeight + kBarThickness));
    HScroll_H->setMaximum(std::max(0, surfaceWidth - clientWidth + kBarThickness));
    VScroll_V->setPageStep(std::max(1, corner.y()));
    HScroll_H->setPageStep(std::max(1, corner.x()));
    if (!VScroll_V->isVisibleTo(this)) VScroll_V->setValue(0);
    if (!HScroll_H->isVisibleTo(this)) HScroll_H->setValue(0);
}

void ScrollableSurface::MoveSurface() { PictureForm->move(-HScroll_H->value(), -VScroll_V->value()); }

void ScrollableSurface::wheelEvent(QWheelEvent* event) {
    // the wheel anywhere on the surface scrolls it
    QScrollBar* bar = event->modifiers() & Qt::ShiftModifier ? HScroll_H : VScroll_V;
    if (bar->isVisible()) QCoreApplication::sendEvent(bar, event);
}
