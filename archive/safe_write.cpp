#include "archive/safe_write.h"

#include <QSaveFile>

QString WriteFileSafely(const QString& path, std::string_view bytes) {
    QSaveFile file(path);
    const auto size = static_cast<qint64>(bytes.size());
    if (file.open(QIODevice::WriteOnly) && file.write(bytes.data(), size) == size && file.commit()) return {};
    return file.errorString();
}
