#pragma once

#include <QScrollBar>

// The packet bar: a horizontal scroll bar that the arrow keys move one packet, as a click on
// its arrows does (Qt's scroll bar leaves them to its parent). Page Up/Down, Home and End
// work as in any scroll bar; every move goes through the same change notification.
class PacketBar : public QScrollBar {
public:
    explicit PacketBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
