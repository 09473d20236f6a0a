#include <gtest/gtest.h>

#include <optional>

#include "engine/FrameGeometry.h"
#include "engine/RectTesting.h"

namespace {

// A window of the given client size showing a photo in a format (15 x 10 cm unless said),
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
    g.zoomFrame(10);
    EXPECT_EQ(g.frameRect(false), edges(20, 56, 990, 704));
    EXPECT_EQ(g.frameRect(true), edges(44, 29, 2956, 1971));
    EXPECT_EQ(g.frameSize(), QSize(2912, 1942));
    EXPECT_EQ(g.printQuality(), 100);
}

TEST(FrameGeometry, PrintResolutionFollowsTheFormatAlongEachSide) {
    // clang-format off
    const struct { const char* name; int photoW, photoH, resultW, resultH; double heightCm, widthCm; std::optional<PrintDpi> dpi; } rows[] = {
        {"turned frame: 15 cm along the width", 6000, 4000, 3543, 2362, 15, 10, PrintDpi{600, 600}},
        {"cut a little off one side", 2000, 3000, 2000, 2950, 15, 10, PrintDpi{508, 500}},
        {"no format", 2000, 3000, 2000, 3000, 0, 0, std::nullopt},
        {"empty result", 2000, 3000, 0, 3000, 15, 10, std::nullopt},
    };
    // clang-format on
    for (const auto& row : rows) {
        const FrameGeometry g =
            window(1010, 760, row.photoW, row.photoH, row.heightCm, row.widthCm);
        EXPECT_EQ(g.printResolution(row.resultW, row.resultH), row.dpi) << row.name;
    }
    EXPECT_EQ(FrameGeometry::printResolution(100, 100, 10.0, 0.0), std::nullopt) << "no width";
    EXPECT_EQ(FrameGeometry::printResolution(100, 100, 0.0, 10.0), std::nullopt) << "no height";
}

TEST(FrameGeometry, ImageRectFitsPhotoIntoWindow) {
    // clang-format off
    const struct { const char* name; int clientW, clientH, photoW, photoH; QRect image; } rows[] = {
        {"no photo", 1010, 760, 0, 0, QRect()},
        {"smaller photo at its own size, centred", 1010, 760, 640, 480, edges(185, 140, 825, 620)},
        {"odd difference shows one pixel more", 1010, 760, 641, 481, edges(184, 139, 826, 621)},
        {"wide photo limited by width", 1010, 760, 4000, 1000, edges(5, 255, 1005, 505)},
        {"too wide and too tall: width, then height", 1010, 760, 2000, 1600, edges(36, 5, 974, 755)},
        {"window smaller than the margins", 8, 8, 100, 100, edges(5, 5, 5, 5)},
    };
    // clang-format on
    for (const auto& row : rows) {
        const FrameGeometry g = window(row.clientW, row.clientH, row.photoW, row.photoH);
        EXPECT_EQ(g.imageRect(), row.image) << row.name;
    }
    EXPECT_EQ(window(10, 11, 300, 300).frameRect(true), edges(50, 0, 250, 300)) << "shown 0 wide";
}

TEST(FrameGeometry, MovesStopAtPhotoEdges) {
    // Image (5, 46, 1005, 714); shrink-10 frame (20, 56, 990, 704): 15 px slack left and
    // right, 10 px above and below.
    // clang-format off
    const struct { const char* name; int dx, dy; QRect frame; } rows[] = {
        {"inside moves freely", 7, -4, edges(27, 52, 997, 700)},
        {"past the left edge", -100, 0, edges(5, 56, 975, 704)},
        {"exactly to the right edge", 15, 0, edges(35, 56, 1005, 704)},
        {"past the top edge", 0, -100, edges(20, 46, 990, 693)},
        {"past the bottom edge", 0, 100, edges(20, 67, 990, 714)},
    };
    // clang-format on
    for (const auto& row : rows) {
        FrameGeometry g = window(1010, 760, 3000, 2000);
        g.zoomFrame(10);
        g.moveFrameX(row.dx);
        g.moveFrameY(row.dy);
        EXPECT_EQ(g.frameRect(false), row.frame) << row.name;
    }
}

TEST(FrameGeometry, ZoomStopsAtTheLargestFrameAndWhereTheFrameWouldLoseItsHeight) {
    // The turned frame inset by 329 on top and bottom is 10 px high: a step of 5 is refused.
    FrameGeometry g = window(1010, 760, 3000, 2000);
    g.zoomFrame(329);
    g.zoomFrame(5);
    EXPECT_EQ(g.shrink(), 329);
    g.zoomFrame(4);
    EXPECT_EQ(g.frameRect(false).height(), 2);
    g.zoomFrame(-320);
    g.moveFrameX(15);
    g.zoomFrame(-50); // enlarged to the whole photo, pushed back inside
    EXPECT_EQ(g.frameRect(false), edges(5, 46, 1005, 714));
}

TEST(FrameGeometry, FrameInPhotoPixelsScalesEachSideByItsOwnDisplayRatio) {
    // A square photo shown 752 x 751: the inset in photo pixels follows the height.
    FrameGeometry g = window(1010, 761, 2000, 2000);
    ASSERT_EQ(g.imageRect(), edges(129, 5, 881, 756));
    g.zoomFrame(100);
    EXPECT_EQ(g.frameRect(true), edges(599, 399, 1401, 1601));
}

TEST(FrameGeometry, OrientationFollowsThePhotoAndTheIdPhotoModeIsUpright) {
    // clang-format off
    const struct { const char* name; int photoW, photoH; double heightCm, widthCm; bool rotated; } rows[] = {
        {"landscape photo, upright format", 3000, 2000, 15, 10, true},
        {"upright photo, upright format", 2000, 3000, 15, 10, false},
        {"upright photo, landscape format", 2000, 3000, 10, 15, true},
        {"square photo, upright format", 2000, 2000, 15, 10, false},
        {"landscape photo, square format", 3000, 2000, 10, 10, false},
        {"upright photo, square format", 2000, 3000, 10, 10, false},
        {"square photo, landscape format", 2000, 2000, 10, 15, false},
    };
    // clang-format on
    for (const auto& row : rows) {
        FrameGeometry g = window(1010, 760, row.photoW, row.photoH, row.heightCm, row.widthCm);
        EXPECT_EQ(g.isFrameRotated(), row.rotated) << row.name;
        g.rotateFrame();
        g.setFormat(row.heightCm, row.widthCm, "again");
        EXPECT_EQ(g.isFrameRotated(), row.rotated) << row.name << " (a new format re-orients)";
    }
    FrameGeometry g = window(1010, 760, 3000, 2000);
    g.setIdPhotoMode(true); // 7 x 9 limited by the 668 px height, centred
    EXPECT_EQ(g.frameRect(false), edges(245, 46, 765, 714));
    EXPECT_EQ(g.frameRect(true), edges(722, 0, 2278, 2000));
}

TEST(FrameGeometry, TurningKeepsOffsetsInsideThePhoto) {
    FrameGeometry g = window(1010, 760, 3000, 2000);
    g.zoomFrame(100);
    g.moveFrameX(200);
    ASSERT_EQ(g.frameRect(false), edges(305, 146, 1005, 614));
    g.rotateFrame();
    // Upright 445 x 668 less 100 px on each side of its width and 150 on its height.
    EXPECT_EQ(g.frameRect(false), edges(532, 196, 778, 564));
    g.reset();
    EXPECT_EQ(g.frameRect(false), edges(282, 46, 728, 714));

    FrameGeometry tall = window(1010, 760, 1000, 900); // turned frame with 97 px of room
    tall.moveFrameY(200);
    tall.rotateFrame(); // upright 500 x 750 fills the height: the offset is taken back
    EXPECT_EQ(tall.frameRect(false), edges(255, 5, 755, 755));
}

TEST(FrameGeometry, OffsetsKeptAfterResizeUntilNextMove) {
    FrameGeometry g = window(1010, 760, 2000, 2000);
    g.moveFrameX(125);
    g.setClientSize(410, 760);
    EXPECT_EQ(g.frameRect(false), edges(196, 180, 463, 580)) << "sticks out for now";
    g.moveFrameX(0);
    EXPECT_EQ(g.frameRect(false), edges(138, 180, 405, 580));
}

TEST(FrameGeometry, PrintQualityThresholdsOnTheWeakerSide) {
    const std::pair<int, int> rows[] = {{60, 0},  {61, 2},  {72, 30},   {84, 60},
                                        {85, 62}, {99, 97}, {100, 100}, {400, 100}};
    for (const auto& [pixelsPerCm, score] : rows) {
        // 1 x 1 cm format on a square photo: the frame is the whole photo.
        EXPECT_EQ(window(1010, 760, pixelsPerCm, pixelsPerCm, 1, 1).printQuality(), score)
            << pixelsPerCm << " px/cm";
    }
    FrameGeometry g = window(1010, 760, 1000, 1500); // 100 px/cm both ways
    g.rotateFrame();                                 // 1000 x 668: 66 px/cm along 10 cm
    EXPECT_EQ(g.printQuality(), 15);
    EXPECT_EQ(window(1010, 760, 3000, 2000, -15, 10).printQuality(), 0) << "a side below 0";
}

} // namespace
