#pragma once

#include "ui/Prompt.h"

#include <QStringList>
#include <deque>

// Answers the programs' dialogs from a script and keeps what they said.
class ScriptedPrompt : public tirvon::ui::Prompt {
public:
    void inform(const QString& text) override { messages.append(text); }
    bool confirm(const QString& text) override {
        questions.append(text);
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString pickFile(const QString& filter, const QString& folder = QString()) override {
        pickedIn.append(folder + QLatin1Char('|') + filter);
        return pickedFile;
    }
    QString pickSaveFile(const QString& filter, const QString& proposed) override {
        pickedIn.append(proposed + QLatin1Char('|') + filter);
        return pickedFile;
    }

    QStringList messages;
    QStringList questions;
    std::deque<bool> answers;
    QString pickedFile;
    QStringList pickedIn; // the folder and filter of each file dialog
};
