#include "exports/screenshot.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

QString FindConverter(const QString& programFolder) {
    const QStringList installed{programFolder, QDir(programFolder).filePath(kConverterFolderFromPrograms)};
    const QString found = QStandardPaths::findExecutable(kConverterName, installed);
    return found.isEmpty() ? QStandardPaths::findExecutable(kConverterName) : found;
}

bool StartConverter(const QString& programFolder, const QString& bitmap) {
    const QString converter = FindConverter(programFolder);
    const QStringList arguments{"-out", "png", "-colors", "256", "-quiet", "-D", bitmap};
    return !converter.isEmpty() && QProcess::startDetached(converter, arguments);
}

QString ConvertedImageName(const QString& bitmap) { return bitmap.left(bitmap.size() - 3) + "png"; }
