#include "exports/export_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>


QString BaseName(const QString& path) {
    const QString fileName = QFileInfo(path).fileName();
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > 0 ? fileName.left(dot) : fileName;
}

namespace {

bool MayWriteOver(const QString& path, const ExportGuard& guard) {
    QFile file(path);
    if (!file.exists()) return true;
    if (guard.importedFiles.contains(QFileInfo(path).canonicalFilePath())) return false;
    const auto length = static_cast<qint64>(guard.signature.size());
    return file.open(QIODevice::ReadOnly) && file.read(length) == QByteArrayView(guard.signature);
}

}  // namespace

QString ExportFileName(const QString& currentFileName, const QString& extension, const ExportGuard& guard) {
    const QString folder = QFileInfo(currentFileName).path();
    const QString base = BaseName(currentFileName);
    const auto inFolder = [&](const QString& name) { return folder == "." ? name : QDir(folder).filePath(name); };
    QString name = inFolder(base + u'.' + extension);
    for (int n = 1; !MayWriteOver(name, guard); ++n)
        name = inFolder(base + "_export" + (n == 1 ? QString() : QString::number(n)) + u'.' + extension);
    return name;
}

QString ScreenshotBitmapName(const QString& imagePath, const QString& currentFileName) {
    const QString base = currentFileName.isEmpty() ? QString(kDefaultBaseName) : BaseName(currentFileName);
    return imagePath + base + ".bmp";
}
