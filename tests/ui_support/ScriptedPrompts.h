#pragma once

#include "tools/MessageRequest.h"
#include "widgets/UserPrompts.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

// The program's prompts with the modal parts answered by script and recorded: message
// boxes, the folder chooser and the browser launch. Queued answers are used in order;
// without one a message box answers its default button (else OK) and the folder chooser is
// cancelled. Web pages open while urlsOpen is set (no browser otherwise).
class ScriptedPrompts : public DialogPrompts {
public:
    QMessageBox::StandardButton showBox(const MessageRequest& request) override {
        messages.push_back(request);
        asked.push_back("message: " + request.text.toStdString());
        if (!m_buttons.empty()) {
            const QMessageBox::StandardButton answer = m_buttons.front();
            m_buttons.pop_front();
            return answer;
        }
        return request.defaultButton != QMessageBox::NoButton ? request.defaultButton
                                                              : QMessageBox::Ok;
    }

    void answerButton(QMessageBox::StandardButton button) { m_buttons.push_back(button); }
    void answerFolder(std::string folder) { m_folders.push_back(std::move(folder)); }
    [[nodiscard]] QString lastText() const {
        return messages.empty() ? QString() : messages.back().text;
    }

    std::vector<MessageRequest> messages;
    std::vector<std::pair<std::string, std::string>> folderRequests; // title, start folder
    std::vector<std::string> openedUrls;
    // Message texts and folder chooser titles in the order they were asked.
    std::vector<std::string> asked;
    bool urlsOpen = true;

protected:
    std::string pickFolder(const QString& title, const std::string& startFolder) override {
        folderRequests.emplace_back(title.toStdString(), startFolder);
        asked.push_back("folder: " + title.toStdString());
        if (m_folders.empty())
            return std::string();
        std::string answer = m_folders.front();
        m_folders.pop_front();
        return answer;
    }
    bool launchBrowser(const QString& url) override {
        openedUrls.push_back(url.toStdString());
        return urlsOpen;
    }

private:
    std::deque<QMessageBox::StandardButton> m_buttons;
    std::deque<std::string> m_folders;
};
