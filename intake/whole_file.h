#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>

// A file's bytes, or why they could not be read.
struct WholeFile {
    bool read = false;
    QByteArray bytes;
    QString error;
};

WholeFile ReadWholeFile(const QString& path);

// Appends the bytes in one write, making the file, and its folder when that is missing; what
// the file held is never touched. Why it could not, or nothing.
QString AppendToFile(const QString& path, std::string_view bytes);

// The bytes as the decoding code takes them.
inline std::string_view ByteView(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}
