#pragma once

#include "tools/MessageRequest.h"
#include "widgets/UserPrompts.h"

#include <deque>
#include <string>
#include <vector>

// The program's prompts answered by script, in order, and recorded; unscripted, a message box
// answers its default button (else OK), a chooser is cancelled, an address counts as opened.
class ScriptedPrompts : public DialogPrompts {
public:
    QMessageBox::StandardButton showBox(const MessageRequest& request) override {
        messages.push_back(request);
        asked.push_back("message: " + request.text.toStdString());
        QMessageBox::StandardButton answer = request.defaultButton != QMessageBox::NoButton
                                                 ? request.defaultButton
                                                 : QMessageBox::Ok;
        if (!m_buttons.empty()) {
            answer = m_buttons.front();
            m_buttons.pop_front();
        }
        return answer;
    }
    void answerButton(QMessageBox::StandardButton button) { m_buttons.push_back(button); }
    void answerFolder(std::string folder) { m_folders.push_back(std::move(folder)); }

    std::vector<MessageRequest> messages;
    std::vector<std::string> openedUrls;
    std::vector<std::string> asked; // message texts and folder chooser titles, in order

protected:
    std::string pickFolder(const QString& title, const std::string&) override {
        asked.push_back("folder: " + title.toStdString());
        if (m_folders.empty())
            return std::string();
        std::string answer = m_folders.front();
        m_folders.pop_front();
        return answer;
    }
    bool launchBrowser(const QString& url) override {
        openedUrls.push_back(url.toStdString());
        return true;
    }

private:
    std::deque<QMessageBox::StandardButton> m_buttons;
    std::deque<std::string> m_folders;
};
