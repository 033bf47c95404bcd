#include "ui/file_selection.h"

#include <QFileInfo>

qsizetype SelectionLength(const QStringList& paths) {
    if (paths.size() == 1) return paths.front().size() + 1;
    qsizetype length = QFileInfo(paths.front()).path().size() + 1;
    for (const QString& path : paths) length += QFileInfo(path).fileName().size() + 1;
    return length + 1;
}
