// Writes the programs' icon, the satellite the Info window paints, as PNGs for the icon theme:
// orca5_icons FOLDER writes FOLDER/NxN/apps/org.orca5.orca5s.png at 48, 128 and 256 pixels.
#include "ui/satellite_picture.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) return std::fputs("usage: orca5_icons FOLDER\n", stderr), 2;
    for (const int size : {48, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(folder) || !SatellitePicture(QSize(size, size)).save(folder + "/org.orca5.orca5s.png")) {
            std::fprintf(stderr, "orca5_icons: %s cannot be written\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
