#include "skin/MenuSkinColors.h"

#include "skin/HlsTransform.h"

MenuSkinColors deriveMenuSkinColors(const QColor& face, const QColor& highlight) {
    MenuSkinColors colours;
    colours.lightFace = shiftLightnessSaturation(face, 20, 0);
    colours.menuBackground = shiftLightnessSaturation(face, 75, 0);
    colours.disabledHighlight = shiftLightnessSaturation(face, 73, 0);
    colours.highlightFill = shiftLightnessSaturation(highlight, 70, -57);
    colours.checkedSelectedFill = shiftLightnessSaturation(highlight, 50, -50);
    colours.disabledText = shiftLightnessSaturation(face, -18, 0);
    colours.iconShadow = shiftLightnessSaturation(face, -27, 0);
    colours.hotIconShadow = shiftLightnessSaturation(highlight, 50, -66);
    return colours;
}
