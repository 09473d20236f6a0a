#include "widgets/UserPrompts.h"

#include <QDesktopServices>
#include <QUrl>

#include "tools/FolderChooser.h"
#include "tools/ToolsApp.h"

namespace {

std::string withTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

void DialogPrompts::tell(const QString& text, const QString& caption, QMessageBox::Icon icon) {
    showBox({text, caption, icon, QMessageBox::Ok, QMessageBox::Ok});
}

bool DialogPrompts::askYesNo(const QString& text, const QString& caption) {
    return showBox({text, caption, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    QMessageBox::Yes}) == QMessageBox::Yes;
}

std::string DialogPrompts::chooseFolder(const QString& title, const std::string& start) {
    return withTrailingSlash(pickFolder(title, folderChooserStart(start)));
}

bool DialogPrompts::openAddress(const QString& url) {
    if (launchBrowser(url))
        return true;
    MessageRequest request{ToolsApp::urlNotOpenedText(url), QStringLiteral("Attention!!!"),
                           QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok};
    request.selectableText = true;
    showBox(request);
    return false;
}

QMessageBox::StandardButton DialogPrompts::showBox(const MessageRequest& request) {
    QMessageBox box(request.icon, request.caption, request.text, request.buttons,
                    ToolsApp::dialogParent());
    box.setWindowModality(Qt::ApplicationModal);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    if (request.selectableText)
        box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::string DialogPrompts::pickFolder(const QString& title, const std::string& startFolder) {
    return ::chooseFolder(ToolsApp::dialogParent(), title, QString::fromStdString(startFolder))
        .toStdString();
}

bool DialogPrompts::launchBrowser(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}
