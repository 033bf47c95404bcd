#include "intake/whole_file.h"

#include <QFile>

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
