#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/FrameGeometry.h"
#include "engine/RectTesting.h"

namespace {

// A window of the given client size showing a photo in the default 15 x 10 cm format,
// oriented as on load.
FrameGeometry window(int clientW, int clientH, int photoW, int photoH, double heightCm = 15,
                     double widthCm = 10) {
    FrameGeometry g;
    g.setClientSize(clientW, clientH);
    g.setPhotoSize(photoW, photoH);
    g.setFormat(heightCm, widthCm, "15x10");
    g.autoOrient();
    return g;
}

TEST(FrameGeometry, WorkedExample) {
    FrameGeometry g = window(1010, 760, 3000, 2000);
    EXPECT_EQ(g.imageRect(), edges(5, 46, 1005, 714));
    EXPECT_TRUE(g.isFrameRotated());
    EXPECT_DOUBLE_EQ(g.effectiveRatio(), 10.0 / 15.0);

    g.zoomFrame(10);
    ASSERT_EQ(g.shrink(), 10);
    EXPECT_EQ(g.offsetX(), 0);
    EXPECT_EQ(g.offsetY(), 0);
    EXPECT_EQ(g.frameRect(false), edges(20, 56, 990, 704));
    EXPECT_EQ(g.frameRect(true), edges(44, 29, 2956, 1971));
    EXPECT_EQ(g.frameSize(), QSize(2912, 1942));
    EXPECT_EQ(g.printQuality(), 100);
}

TEST(FrameGeometry, PrintResolutionFollowsTheFormatAlongEachSide) {
    const struct {
        const char* name;
        int photoW, photoH, resultW, resultH;
        double heightCm, widthCm;
        std::optional<PrintDpi> dpi;
    } rows[] = {
        {"upright 10 x 15 crop", 2000, 3000, 2000, 3000, 15, 10, PrintDpi{508, 508}},
        {"turned frame: 15 cm along the width", 6000, 4000, 3543, 2362, 15, 10, PrintDpi{600, 600}},
        {"cut a little off one side", 2000, 3000, 2000, 2950, 15, 10, PrintDpi{508, 500}},
        {"square format", 1000, 1000, 1000, 1000, 10, 10, PrintDpi{254, 254}},
        {"no format", 2000, 3000, 2000, 3000, 0, 0, std::nullopt},
        {"empty result", 2000, 3000, 0, 3000, 15, 10, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const FrameGeometry g =
            window(1010, 760, row.photoW, row.photoH, row.heightCm, row.widthCm);
        EXPECT_EQ(g.printResolution(row.resultW, row.resultH), row.dpi);
    }
    EXPECT_EQ(FrameGeometry::printResolution(100, 100, 0.0, 10.0), std::nullopt) << "no width";
    EXPECT_EQ(FrameGeometry::printResolution(100, 100, 10.0, 0.0), std::nullopt) << "no height";
}

TEST(FrameGeometry, SmallPhotoFrameCoversLimitingSideAndScoresZero) {
    const FrameGeometry g = window(1010, 760, 640, 480);
    EXPECT_EQ(g.frameRect(false), edges(185, 166, 825, 594));
    EXPECT_EQ(g.frameSize(), QSize(640, 428));
    EXPECT_EQ(g.printQuality(), 0);
}

TEST(FrameGeometry, NoPhotoGivesEmptyRectangles) {
    FrameGeometry g;
    g.setClientSize(1010, 760);
    g.setFormat(15, 10, "15x10");
    EXPECT_EQ(g.imageRect(), QRect());
    EXPECT_EQ(g.frameRect(true), QRect());
    EXPECT_EQ(g.printQuality(), 0);
}

struct FitRow {
    const char* name;
    int clientW, clientH, photoW, photoH;
    QRect image;
};

TEST(FrameGeometry, ImageRectFitsPhotoIntoWindow) {
    const std::vector<FitRow> rows = {
        {"smaller photo at its own size, centred", 1010, 760, 640, 480, edges(185, 140, 825, 620)},
        {"odd difference shows one pixel more", 1010, 760, 641, 481, edges(184, 139, 826, 621)},
        {"photo exactly the area", 1010, 760, 1000, 750, edges(5, 5, 1005, 755)},
        {"wide photo limited by width", 1010, 760, 4000, 1000, edges(5, 255, 1005, 505)},
        {"tall photo limited by height", 1010, 760, 1500, 3000, edges(317, 5, 693, 755)},
        {"too wide and too tall: width, then height", 1010, 760, 2000, 1600,
         edges(36, 5, 974, 755)},
        {"window smaller than the margins", 8, 8, 100, 100, edges(5, 5, 5, 5)},
    };
    for (const FitRow& row : rows) {
        const FrameGeometry g = window(row.clientW, row.clientH, row.photoW, row.photoH);
        EXPECT_EQ(g.imageRect(), row.image) << row.name;
    }
}

struct MoveRow {
    const char* name;
    int dx, dy;
    QRect frame;
    int offsetX, offsetY;
};

TEST(FrameGeometry, MovesStopAtPhotoEdges) {
    // Image (5, 46, 1005, 714); shrink-10 frame (20, 56, 990, 704): 15 px slack left and
    // right, 10 px above and below.
    const std::vector<MoveRow> rows = {
        {"inside moves freely", 7, -4, edges(27, 52, 997, 700), 7, -4},
        {"past the left edge", -100, 0, edges(5, 56, 975, 704), -15, 0},
        {"past the right edge", 100, 0, edges(35, 56, 1005, 704), 15, 0},
        {"past the top edge", 0, -100, edges(20, 46, 990, 693), 0, -11},
        {"past the bottom edge", 0, 100, edges(20, 67, 990, 714), 0, 11},
        {"exactly to the right edge", 15, 0, edges(35, 56, 1005, 704), 15, 0},
    };
    for (const MoveRow& row : rows) {
        FrameGeometry g = window(1010, 760, 3000, 2000);
        g.zoomFrame(10);
        g.moveFrameX(row.dx);
        g.moveFrameY(row.dy);
        EXPECT_EQ(g.frameRect(false), row.frame) << row.name;
        EXPECT_EQ(g.offsetX(), row.offsetX) << row.name;
        EXPECT_EQ(g.offsetY(), row.offsetY) << row.name;
    }
}

TEST(FrameGeometry, ZoomRefusedWhenFrameWouldLoseItsHeight) {
    // A 3000 x 2000 photo fills 1000 x 668; the turned frame inset by 329 on top and
    // bottom is 10 px high.
    FrameGeometry g = window(1010, 760, 3000, 2000);
    g.zoomFrame(329);
    ASSERT_EQ(g.frameRect(false).height(), 10);

    g.zoomFrame(5);
    EXPECT_EQ(g.shrink(), 329) << "a step of 5 needs more than 10 px of height";
    g.zoomFrame(4);
    EXPECT_EQ(g.shrink(), 333);
    EXPECT_EQ(g.frameRect(false).height(), 2);
}

TEST(FrameGeometry, EnlargingStopsAtLargestFrameAndIsPushedBackInside) {
    FrameGeometry g = window(1010, 760, 3000, 2000);
    g.zoomFrame(10);
    g.moveFrameX(15); // touching the right edge
    g.zoomFrame(-50);
    EXPECT_EQ(g.shrink(), 0);
    EXPECT_EQ(g.frameRect(false), edges(5, 46, 1005, 714));
    EXPECT_EQ(g.offsetX(), 0);
}

struct OrientRow {
    const char* name;
    int photoW, photoH;
    double heightCm, widthCm;
    bool rotated;
};

TEST(FrameGeometry, AutoOrientFollowsPhoto) {
    const std::vector<OrientRow> rows = {
        {"landscape photo, upright format", 3000, 2000, 15, 10, true},
        {"upright photo, upright format", 2000, 3000, 15, 10, false},
        {"landscape photo, landscape format", 3000, 2000, 10, 15, false},
        {"upright photo, landscape format", 2000, 3000, 10, 15, true},
        {"square photo, upright format", 2000, 2000, 15, 10, false},
        {"landscape photo, square format", 3000, 2000, 20, 20, false},
    };
    for (const OrientRow& row : rows) {
        FrameGeometry g = window(1010, 760, row.photoW, row.photoH, row.heightCm, row.widthCm);
        EXPECT_EQ(g.isFrameRotated(), row.rotated) << row.name;
        g.rotateFrame();
        g.setFormat(row.heightCm, row.widthCm, "again");
        EXPECT_EQ(g.isFrameRotated(), row.rotated) << row.name << " (SetFormat re-orients)";
    }
}

TEST(FrameGeometry, IdPhotoModeIsUpright7By9WhateverTheOrientation) {
    for (const bool turn : {false, true}) {
        FrameGeometry g = window(1010, 760, 3000, 2000);
        if (turn) {
            g.rotateFrame();
        }
        ASSERT_EQ(g.isFrameRotated(), !turn);
        g.setIdPhotoMode(true);
        EXPECT_DOUBLE_EQ(g.effectiveRatio(), 9.0 / 7.0);
        // Limited by the 668 px height: 519.55 wide, centred in 1000.
        EXPECT_EQ(g.frameRect(false), edges(245, 46, 765, 714)) << "rotated " << !turn;
        EXPECT_EQ(g.frameRect(true), edges(722, 0, 2278, 2000)) << "rotated " << !turn;
    }
}

TEST(FrameGeometry, RotateFramePushesTurnedFrameBackInside) {
    // 1000 x 900 photo shown as (88, 5, 922, 755); turned 2:3 frame 834 x 556 with 97 px
    // of room above and below.
    FrameGeometry g = window(1010, 760, 1000, 900);
    ASSERT_EQ(g.imageRect(), edges(88, 5, 922, 755));
    ASSERT_TRUE(g.isFrameRotated());
    g.moveFrameY(200);
    ASSERT_EQ(g.offsetY(), 97);
    ASSERT_EQ(bottomEdge(g.frameRect(false)), 755);

    g.rotateFrame();
    EXPECT_FALSE(g.isFrameRotated());
    // Upright 500 x 750 fills the height: the kept offset is taken back to 0.
    EXPECT_EQ(g.offsetY(), 0);
    EXPECT_EQ(g.frameRect(false), edges(255, 5, 755, 755));
}

TEST(FrameGeometry, RotateFrameKeepsOffsetsAndInsetResetClearsThem) {
    FrameGeometry g = window(1010, 760, 3000, 2000);
    g.zoomFrame(100);
    g.moveFrameX(200);
    ASSERT_EQ(g.frameRect(false), edges(305, 146, 1005, 614));
    g.rotateFrame();
    EXPECT_EQ(g.shrink(), 100);
    EXPECT_EQ(g.offsetX(), 150);
    // Upright 445 x 668 less 100 px on each side of its width and 150 on its height.
    EXPECT_EQ(g.frameRect(false), edges(532, 196, 778, 564));
    g.reset(); // no inset, no offsets, upright: 445 x 668 centred
    EXPECT_EQ(g.frameRect(false), edges(282, 46, 728, 714));
}

TEST(FrameGeometry, OffsetsKeptAfterResizeUntilNextMove) {
    // Square photo, upright frame 500 x 750 with 125 px of room on each side.
    FrameGeometry g = window(1010, 760, 2000, 2000);
    ASSERT_EQ(g.imageRect(), edges(130, 5, 880, 755));
    g.moveFrameX(125);
    ASSERT_EQ(g.frameRect(false), edges(380, 5, 880, 755));

    g.setClientSize(410, 760);
    ASSERT_EQ(g.imageRect(), edges(5, 180, 405, 580));
    EXPECT_EQ(g.offsetX(), 125);
    // The frame keeps its pixel offset and sticks out on the right for now.
    EXPECT_EQ(g.frameRect(false), edges(196, 180, 463, 580));

    g.moveFrameX(0);
    EXPECT_EQ(g.offsetX(), 67);
    EXPECT_EQ(g.frameRect(false), edges(138, 180, 405, 580));
}

struct QualityRow {
    const char* name;
    int pixelsPerCm;
    int score;
};

TEST(FrameGeometry, PrintQualityThresholds) {
    const std::vector<QualityRow> rows = {
        {"60 px/cm and fewer score 0", 60, 0},
        {"61 px/cm", 61, 2},
        {"72 px/cm", 72, 30},
        {"84 px/cm", 84, 60},
        {"85 px/cm", 85, 62},
        {"99 px/cm", 99, 97},
        {"100 px/cm", 100, 100},
        {"far beyond is capped", 400, 100},
    };
    for (const QualityRow& row : rows) {
        // 1 x 1 cm format on a square photo: the frame is the whole photo.
        const int side = row.pixelsPerCm;
        FrameGeometry g = window(1010, 760, side, side, 1, 1);
        ASSERT_EQ(g.frameSize(), QSize(side, side)) << row.name;
        EXPECT_EQ(g.printQuality(), row.score) << row.name;
    }
}

TEST(FrameGeometry, PrintQualityTakesTheWeakerSide) {
    // 15 x 10 cm, upright photo and frame: 1000 x 1500 px gives 100 px/cm both ways; the
    // same photo with the frame turned is limited to 1000 x 668: 66 and 66 px/cm.
    FrameGeometry g = window(1010, 760, 1000, 1500);
    ASSERT_FALSE(g.isFrameRotated());
    EXPECT_EQ(g.frameSize(), QSize(1000, 1500));
    EXPECT_EQ(g.printQuality(), 100);
    g.rotateFrame();
    EXPECT_EQ(g.frameSize(), QSize(1000, 668));
    EXPECT_EQ(g.printQuality(), 15);
}

} // namespace
