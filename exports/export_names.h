#pragma once

#include <QSet>
#include <QString>

#include <string_view>

// Names of the files the exports write, from the file last imported.

// Without an import the exports go to "orca5.csv" and "orca5.tlm" in the current folder,
// and the screenshots are named "orca5".
inline constexpr char kDefaultBaseName[] = "orca5";

// The current file's name without its extension: "pass" of "/data/my.data/pass.kss".
// A name with no "." (or only a leading one) is whole.
QString BaseName(const QString& path);

// What an export may write over: a file of the same kind this program exported earlier (it
// begins with that kind's signature, the CSV heading or the report's banner) that no import
// of this run has read. importedFiles holds their canonical paths.
struct ExportGuard {
    std::string_view signature;
    const QSet<QString>& importedFiles;
};

// The current file's base name with the extension, in its folder. When a file that the export
// may not write over stands there, the name becomes "BASE_export.EXTENSION", then
// "BASE_export2.EXTENSION" and so on, the first that is free or may be written over.
QString ExportFileName(const QString& currentFileName, const QString& extension, const ExportGuard& guard);

// The screenshot's bitmap: the image path, the current file's base name, ".bmp".
QString ScreenshotBitmapName(const QString& imagePath, const QString& currentFileName);
