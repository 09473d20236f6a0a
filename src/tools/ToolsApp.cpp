#include "tools/ToolsApp.h"

#include "tools/FolderChooser.h"

#include <QDesktopServices>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QTranslator>
#include <QUrl>
#include <QWidget>

#include <utility>

namespace {

// Replacements installed by tests; empty in the running program.
struct DialogHooks {
    CToolsApp::FolderPickerHook folderPicker;
    CToolsApp::MessageBoxHook messageBox;
    CToolsApp::UrlOpenerHook urlOpener;
    QPointer<QWidget> mainWindow;
};

DialogHooks& Hooks() {
    static DialogHooks hooks;
    return hooks;
}

std::string WithTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

CToolsApp::CToolsApp(int& argc, char** argv) : QApplication(argc, argv) {
    // The menu skin's look profile is read with QSettings under these names
    // (~/.config/lumicut/Lumicut.ini); the program's own settings live in param.dat.
    setOrganizationName("lumicut");
    setApplicationName("Lumicut");
    setApplicationVersion(LUMICUT_VERSION);
}

CToolsApp::~CToolsApp() = default;

void CToolsApp::SetFolderPickerHook(FolderPickerHook hook) {
    Hooks().folderPicker = std::move(hook);
}

void CToolsApp::SetMessageBoxHook(MessageBoxHook hook) {
    Hooks().messageBox = std::move(hook);
}

void CToolsApp::SetUrlOpenerHook(UrlOpenerHook hook) {
    Hooks().urlOpener = std::move(hook);
}

void CToolsApp::SetMainWindow(QWidget* window) {
    Hooks().mainWindow = window;
}

QWidget* CToolsApp::MainWindow() {
    if (Hooks().mainWindow)
        return Hooks().mainWindow;
    if (auto* active = qobject_cast<QMainWindow*>(QApplication::activeWindow()))
        return active;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* frame = qobject_cast<QMainWindow*>(widget); frame && frame->isVisible())
            return frame;
    }
    return nullptr;
}

QWidget* CToolsApp::DialogParent() {
    QWidget* active = QApplication::activeWindow();
    if (active != nullptr && active->isVisible() &&
        (active->windowType() == Qt::Window || active->windowType() == Qt::Dialog))
        return active;
    return MainWindow();
}

bool CToolsApp::InstallFrench(QTranslator& texts) {
    // Dates and numbers in Qt's own dialogs (the folder chooser's columns) follow the
    // default locale; the program speaks French whatever the user's locale.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    // Qt's own buttons and dialog texts: "Oui", "Non", "Annuler", "Dossier :".
    if (!texts.load("qtbase_fr", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&texts);
}

std::string CToolsApp::BrowseForFolder(const std::string& title, const std::string& initialFolder) {
    const std::string start = FolderChooserStart(initialFolder);
    if (Hooks().folderPicker)
        return WithTrailingSlash(Hooks().folderPicker(title, start));
    const QString chosen =
        ChooseFolder(DialogParent(), QString::fromStdString(title), QString::fromStdString(start));
    return WithTrailingSlash(chosen.toStdString());
}

QMessageBox::StandardButton CToolsApp::MessageBox(const MessageRequest& request) {
    if (Hooks().messageBox)
        return Hooks().messageBox(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, DialogParent());
    box.setWindowModality(Qt::ApplicationModal);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    if (request.selectableText)
        box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void CToolsApp::ShowWarning(const QString& text, const QString& caption) {
    MessageBox({text, caption, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok});
}

bool CToolsApp::AskYesNo(const QString& text, const QString& caption) {
    return MessageBox({text, caption, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                       QMessageBox::Yes}) == QMessageBox::Yes;
}

ProgramVersion CToolsApp::GetProgramVersion() {
    return {LUMICUT_VERSION_MAJOR, LUMICUT_VERSION_MINOR, LUMICUT_VERSION_PATCH,
            LUMICUT_VERSION_TWEAK};
}

bool CToolsApp::GetProgramVersion(uint32_t& mostSignificant, uint32_t& leastSignificant) {
    const ProgramVersion version = GetProgramVersion();
    mostSignificant = version.MostSignificant();
    leastSignificant = version.LeastSignificant();
    return true;
}

QString CToolsApp::UrlNotOpenedText(const QString& address) {
    return QStringLiteral("Impossible d'ouvrir cette page : aucun navigateur n'a pu être "
                          "lancé.\nVous pouvez copier son adresse :\n\n%1")
        .arg(address);
}

bool CToolsApp::OpenUrl(const std::string& url) {
    const bool opened = Hooks().urlOpener
                            ? Hooks().urlOpener(url)
                            : QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
    if (opened)
        return true;
    MessageRequest request{UrlNotOpenedText(QString::fromStdString(url)), "Attention!!!",
                           QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok};
    request.selectableText = true;
    MessageBox(request);
    return false;
}
