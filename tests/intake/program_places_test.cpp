#include "intake/program_places.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

TEST(ProgramPlaces, PortableBesideAConfIniInstalledInTheUsersPlaces) {
    QTemporaryDir program;
    WriteBytes(program.filePath("conf.ini"), "TCP_PORT = 8001\n");
    const ProgramPlaces portable = FindProgramPlaces(program.path());
    EXPECT_FALSE(portable.installed);
    EXPECT_EQ(portable.configFile, program.filePath("conf.ini"));
    EXPECT_EQ(portable.captureFolder, program.path());
    EXPECT_EQ(portable.imageFolder, program.path());

    QTemporaryDir installedProgram;  // no conf.ini there: the tests' main made a home of its own
    const ProgramPlaces installed = FindProgramPlaces(installedProgram.path());
    EXPECT_TRUE(installed.installed);
    EXPECT_EQ(installed.configFile, qEnvironmentVariable("XDG_CONFIG_HOME") + "/orca5/conf.ini");
    EXPECT_EQ(installed.captureFolder, qEnvironmentVariable("XDG_DATA_HOME") + "/orca5");
    EXPECT_TRUE(installed.imageFolder.startsWith(qEnvironmentVariable("HOME")));
}

TEST(ProgramPlaces, TheDefaultConfIniIsTheBuildsAndItsFolderIsMade) {
    QTemporaryDir home;
    const QString path = home.filePath("config/orca5/conf.ini");
    EXPECT_EQ(WriteDefaultConfiguration(path), "");
    EXPECT_EQ(Contents(path), Contents(DEFAULT_CONF_PATH));
    EXPECT_EQ(WriteDefaultConfiguration("/proc/orca5/conf.ini"), "/proc/orca5 cannot be made");
}
