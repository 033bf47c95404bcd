#include "intake/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Writes every byte to the system, or says why not. A short write without an error of
// Qt's is a full disk the system met in the middle.
QString WriteAll(QFileDevice& file, std::string_view bytes) {
    errno = 0;
    const auto size = static_cast<qint64>(bytes.size());
    const qint64 written = file.write(bytes.data(), size);
    if (written == size) return {};
    if (file.error() != QFileDevice::NoError) return file.errorString();
    return SystemReason(errno != 0 ? errno : ENOSPC);
}

QString SyncToDisk(QFileDevice& file) {
#ifdef Q_OS_WIN
    const bool synced = _commit(file.handle()) == 0;
#else
    const bool synced = fsync(file.handle()) == 0 || errno == EINVAL;  // EINVAL: a file that cannot be synced, such as a pipe
#endif
    return synced ? QString() : SystemReason(errno);
}

}  // namespace

WholeFile ReadWholeFile(const QString& path) {
    WholeFile whole;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) whole.bytes = file.readAll();
    whole.read = file.isOpen() && file.error() == QFileDevice::NoError;
    if (!whole.read) {
        whole.bytes.clear();
        whole.error = file.errorString();
    }
    return whole;
}

FileReplacement::FileReplacement(const QString& path) : file_(path), direct_(path) {
    const QFileInfo info(path);
    isDirect_ = info.exists() && !info.isFile();
}

QFileDevice& FileReplacement::device() { return isDirect_ ? static_cast<QFileDevice&>(direct_) : file_; }

QString FileReplacement::Open() {
    // unbuffered: a buffered write would meet the full disk only while the file is closed,
    // where QSaveFile does not look for it
    if (!device().open(QIODevice::WriteOnly | QIODevice::Unbuffered)) Fail(device().errorString());
    return error_;
}

void FileReplacement::Write(std::string_view bytes) {
    if (error_.isEmpty() && device().isOpen()) Fail(WriteAll(device(), bytes));
}

QString FileReplacement::Commit() {
    if (isDirect_) {
        direct_.close();
        return error_;
    }
    if (!file_.isOpen()) return error_;
    if (error_.isEmpty()) Fail(SyncToDisk(file_));
    if (!error_.isEmpty()) {
        file_.cancelWriting();
        file_.commit();  // removes the new file
        return error_;
    }
    if (!file_.commit()) Fail(file_.errorString());
    return error_;
}

void FileReplacement::Fail(const QString& reason) {
    if (error_.isEmpty()) error_ = reason;
}

QString WriteFileSafely(const QString& path, std::string_view bytes) {
    FileReplacement file(path);
    if (file.Open().isEmpty()) file.Write(bytes);
    return file.Commit();
}

QString AppendToFile(const QString& path, std::string_view bytes) {
    QFile file(path);
    constexpr auto mode = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;
    // the folder is made only when the file cannot be opened: no extra look on every append
    if (!file.open(mode)) {
        const QString folder = QFileInfo(path).path();
        if (QFileInfo(folder).isDir()) return file.errorString();
        if (const QString error = MakeFolder(folder); !error.isEmpty()) return error;
        if (!file.open(mode)) return file.errorString();
    }
    const qint64 before = file.size();
    const QString error = WriteAll(file, bytes);
    // an empty file is one this append made, or one that loses nothing by going
    if (!error.isEmpty() && !(before == 0 ? file.remove() : file.resize(before))) return error + "; " + file.errorString();
    return error;
}

QString MakeFolder(const QString& folder) {
    if (QDir().mkpath(folder)) return {};
    return folder + " cannot be made";
}
