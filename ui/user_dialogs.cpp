#include "ui/user_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

// "KISS Files (*.kss)|*.kss|All Files (*.*)|*.*" → "KISS Files (*.kss);;All Files (*)"
QString QtFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        entries << description.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace

void PlatformDialogs::ShowMessage(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text);
}

std::optional<QStringList> PlatformDialogs::ChooseFilesToOpen(QWidget* parent, const QString& filter) {
    const QStringList files = QFileDialog::getOpenFileNames(parent, QString(), QString(), QtFilter(filter));
    if (files.isEmpty()) return std::nullopt;
    return files;
}
