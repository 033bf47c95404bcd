#include "ui/packet_bar.h"

#include <QKeyEvent>

void PacketBar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        return triggerAction(SliderSingleStepSub);
    case Qt::Key_Right:
        return triggerAction(SliderSingleStepAdd);
    default:
        return QScrollBar::keyPressEvent(event);
    }
}
