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

InstallState& State() {
    static InstallState state;
    return state;
}

} // namespace

void CMenuSkin::Install(QApplication& app) {
    InstallState& state = State();
    if (state.count++ > 0)
        return;
    state.previousStyle = QApplication::style()->name();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int depth = screen ? screen->depth() : 32;
    // The application takes ownership of the style, the style of its base.
    app.setStyle(new CMenuSkinStyle(LoadMenuSkinProfile(), depth,
                                    QStyleFactory::create(state.previousStyle)));
}

void CMenuSkin::Uninstall(QApplication& app) {
    InstallState& state = State();
    if (state.count == 0 || --state.count > 0)
        return;
    app.setStyle(state.previousStyle);
}

bool CMenuSkin::IsInstalled() {
    return State().count > 0;
}

void CMenuSkin::SetSkinOn(QWidget& window, bool on) {
    window.setProperty(CMenuSkinStyle::kSkinProperty, on);
}

bool CMenuSkin::IsSkinOn(const QWidget& window) {
    const QVariant on = window.property(CMenuSkinStyle::kSkinProperty);
    return !on.isValid() || on.toBool();
}
