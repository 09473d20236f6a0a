#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/PanelRules.h"
#include "engine/RectTesting.h"

namespace {

TEST(LabelGradientBands, ColoursStopOneStepShortOfTheEndColour) {
    struct Row {
        const char* name;
        LabelRgb start;
        LabelRgb end;
        LabelBand first;
        LabelBand last;
    };
    const Row rows[] = {
        {"header blue to white",
         {0, 0, 100},
         {255, 255, 255},
         {0, 2, 0, 0, 100},
         {508, 510, 254, 254, 254}},
        {"gauge red to green", {200, 0, 0}, {0, 200, 0}, {0, 2, 200, 0, 0}, {508, 510, 0, 199, 0}},
        {"same colour", {7, 8, 9}, {7, 8, 9}, {0, 2, 7, 8, 9}, {508, 510, 7, 8, 9}},
    };
    for (const Row& row : rows) {
        const std::vector<LabelBand> bands = labelGradientBands(0, 510, row.start, row.end);
        ASSERT_EQ(bands.size(), 255u) << row.name;
        EXPECT_EQ(bands.front(), row.first) << row.name;
        EXPECT_EQ(bands.back(), row.last) << row.name;
    }
}

TEST(LabelGradientBands, NarrowLabelGivesEmptyBandsAndKeepsTheLeftEdge) {
    // 100 pixels: step 0.392; some bands are empty, the last one ends at the right edge.
    const std::vector<LabelBand> bands = labelGradientBands(10, 110, {0, 0, 0}, {255, 0, 0});
    ASSERT_EQ(bands.size(), 255u);
    EXPECT_EQ(bands.front().left, 10);
    EXPECT_EQ(bands.front().right, 10);
    EXPECT_EQ(bands.back().right, 110);
    int covered = 0;
    for (const LabelBand& band : bands) {
        covered += band.right - band.left;
    }
    EXPECT_EQ(covered, 100);
}

TEST(GaugeSizeText, ShowsTheRatioOnlyWithShowFactor) {
    struct Row {
        const char* name;
        int width;
        int height;
        bool showFactor;
        std::string expected;
    };
    const Row rows[] = {
        {"upright with ratio", 1200, 1800, true, "Taille : 1200x1800 (0.667)"},
        {"upright without ratio", 1200, 1800, false, "Taille : 1200x1800"},
        {"landscape with ratio", 3000, 2000, true, "Taille : 3000x2000 (1.500)"},
        {"zero width", 0, 1800, true, ""},
        {"zero height", 1200, 0, false, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(gaugeSizeText(row.width, row.height, row.showFactor), row.expected) << row.name;
    }
}

TEST(ReduceRatio, DividesByTheGreatestCommonDivisorWithANonNegativeSecondValue) {
    struct Row {
        const char* name;
        int a;
        int b;
        std::pair<int, int> expected;
    };
    const Row rows[] = {
        {"second zero", 5, 0, {1, 0}},     {"first zero", 0, 5, {0, 1}},
        {"both zero", 0, 0, {0, 0}},       {"negative second", 4, -6, {-2, 3}},
        {"both negative", -4, -6, {2, 3}}, {"16-bit maximum", 65535, 65535, {1, 1}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(reduceRatio(row.a, row.b), row.expected) << row.name;
    }
}

TEST(FormatLabels, RowAndSizeLabels) {
    EXPECT_EQ(formatRowLabel("10x15", 10, 15, true), "10x15 (2/3)");
    EXPECT_EQ(formatRowLabel("13x18", 13, 18, true), "13x18 (13/18)");
    EXPECT_EQ(formatRowLabel("13x18", 13, 18, false), "13x18");
    EXPECT_EQ(formatRowLabel("Carré", 20, 20, true), "Carré (1/1)");
    EXPECT_EQ(defaultFormatLabel(true), "Défaut 10x15 (2/3)");
    EXPECT_EQ(defaultFormatLabel(false), "Défaut 10x15");
    EXPECT_EQ(formatSizeLabel(15, 10), "15x10");
}

TEST(SidePanelLayout, ControlsStackFromTheTopWithFixedGaps) {
    struct Row {
        const char* name;
        QRect client;
        SidePanelLayout expected;
    };
    const Row rows[] = {
        {"offset client, odd height 601",
         edges(10, 20, 210, 621),
         {edges(10, 22, 210, 47), edges(10, 48, 210, 273), edges(10, 275, 210, 300),
          edges(10, 301, 210, 413), edges(10, 415, 210, 440), edges(10, 441, 210, 553),
          edges(10, 555, 210, 580), edges(10, 581, 210, 620)}},
        {"too low: lists and preview get no height",
         edges(0, 0, 100, 100),
         {edges(0, 2, 100, 27), edges(0, 28, 100, 28), edges(0, 30, 100, 55), edges(0, 56, 100, 56),
          edges(0, 58, 100, 83), edges(0, 84, 100, 84), edges(0, 86, 100, 111),
          edges(0, 112, 100, 112)}},
    };
    for (const Row& row : rows) {
        const SidePanelLayout got = computeSidePanelLayout(row.client);
        EXPECT_EQ(got.photosHeader, row.expected.photosHeader) << row.name;
        EXPECT_EQ(got.photoList, row.expected.photoList) << row.name;
        EXPECT_EQ(got.previewHeader, row.expected.previewHeader) << row.name;
        EXPECT_EQ(got.preview, row.expected.preview) << row.name;
        EXPECT_EQ(got.formatHeader, row.expected.formatHeader) << row.name;
        EXPECT_EQ(got.formatList, row.expected.formatList) << row.name;
        EXPECT_EQ(got.qualityHeader, row.expected.qualityHeader) << row.name;
        EXPECT_EQ(got.gauge, row.expected.gauge) << row.name;
    }
}

TEST(ScrollTargetRow, ScrollsForwardOnlyPastTheMiddleOfThePage) {
    struct Row {
        const char* name;
        int r;
        int top;
        int perPage;
        std::optional<int> expected;
    };
    const Row rows[] = {
        {"middle row itself", 5, 0, 10, std::nullopt},
        {"scrolled list, upper half", 24, 20, 10, std::nullopt},
        {"scrolled list, lower half", 26, 20, 10, 31},
        {"above the first visible row", 2, 20, 10, std::nullopt},
        {"odd page", 4, 0, 7, 7},
        {"empty page", 1, 0, 0, 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(scrollTargetRow(row.r, row.top, row.perPage), row.expected) << row.name;
    }
}

TEST(FileNameOfPath, WhatFollowsTheLastSlash) {
    const std::pair<const char*, const char*> rows[] = {
        {"/photos/2024/IMG_1.jpg", "IMG_1.jpg"}, {"IMG_1.jpg", "IMG_1.jpg"}, {"/photos/", ""}};
    for (const auto& [path, name] : rows) {
        EXPECT_EQ(fileNameOfPath(path), name) << path;
    }
}

} // namespace
