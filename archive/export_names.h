#pragma once

#include <QString>
#include <QStringList>

// Names of the files the exports write, from the file last imported.

// Without an import the exports go to "orca5.csv" and "orca5.tlm" in the current folder,
// and the screenshots are named "orca5".
inline constexpr char kDefaultBaseName[] = "orca5";

// The current file's name without its extension: "pass" of "/data/my.data/pass.kss".
// A name with no "." (or only a leading one) is whole.
QString BaseName(const QString& path);

// The current file's base name with the extension, in its folder. An export never replaces
// a file that was imported: that name becomes "BASE_export.EXTENSION".
QString ExportFileName(const QString& currentFileName, const QString& extension, const QStringList& importedFiles);

// The screenshot's bitmap: the image path, the current file's base name, ".bmp".
QString ScreenshotBitmapName(const QString& imagePath, const QString& currentFileName);
