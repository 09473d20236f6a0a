#pragma once

#include "tools/UserMessage.h"

#include <QString>
#include <vector>

// Answers the program's message boxes in tests and remembers what they said.
struct MessageRecorder {
    struct Shown {
        MessageIcon icon = MessageIcon::None;
        QString caption;
        QString text;
    };

    std::vector<Shown> shown;
    bool answer = false; // the answer to questions

    [[nodiscard]] MessageSink Sink() {
        return [this](QWidget*, MessageIcon icon, const QString& caption, const QString& text) {
            shown.push_back({icon, caption, text});
            return icon == MessageIcon::Question ? answer : true;
        };
    }
    [[nodiscard]] QString LastText() const { return shown.empty() ? QString() : shown.back().text; }
};
