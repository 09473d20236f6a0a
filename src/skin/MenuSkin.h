#pragma once

class QApplication;
class QWidget;

// Switches the menu skin on for the whole application. Install and Uninstall are counted: the
// style is set by the first Install and the previous style comes back with the last Uninstall.
// The look is read once from the user's profile when the style is set.
class MenuSkin {
public:
    static void install(QApplication& app);
    static void uninstall(QApplication& app);
    [[nodiscard]] static bool isInstalled();

    // Per window: menus of a window switched off are drawn by the plain style.
    static void setSkinOn(QWidget& window, bool on);
    [[nodiscard]] static bool isSkinOn(const QWidget& window);
};
