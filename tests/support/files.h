#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string_view>

// A file's bytes, empty when it cannot be read.
inline QByteArray Contents(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

inline QByteArray Bytes(std::string_view bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); }

// Writes the bytes as the whole file and returns its path.
inline QString WriteBytes(const QString& path, std::string_view bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}
