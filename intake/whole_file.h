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

// The bytes as the decoding code takes them.
inline std::string_view ByteView(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}
