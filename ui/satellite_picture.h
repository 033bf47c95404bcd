#pragma once

#include <QPixmap>
#include <QSize>

// Our own picture of a small satellite over the Earth's limb, drawn at any size:
// the Info window's picture (200 x 201) and the window icon (64 x 64).
QPixmap SatellitePicture(QSize size);
