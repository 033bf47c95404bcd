#include "intake/program_places.h"

#include "intake/configuration.h"
#include "intake/default_configuration.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
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

QString MakeFolder(const QString& folder) {
    if (QDir().mkpath(folder)) return {};
    return folder + " cannot be made";
}

QString WriteDefaultConfiguration(const QString& path) {
    if (const QString error = MakeFolder(QFileInfo(path).path()); !error.isEmpty()) return error;
    QSaveFile file(path);
    const QByteArray text(kDefaultConfiguration);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit()) return {};
    return path + " cannot be written: " + file.errorString();
}
