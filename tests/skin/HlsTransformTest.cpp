#include "skin/HlsTransform.h"
#include "ColourPrinter.h"
#include "skin/MenuSkinColors.h"

#include <gtest/gtest.h>

#include <QColor>

#include <ostream>
#include <string>

namespace {

// Expected values worked out apart from this code with the textbook HLS model (Python's
// colorsys), scaled to 0..255 with truncation, converted back with rounding.
struct TransformRow {
    std::string name;
    QColor input;
    int l;
    int s;
    QColor expected;
};

void PrintTo(const TransformRow& row, std::ostream* os) {
    *os << row.name;
}

class HlsTransformTest : public ::testing::TestWithParam<TransformRow> {};

TEST_P(HlsTransformTest, MatchesReference) {
    const TransformRow& row = GetParam();
    EXPECT_EQ(shiftLightnessSaturation(row.input, row.l, row.s), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HlsTransformTest,
    ::testing::Values(
        TransformRow{"grey_lighter_by_half", {128, 128, 128}, 50, 0, {191, 191, 191}},
        TransformRow{"black_full_lightness", {0, 0, 0}, 100, 0, {255, 255, 255}},
        // Lightness 255/2 truncates to 127, so pure red comes back one step darker.
        TransformRow{"red_unchanged_round_trip", {255, 0, 0}, 0, 0, {254, 0, 0}},
        TransformRow{"red_desaturated", {255, 0, 0}, 0, -100, {127, 127, 127}},
        TransformRow{"green_lighter_more_saturated", {10, 200, 30}, 30, 40, {51, 249, 70}},
        TransformRow{"light_grey_face_menu_background", {239, 239, 239}, 75, 0, {251, 251, 251}},
        TransformRow{"blue_highlight_fill", {48, 140, 198}, 70, -57, {205, 218, 225}}),
    [](const auto& info) { return info.param.name; });

TEST(HlsConversion, SplitsGreyAndColour) {
    const HlsByte grey = rgbToHls(QColor(200, 200, 200));
    EXPECT_EQ(grey.lightness, 200);
    EXPECT_EQ(grey.saturation, 0);
    const HlsByte face = rgbToHls(QColor(212, 208, 200));
    EXPECT_EQ(face.hue, 28);
    EXPECT_EQ(face.lightness, 206);
    EXPECT_EQ(face.saturation, 31);
    const HlsByte highlight = rgbToHls(QColor(49, 106, 197));
    EXPECT_EQ(highlight.hue, 153);
    EXPECT_EQ(highlight.lightness, 123);
    EXPECT_EQ(highlight.saturation, 153);
}

TEST(MenuSkinColours, DerivedFromFaceAndHighlight) {
    const MenuSkinColors colours =
        deriveMenuSkinColors(QColor(212, 208, 200), QColor(49, 106, 197));
    EXPECT_EQ(colours.lightFace, QColor(220, 217, 210));
    EXPECT_EQ(colours.menuBackground, QColor(244, 243, 240));
    EXPECT_EQ(colours.disabledHighlight, QColor(243, 242, 239));
    EXPECT_EQ(colours.highlightFill, QColor(205, 213, 225));
    EXPECT_EQ(colours.checkedSelectedFill, QColor(169, 185, 209));
    EXPECT_EQ(colours.disabledText, QColor(179, 171, 157));
    EXPECT_EQ(colours.iconShadow, QColor(163, 154, 137));
    EXPECT_EQ(colours.hotIconShadow, QColor(176, 186, 202));
}

} // namespace
