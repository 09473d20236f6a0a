#pragma once

#include <QColor>

// Colours of the menu skin derived from the face (button) and selection colours.
struct MenuSkinColors {
    QColor lightFace;           // left column on low-colour displays, open menu-bar item
    QColor menuBackground;      // behind popup items
    QColor disabledHighlight;   // highlight fill of a disabled item
    QColor highlightFill;       // inside the highlight frame
    QColor checkedSelectedFill; // check box of a selected item
    QColor disabledText;        // disabled labels and separator lines
    QColor iconShadow;          // silhouette of a disabled icon
    QColor hotIconShadow;       // shadow under the raised icon of a selected item
};

[[nodiscard]] MenuSkinColors deriveMenuSkinColors(const QColor& face, const QColor& highlight);
