#pragma once

#include "tools/MessageRequest.h"
#include "widgets/UserPrompts.h"

#include <deque>
#include <string>
#include <vector>

// The program's prompts answered by script, in order, and recorded; unscripted, a message box
// answers its default button (else OK). A folder chooser is always cancelled; an address counts
// as opened.
class ScriptedPrompts : public DialogPrompts {
public:
    QMessageBox::StandardButton showBox(const MessageRequest& request) override {
        messages.push_back(request);
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

    std::vector<MessageRequest> messages;
    std::vector<std::string> openedUrls;

protected:
    std::string pickFolder(const QString&, const std::string&) override { return {}; }
    bool launchBrowser(const QString& url) override {
        openedUrls.push_back(url.toStdString());
        return true;
    }

private:
    std::deque<QMessageBox::StandardButton> m_buttons;
};
