#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/PanelRules.h"
#include "engine/RectTesting.h"

namespace {

TEST(PanelRules, Texts) {
    const std::pair<std::string, std::string> rows[] = {
        {gaugeSizeText(1200, 1800, true), "Taille : 1200x1800 (0.667)"},
        {gaugeSizeText(3000, 2000, false), "Taille : 3000x2000"},
        {gaugeSizeText(0, 1800, true), ""},
        {gaugeSizeText(1200, 0, false), ""},
        {formatRowLabel("10x15", 10, 15, true), "10x15 (2/3)"},
        {formatRowLabel("13x18", 13, 18, false), "13x18"},
        {defaultFormatLabel(true), "Défaut 10x15 (2/3)"},
        {defaultFormatLabel(false), "Défaut 10x15"},
        {formatSizeLabel(15, 10), "15x10"},
        {fileNameOfPath("/photos/2024/IMG_1.jpg"), "IMG_1.jpg"},
        {fileNameOfPath("IMG_1.jpg"), "IMG_1.jpg"},
    };
    for (const auto& [got, expected] : rows) {
        EXPECT_EQ(got, expected);
    }
}

TEST(PanelRules, ReduceRatioKeepsTheSecondValueNonNegative) {
    const std::pair<std::pair<int, int>, std::pair<int, int>> rows[] = {
        {{5, 0}, {1, 0}},   {{0, 5}, {0, 1}},   {{0, 0}, {0, 0}},
        {{4, -6}, {-2, 3}}, {{-4, -6}, {2, 3}}, {{65535, 65535}, {1, 1}},
    };
    for (const auto& [in, out] : rows) {
        EXPECT_EQ(reduceRatio(in.first, in.second), out) << in.first << "/" << in.second;
    }
}

TEST(PanelRules, SidePanelControlsStackFromTheTopWithFixedGaps) {
    const SidePanelLayout got = computeSidePanelLayout(edges(10, 20, 210, 621));
    const QRect expected[] = {edges(10, 22, 210, 47),   edges(10, 48, 210, 273),
                              edges(10, 275, 210, 300), edges(10, 301, 210, 413),
                              edges(10, 415, 210, 440), edges(10, 441, 210, 553),
                              edges(10, 555, 210, 580), edges(10, 581, 210, 620)};
    const QRect actual[] = {got.photosHeader, got.photoList,  got.previewHeader, got.preview,
                            got.formatHeader, got.formatList, got.qualityHeader, got.gauge};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(actual[i], expected[i]) << i;
    }
    EXPECT_EQ(computeSidePanelLayout(edges(0, 0, 100, 100)).gauge, edges(0, 112, 100, 112))
        << "too low: lists and preview get no height";
}

TEST(PanelRules, ScrollTargetRowOnlyPastTheMiddleOfThePage) {
    const std::tuple<int, int, int, std::optional<int>> rows[] = {
        {5, 0, 10, std::nullopt},
        {24, 20, 10, std::nullopt},
        {26, 20, 10, 31},
        {4, 0, 7, 7},
    };
    for (const auto& [r, top, perPage, expected] : rows) {
        EXPECT_EQ(scrollTargetRow(r, top, perPage), expected) << r << " " << top << " " << perPage;
    }
}

TEST(PanelRules, GradientBandsStopOneStepShortOfTheEndColour) {
    const std::vector<LabelBand> bands = labelGradientBands(0, 510, {200, 0, 0}, {0, 200, 0});
    ASSERT_EQ(bands.size(), 255u);
    EXPECT_EQ(bands.front(), (LabelBand{0, 2, 200, 0, 0}));
    EXPECT_EQ(bands.back(), (LabelBand{508, 510, 0, 199, 0}));
}

} // namespace
