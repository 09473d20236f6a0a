#pragma once

#include "tools/MessageRequest.h"
#include "tools/ToolsApp.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

// Answers the program's message boxes, folder pickers and web-page launches while alive,
// recording what was asked. Queued answers are used in order; without one a message box
// answers its default button (else OK) and the folder picker is cancelled. Web pages open
// while urlsOpen is set (no browser otherwise).
class ScriptedPrompts {
public:
    ScriptedPrompts() {
        CToolsApp::SetMessageBoxHook([this](const MessageRequest& request) {
            messages.push_back(request);
            asked.push_back("message: " + request.text.toStdString());
            if (!buttons.empty()) {
                const QMessageBox::StandardButton answer = buttons.front();
                buttons.pop_front();
                return answer;
            }
            return request.defaultButton != QMessageBox::NoButton ? request.defaultButton
                                                                  : QMessageBox::Ok;
        });
        CToolsApp::SetFolderPickerHook(
            [this](const std::string& title, const std::string& initialFolder) {
                folderRequests.emplace_back(title, initialFolder);
                asked.push_back("folder: " + title);
                if (folders.empty())
                    return std::string();
                std::string answer = folders.front();
                folders.pop_front();
                return answer;
            });
        CToolsApp::SetUrlOpenerHook([this](const std::string& url) {
            openedUrls.push_back(url);
            return urlsOpen;
        });
    }
    ~ScriptedPrompts() {
        CToolsApp::SetMessageBoxHook({});
        CToolsApp::SetFolderPickerHook({});
        CToolsApp::SetUrlOpenerHook({});
    }
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    void AnswerButton(QMessageBox::StandardButton button) { buttons.push_back(button); }
    void AnswerFolder(std::string folder) { folders.push_back(std::move(folder)); }

    std::vector<MessageRequest> messages;
    std::vector<std::pair<std::string, std::string>> folderRequests; // title, initial folder
    std::vector<std::string> openedUrls;
    // Message texts and folder picker titles in the order they were asked.
    std::vector<std::string> asked;
    bool urlsOpen = true;

private:
    std::deque<QMessageBox::StandardButton> buttons;
    std::deque<std::string> folders;
};
