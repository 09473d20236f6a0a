#include "skin/MenuSkinColors.h"

#include "skin/HlsTransform.h"

MenuSkinColors DeriveMenuSkinColors(const QColor& face, const QColor& highlight) {
    MenuSkinColors colours;
    colours.lightFace = HLS_TRANSFORM(face, 20, 0);
    colours.menuBackground = HLS_TRANSFORM(face, 75, 0);
    colours.disabledHighlight = HLS_TRANSFORM(face, 73, 0);
    colours.highlightFill = HLS_TRANSFORM(highlight, 70, -57);
    colours.checkedSelectedFill = HLS_TRANSFORM(highlight, 50, -50);
    colours.disabledText = HLS_TRANSFORM(face, -18, 0);
    colours.iconShadow = HLS_TRANSFORM(face, -27, 0);
    colours.hotIconShadow = HLS_TRANSFORM(highlight, 50, -66);
    return colours;
}
