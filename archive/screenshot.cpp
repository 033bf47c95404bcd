#include "archive/screenshot.h"

#include <QProcess>
#include <QStandardPaths>

QString FindConverter(const QString& programFolder) {
    const QString beside = QStandardPaths::findExecutable(kConverterName, {programFolder});
    return beside.isEmpty() ? QStandardPaths::findExecutable(kConverterName) : beside;
}

bool StartConverter(const QString& programFolder, const QString& bitmap) {
    const QString converter = FindConverter(programFolder);
    const QStringList arguments{"-out", "png", "-colors", "256", "-quiet", "-D", bitmap};
    return !converter.isEmpty() && QProcess::startDetached(converter, arguments);
}

QString ConvertedImageName(const QString& bitmap) { return bitmap.left(bitmap.size() - 3) + "png"; }
