#include "intake/program_places.h"

#include "intake/configuration.h"
#include "intake/default_configuration.h"
#include "intake/whole_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString UserFolder(QStandardPaths::StandardLocation location) {
    return QDir(QStandardPaths::writableLocation(location)).filePath("orca5");
}

}  // namespace

ProgramPlaces FindProgramPlaces(const QString& programFolder) {
    const QString beside = QDir(programFolder).filePath(kConfigurationFileName);
    if (QFileInfo::exists(beside)) return {false, beside, programFolder, programFolder};
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return {true, QDir(UserFolder(QStandardPaths::GenericConfigLocation)).filePath(kConfigurationFileName),
            UserFolder(QStandardPaths::GenericDataLocation), pictures.isEmpty() ? QDir::homePath() : pictures};
}

QString WriteDefaultConfiguration(const QString& path) {
    if (const QString error = MakeFolder(QFileInfo(path).path()); !error.isEmpty()) return error;
    const QString error = WriteFileSafely(path, kDefaultConfiguration);
    return error.isEmpty() ? error : path + " cannot be written: " + error;
}
