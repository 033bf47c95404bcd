#pragma once

#include <QString>

// Screenshots are saved as bitmaps; an outside converter, started without waiting for it,
// turns each into a PNG of 256 colours beside it and deletes the bitmap.

inline constexpr char kConverterName[] = "nconvert";

// Where an installed converter stands, from the installed programs' folder: the
// library-executables folder, libexec/orca5 (the build says where that is).
inline constexpr char kConverterFolderFromPrograms[] = ORCA5_CONVERTER_FOLDER;

// The converter beside the program first, then in the library-executables folder, then on
// the search path; empty when there is none.
QString FindConverter(const QString& programFolder);

// Starts the converter on the bitmap. False when there is none or it could not be started.
bool StartConverter(const QString& programFolder, const QString& bitmap);

// The PNG the converter makes of a bitmap: the same name, ".png" for ".bmp".
QString ConvertedImageName(const QString& bitmap);
