#pragma once

#include "ui/user_dialogs.h"

#include <deque>
#include <functional>
#include <vector>

// Answers the program's questions as a test tells it to, and remembers what was shown.
class FakeDialogs : public UserDialogs {
public:
    struct Message {
        QString title, text;
    };

    void ShowMessage(QWidget*, const QString& title, const QString& text) override { messages.push_back({title, text}); }

    std::optional<QStringList> ChooseFilesToOpen(QWidget*, const QString& filter) override {
        filters.push_back(filter);
        if (whenAsked) whenAsked();
        if (answers.empty()) return std::nullopt;  // cancelled
        const std::optional<QStringList> answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }

    std::vector<Message> messages;
    std::vector<QString> filters;
    std::deque<std::optional<QStringList>> answers;  // nothing: the user cancels
    std::function<void()> whenAsked;  // what else happens while the dialog is open
};
