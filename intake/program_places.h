#pragma once

#include <QString>

// Where a program keeps its files. Portable, when a conf.ini stands beside the program (the
// build folder, an unpacked archive): everything in the program's folder. Installed, when none
// does (the program's folder is shared and read-only): the user's own places.
struct ProgramPlaces {
    bool installed = false;
    QString configFile;     // conf.ini
    QString captureFolder;  // daily capture files and the SiDS outbox, unless CAPTURE_PATH says otherwise
    QString imageFolder;    // screenshots, unless IMAGE_PATH says otherwise
};

// Installed: ~/.config/orca5/conf.ini, ~/.local/share/orca5/ and the Pictures folder, as the
// platform names them.
ProgramPlaces FindProgramPlaces(const QString& programFolder);

// Writes the default conf.ini, making its folder; why it could not, or nothing.
QString WriteDefaultConfiguration(const QString& path);
