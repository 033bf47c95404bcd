#pragma once

#include <QWidget>

class QScrollBar;

// A fixed-size surface in a window that may be smaller: two scroll bars of its own move the
// surface, and a box covers the corner where they meet.
class ScrollableSurface : public QWidget {
    Q_OBJECT

public:
    ScrollableSurface(QWidget* surface, QWidget* parent = nullptr);

    QWidget* PictureForm;
    QScrollBar* VScroll_V;
    QScrollBar* HScroll_H;
    QWidget* Picture2Form;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void LayOut();
    void MoveSurface();
};
