#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

// A small file system of its own, to fill to the last block (every write there then meets a
// full disk, as on a user's machine) or to make read-only. Mounting needs root, as the tests
// run in CI; where it cannot be mounted the test fails and says so.
class SmallDisk {
public:
    explicit SmallDisk(const char* size = "2m") {
        mounted_ = std::system(("mount -t tmpfs -o size=" + std::string(size) + " tmpfs '" + Path().toStdString() +
                                "' 2>/dev/null").c_str()) == 0;
        EXPECT_TRUE(mounted_) << "no tmpfs could be mounted at " << Path().toStdString() << ": the test runs as root";
    }
    ~SmallDisk() {
        if (mounted_) std::system(("umount '" + Path().toStdString() + "'").c_str());
    }

    QString Path() const { return folder_.path(); }
    QString FilePath(const QString& name) const { return QDir(Path()).filePath(name); }
    bool mounted() const { return mounted_; }

    // Takes every free block; the files written before stay as they are.
    void Fill() {
        QFile filler(FilePath(".filler"));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {}
        while (filler.write(block.constData(), 1) == 1) {}
    }
    // Room again.
    void Free() { QFile::remove(FilePath(".filler")); }
    // No writing at all, as on a read-only medium.
    void MakeReadOnly() {
        EXPECT_EQ(std::system(("mount -o remount,ro '" + Path().toStdString() + "'").c_str()), 0);
    }
    // The files a test finds there, the filler aside.
    QStringList Files() const { return QDir(Path()).entryList(QDir::Files); }

private:
    QTemporaryDir folder_;
    bool mounted_ = false;
};
