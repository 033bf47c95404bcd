#include "archive/export_names.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QString BaseName(const QString& path) {
    const QString fileName = QFileInfo(path).fileName();
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > 0 ? fileName.left(dot) : fileName;
}

QString ExportFileName(const QString& currentFileName, const QString& extension, const QStringList& importedFiles) {
    const QString folder = QFileInfo(currentFileName).path();
    const QString base = BaseName(currentFileName);
    const auto inFolder = [&](const QString& name) { return folder == "." ? name : QDir(folder).filePath(name); };
    const QString name = inFolder(base + u'.' + extension);
    const bool wouldReplaceAnImport = std::any_of(importedFiles.begin(), importedFiles.end(), [&](const QString& file) {
        return QFileInfo(file).absoluteFilePath() == QFileInfo(name).absoluteFilePath();
    });
    return wouldReplaceAnImport ? inFolder(base + "_export." + extension) : name;
}

QString ScreenshotBitmapName(const QString& imagePath, const QString& currentFileName) {
    const QString base = currentFileName.isEmpty() ? QString(kDefaultBaseName) : BaseName(currentFileName);
    return imagePath + base + ".bmp";
}
