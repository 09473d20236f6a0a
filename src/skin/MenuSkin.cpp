#include "skin/MenuSkin.h"

#include "skin/MenuSkinProfile.h"
#include "skin/MenuSkinStyle.h"

#include <QApplication>
#include <QScreen>
#include <QString>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

namespace {

// Install count and the style to return to; touched by Install/Uninstall only.
struct InstallState {
    int count = 0;
    QString previousStyle;
};

InstallState& installState() {
    static InstallState state;
    return state;
}

} // namespace

void MenuSkin::install(QApplication& app) {
    InstallState& state = installState();
    if (state.count++ > 0)
        return;
    state.previousStyle = QApplication::style()->name();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int depth = screen ? screen->depth() : 32;
    // The application takes ownership of the style, the style of its base.
    app.setStyle(new MenuSkinStyle(loadMenuSkinProfile(), depth,
                                   QStyleFactory::create(state.previousStyle)));
}

void MenuSkin::uninstall(QApplication& app) {
    InstallState& state = installState();
    if (state.count == 0 || --state.count > 0)
        return;
    app.setStyle(state.previousStyle);
}

bool MenuSkin::isInstalled() {
    return installState().count > 0;
}

void MenuSkin::setSkinOn(QWidget& window, bool on) {
    window.setProperty(MenuSkinStyle::kSkinProperty, on);
}

bool MenuSkin::isSkinOn(const QWidget& window) {
    const QVariant on = window.property(MenuSkinStyle::kSkinProperty);
    return !on.isValid() || on.toBool();
}
