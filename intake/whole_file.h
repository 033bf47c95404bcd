#pragma once

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <string_view>

// A file's bytes, or why they could not be read.
struct WholeFile {
    bool read = false;
    QByteArray bytes;
    QString error;
};

WholeFile ReadWholeFile(const QString& path);

// A file written through a new one in the same folder, renamed over the old one only when
// every byte is on disk: a failure at any step leaves the old file as it was. Every write
// goes straight to the system, so a full disk is seen at the write that meets it, with the
// system's reason, and never only at the end. A path that names no regular file (/dev/null,
// a pipe) is written as it is: renaming over it would put a file in its place.
class FileReplacement {
public:
    explicit FileReplacement(const QString& path);
    // Why the new file could not be made, or nothing.
    QString Open();
    // After the first failure nothing more is written.
    void Write(std::string_view bytes);
    // Renames the new file over the old one when everything was written and synced to disk;
    // otherwise removes it. Why not, or nothing.
    QString Commit();
    // Gives up: Commit removes the new file and says why. The first reason stays.
    void Fail(const QString& reason);
    const QString& error() const { return error_; }

private:

    QFileDevice& device();

    QSaveFile file_;
    QFile direct_;
    bool isDirect_ = false;
    QString error_;
};

// A whole file at once, through a FileReplacement. Why it failed, or nothing.
QString WriteFileSafely(const QString& path, std::string_view bytes);

// Appends the bytes, making the file, and its folder when that is missing. All of them or
// none: a write cut short by a full disk is taken back, so what the file held stays whole,
// and a file that held nothing goes.
// Why it could not, or nothing.
QString AppendToFile(const QString& path, std::string_view bytes);

// Makes the folder when it is missing; why it could not, or nothing.
QString MakeFolder(const QString& folder);

// The bytes as the decoding code takes them.
inline std::string_view ByteView(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}
