#pragma once
// A UiServices fake for offscreen tests: records every message, beep and file dialog and
// answers from scripted queues (default answers when a queue is empty).

#include <QString>
#include <deque>
#include <vector>

#include "foundation/ui/UiServices.h"

class FakeUiServices final : public UiServices {
  public:
    struct Message {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };

    Answer message(QWidget*, const QString& text, const QString& title, Buttons buttons,
                   Icon icon) override {
        messages.push_back({text, title, buttons, icon});
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Cancel;
    }

    void beep() override { ++beeps; }

    std::optional<QString> fileDialog(QWidget*, const FileDialogRequest& request) override {
        dialogs.push_back(request);
        if (fileAnswers.empty()) return std::nullopt;
        const bool chosen = fileAnswers.front().has_value();
        const QString path = chosen ? *fileAnswers.front() : QString();
        fileAnswers.pop_front();
        if (!chosen) return std::nullopt;
        return path;
    }

    std::vector<Message> messages;
    std::deque<Answer> answers;
    int beeps = 0;
    std::vector<FileDialogRequest> dialogs;
    std::deque<std::optional<QString>> fileAnswers;  // nullopt = cancel
};
