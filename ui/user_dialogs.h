#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// The program's questions to the user. Windows ask through this, so tests can answer
// without a modal dialog.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A message with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text) = 0;

    // Files to open, several allowed; nothing when cancelled. The filter is a list of
    // "description|patterns" pairs separated by "|", as "KISS Files (*.kss)|*.kss".
    virtual std::optional<QStringList> ChooseFilesToOpen(QWidget* parent, const QString& filter) = 0;
};

// The platform's dialogs.
class PlatformDialogs : public UserDialogs {
public:
    void ShowMessage(QWidget* parent, const QString& title, const QString& text) override;
    std::optional<QStringList> ChooseFilesToOpen(QWidget* parent, const QString& filter) override;
};
