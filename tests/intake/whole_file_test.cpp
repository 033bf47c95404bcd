// Every file the programs write goes through these: a replacement only when whole, an append
// all or nothing, the system's reason when they cannot.
#include "intake/whole_file.h"
#include "support/files.h"
#include "support/small_disk.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(WholeFile, AFailedReplacementLeavesTheOldFileWhole) {
    QTemporaryDir folder;
    const QString path = folder.filePath("pass.csv");
    EXPECT_EQ(WriteFileSafely(path, "old"), "");
    EXPECT_EQ(WriteFileSafely(path, "new"), "");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "new");
    file.close();

    // no new file can stand beside one whose name is this long, so it cannot be replaced
    const QString stuck = folder.filePath(QString(250, 'x') + ".csv");
    EXPECT_EQ(WriteFileSafely(stuck, "old"), "");
    EXPECT_NE(WriteFileSafely(stuck, "new contents"), "");
    QFile kept(stuck);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "old");

    QFile::copy(stuck, folder.filePath("plain"));
    EXPECT_NE(WriteFileSafely(folder.filePath("plain/inside.csv"), "x"), "") << "a folder that is a file";
}

TEST(WholeFile, OnASmallDiskNothingIsReplacedCutOrLeftBehind) {
    SmallDisk disk;
    const std::string old = "an earlier export\r\n", page(4096, 'p');  // a whole page: no room left in it
    const QString replaced = WriteBytes(disk.FilePath("pass.csv"), old);
    const QString appended = WriteBytes(disk.FilePath("day.kss"), page);
    WriteBytes(disk.FilePath("room"), std::string(64 * 1024, 'r'));
    disk.Fill();
    for (const std::size_t size : {300u, 4096u, 4u << 20}) {
        const std::string bytes(size, 'n');
        EXPECT_EQ(WriteFileSafely(replaced, bytes), "No space left on device") << size;
        EXPECT_EQ(WriteFileSafely(disk.FilePath("new.csv"), bytes), "No space left on device") << size;
        EXPECT_EQ(AppendToFile(appended, bytes), "No space left on device") << size;
        EXPECT_EQ(AppendToFile(disk.FilePath("new.kss"), bytes), "No space left on device") << size;
    }
    // room for part of a large write: a cut replacement is never renamed, a cut append taken back
    QFile::remove(disk.FilePath("room"));
    EXPECT_EQ(WriteFileSafely(replaced, std::string(4 << 20, 'n')), "No space left on device");
    EXPECT_EQ(AppendToFile(appended, std::string(4 << 20, 'n')), "No space left on device");
    EXPECT_EQ(Contents(replaced).toStdString(), old);
    EXPECT_EQ(Contents(appended).toStdString(), page);
    EXPECT_EQ(disk.Files(), (QStringList{"day.kss", "pass.csv"}));

    disk.Free();
    EXPECT_EQ(WriteFileSafely(replaced, "new"), "");
    EXPECT_EQ(AppendToFile(appended, "more"), "");
    EXPECT_EQ(Contents(replaced), "new");
    EXPECT_EQ(Contents(appended).size(), 4096 + 4);
}
