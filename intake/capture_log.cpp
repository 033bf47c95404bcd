#include "intake/capture_log.h"

#include "intake/whole_file.h"

#include <QDir>

QString CaptureFileName(const QString& folder, std::string_view utcTimestampText) {
    const std::string_view date = utcTimestampText.substr(0, 10);
    return QDir(folder).filePath(QString::fromLatin1(date.data(), static_cast<qsizetype>(date.size())) +
                                 "_orca5.kss");
}

CaptureWrite AppendToCaptureLog(const QString& folder, std::string_view utcTimestampText, std::string_view bytes) {
    CaptureWrite result;
    result.fileName = CaptureFileName(folder, utcTimestampText);
    result.error = AppendToFile(result.fileName, bytes);
    result.written = result.error.isEmpty();
    return result;
}
