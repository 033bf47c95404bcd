#include "intake/whole_file.h"

#include "intake/program_places.h"

#include <QFile>
#include <QFileInfo>

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

QString AppendToFile(const QString& path, std::string_view bytes) {
    QFile file(path);
    // the folder is made only when the file cannot be opened: no extra look on every append
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const QString folder = QFileInfo(path).path();
        if (QFileInfo(folder).isDir()) return file.errorString();
        if (const QString error = MakeFolder(folder); !error.isEmpty()) return error;
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return file.errorString();
    }
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(bytes.data(), size) == size && file.flush() ? QString() : file.errorString();
}
