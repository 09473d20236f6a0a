#pragma once

class QApplication;
class QWidget;

// Switches the menu skin on for the whole application. Install and Uninstall are counted: the
// style is set by the first Install and the previous style comes back with the last Uninstall.
// The look is read once from the user's profile when the style is set.
class CMenuSkin {
public:
    static void Install(QApplication& app);
    static void Uninstall(QApplication& app);
    [[nodiscard]] static bool IsInstalled();

    // Per window: menus of a window switched off are drawn by the plain style.
    static void SetSkinOn(QWidget& window, bool on);
    [[nodiscard]] static bool IsSkinOn(const QWidget& window);
};
