#include "tools/ToolsApp.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QTranslator>
#include <QWidget>

namespace {

// The main window set by the application; none in widget tests.
QPointer<QWidget>& mainWindowSlot() {
    static QPointer<QWidget> window;
    return window;
}

} // namespace

ToolsApp::ToolsApp(int& argc, char** argv) : QApplication(argc, argv) {
    // The menu skin's look profile is read with QSettings under these names
    // (~/.config/lumicut/Lumicut.ini); the program's own settings live in param.dat.
    setOrganizationName("lumicut");
    setApplicationName("Lumicut");
    setApplicationVersion(LUMICUT_VERSION);
}

ToolsApp::~ToolsApp() = default;

void ToolsApp::setMainWindow(QWidget* window) {
    mainWindowSlot() = window;
}

QWidget* ToolsApp::mainWindow() {
    if (mainWindowSlot())
        return mainWindowSlot();
    if (auto* active = qobject_cast<QMainWindow*>(QApplication::activeWindow()))
        return active;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* frame = qobject_cast<QMainWindow*>(widget); frame && frame->isVisible())
            return frame;
    }
    return nullptr;
}

QWidget* ToolsApp::dialogParent() {
    QWidget* active = QApplication::activeWindow();
    if (active != nullptr && active->isVisible() &&
        (active->windowType() == Qt::Window || active->windowType() == Qt::Dialog))
        return active;
    return mainWindow();
}

bool ToolsApp::installFrench(QTranslator& texts) {
    // Dates and numbers in Qt's own dialogs (the folder chooser's columns) follow the
    // default locale; the program speaks French whatever the user's locale.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    // Qt's own buttons and dialog texts: "Oui", "Non", "Annuler", "Dossier :".
    if (!texts.load("qtbase_fr", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&texts);
}

ProgramVersion ToolsApp::programVersion() {
    return {LUMICUT_VERSION_MAJOR, LUMICUT_VERSION_MINOR, LUMICUT_VERSION_PATCH,
            LUMICUT_VERSION_TWEAK};
}

bool ToolsApp::programVersion(uint32_t& mostSignificant, uint32_t& leastSignificant) {
    const ProgramVersion version = programVersion();
    mostSignificant = version.mostSignificant();
    leastSignificant = version.leastSignificant();
    return true;
}

QString ToolsApp::urlNotOpenedText(const QString& address) {
    return QStringLiteral("Impossible d'ouvrir cette page : aucun navigateur n'a pu être "
                          "lancé.\nVous pouvez copier son adresse :\n\n%1")
        .arg(address);
}
