#include "intake/capture_log.h"

#include "intake/program_places.h"

#include <QDir>
#include <QFile>

QString CaptureFileName(const QString& folder, std::string_view utcTimestampText) {
    const std::string_view date = utcTimestampText.substr(0, 10);
    return QDir(folder).filePath(QString::fromLatin1(date.data(), static_cast<qsizetype>(date.size())) +
                                 "_orca5.kss");
}

CaptureWrite AppendToCaptureLog(const QString& folder, std::string_view utcTimestampText, std::string_view bytes) {
    CaptureWrite result;
    result.fileName = CaptureFileName(folder, utcTimestampText);
    if (const QString error = MakeFolder(folder); !error.isEmpty()) {
        result.error = error;
        return result;
    }
    QFile file(result.fileName);
    const auto size = static_cast<qint64>(bytes.size());
    result.written = file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(bytes.data(), size) == size &&
                     file.flush();
    if (!result.written) result.error = file.errorString();
    return result;
}
