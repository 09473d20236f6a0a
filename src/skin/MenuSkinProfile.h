#pragma once

#include <QColor>
#include <QString>

class QSettings;

// Look of the menu skin, read once from the user's profile; every value has a built-in default.
// Colours are stored as 0x00BBGGRR integers; -1 stands for a colour derived from the palette.
struct MenuSkinProfile {
    static constexpr int kDerivedColour = -1;

    bool showGradient = true;     // "MenuXP" / "ShowGradient"
    bool showGradientSel = true;  // "MenuEx" / "ShowGradientSel"
    int gradientStart = 0xE4C4B4; // "MenuXP" / "GradientStart": RGB(180, 196, 228)
    int gradientEnd = 0xFFFFFF;   // "MenuXP" / "GradientEnd": white
    int gradientWidth = 30;       // "MenuXP" / "GradientWidth", display pixels
};

// Reads the two sections from an open settings store; missing or unreadable values keep their
// defaults.
[[nodiscard]] MenuSkinProfile readMenuSkinProfile(const QSettings& store);

// The profile from the INI file in the user's configuration folder
// ($XDG_CONFIG_HOME/lumicut/Lumicut.ini, by default ~/.config/lumicut/Lumicut.ini).
[[nodiscard]] MenuSkinProfile loadMenuSkinProfile();

// Colour of a stored 0x00BBGGRR value, or the derived colour for -1.
[[nodiscard]] QColor profileColour(int bgr, const QColor& derived);
