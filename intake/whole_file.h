#pragma once

#include <QByteArray>
#include <QString>

// A file's bytes, or why they could not be read.
struct WholeFile {
    bool read = false;
    QByteArray bytes;
    QString error;
};

WholeFile ReadWholeFile(const QString& path);
