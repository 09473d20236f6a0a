#include "skin/MenuSkinColors.h"

#include "skin/HlsTransform.h"

MenuSkinColors DeriveMenuSkinColors(const QColor& face, const QColor& highlight) {
    MenuSkinColors colours;
    colours.lightFace = ShiftLightnessSaturation(face, 20, 0);
    colours.menuBackground = ShiftLightnessSaturation(face, 75, 0);
    colours.disabledHighlight = ShiftLightnessSaturation(face, 73, 0);
    colours.highlightFill = ShiftLightnessSaturation(highlight, 70, -57);
    colours.checkedSelectedFill = ShiftLightnessSaturation(highlight, 50, -50);
    colours.disabledText = ShiftLightnessSaturation(face, -18, 0);
    colours.iconShadow = ShiftLightnessSaturation(face, -27, 0);
    colours.hotIconShadow = ShiftLightnessSaturation(highlight, 50, -66);
    return colours;
}
