#include "exports/screenshot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// Puts an executable converter into the folder and returns its path.
QString InstallConverter(const QString& folder) {
    const QString path = QDir(folder).filePath(kConverterName);
    QFile::copy(NCONVERT_PATH, path);
    QFile::setPermissions(path, QFile::ExeOwner | QFile::ReadOwner);
    return path;
}

// The search path for as long as it lives.
class SearchPath {
public:
    explicit SearchPath(const QString& path) : saved_(qgetenv("PATH")) { qputenv("PATH", path.toUtf8()); }
    ~SearchPath() { qputenv("PATH", saved_); }

private:
    QByteArray saved_;
};

}  // namespace

TEST(Screenshot, TheConverterBesideTheProgramComesBeforeTheSearchPath) {
    QTemporaryDir program, onPath, empty;
    const QString besideProgram = InstallConverter(program.path());
    const QString searched = InstallConverter(onPath.path());
    const SearchPath path(onPath.path());

    EXPECT_EQ(FindConverter(program.path()), besideProgram);
    EXPECT_EQ(FindConverter(empty.path()), searched);
}

TEST(Screenshot, WithoutAConverterNothingStarts) {
    QTemporaryDir empty;
    const SearchPath path(empty.path());
    EXPECT_EQ(FindConverter(empty.path()), "");
    EXPECT_FALSE(StartConverter(empty.path(), empty.filePath("orca5.bmp")));
}

TEST(Screenshot, AnInstalledConverterIsFoundInTheLibraryExecutables) {
    QTemporaryDir prefix, empty;
    QDir(prefix.path()).mkpath("bin");
    QDir(prefix.path()).mkpath("libexec/orca5");
    const QString converter = InstallConverter(prefix.filePath("libexec/orca5"));
    const SearchPath path(empty.path());
    EXPECT_EQ(QFileInfo(FindConverter(prefix.filePath("bin"))).canonicalFilePath(), QFileInfo(converter).canonicalFilePath());
}
