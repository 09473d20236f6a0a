#include "app/LockKeyState.h"
#include "app/SplashArtwork.h"
#include "app/ToolbarImages.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(ToolbarImagesTest, StripHoldsTwentyPicturesOnTheKeyColour) {
    const QImage strip = MakeToolbarStrip();
    ASSERT_EQ(strip.size(), QSize(600, 22));
    EXPECT_EQ(strip.pixel(0, 21), qRgb(255, 0, 255));
    for (int tile = 0; tile < kToolbarTileCount; ++tile) {
        int drawn = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = tile * 16; x < tile * 16 + 16; ++x)
                drawn += strip.pixel(x, y) != qRgb(255, 0, 255);
        }
        EXPECT_GT(drawn, 30) << "picture " << tile << " is (nearly) empty";
    }
    // Below the pictures and right of them: key colour only.
    for (int x = 0; x < 600; ++x)
        ASSERT_EQ(strip.pixel(x, 20), qRgb(255, 0, 255)) << x;
    for (int y = 0; y < 22; ++y)
        ASSERT_EQ(strip.pixel(400, y), qRgb(255, 0, 255)) << y;
}

TEST(ToolbarImagesTest, KeyColourIsTakenFromTheBottomLeftPixel) {
    struct Row {
        const char* name;
        QRgb background;
        QRgb spot;
    };
    const std::vector<Row> rows{
        {"magenta key", qRgb(255, 0, 255), qRgb(10, 20, 30)},
        {"green key", qRgb(0, 255, 0), qRgb(255, 0, 255)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QImage image(4, 3, QImage::Format_RGB888);
        image.fill(row.background);
        image.setPixel(1, 1, row.spot);
        ReplaceKeyColour(image, QColor(200, 201, 202));
        EXPECT_EQ(image.pixel(0, 2), qRgb(200, 201, 202));
        EXPECT_EQ(image.pixel(3, 0), qRgb(200, 201, 202));
        EXPECT_EQ(image.pixel(1, 1), row.spot);
    }
}

TEST(ToolbarImagesTest, TileIsCutFromTheTopRows) {
    QImage strip = MakeToolbarStrip();
    const QImage tile = ToolbarTile(strip, 19).toImage().convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(tile.size(), QSize(16, 16));
    EXPECT_EQ(tile, strip.copy(19 * 16, 0, 16, 16));
}

TEST(SplashArtworkTest, PictureSizeAndLightBottomBand) {
    const QImage picture = MakeSplashPicture();
    ASSERT_EQ(picture.size(), QSize(497, 360));
    // The version is drawn in the window's default text colour (dark): the band under it
    // must be light.
    for (int x = 250; x < 497; x += 20)
        EXPECT_GT(qGray(picture.pixel(x, 345)), 180) << x;
}

class LockKeyStateTest : public ::testing::Test {
protected:
    void AddLed(const std::string& name, const std::string& brightness) {
        const auto folder = std::filesystem::path(dir.path().toStdString()) / name;
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "brightness") << brightness;
    }
    QTemporaryDir dir;
};

TEST_F(LockKeyStateTest, NoFolderMeansUnknown) {
    EXPECT_FALSE(ReadLockKeyState(dir.path().toStdString() + "/missing").has_value());
}

TEST_F(LockKeyStateTest, OnlyOtherLedsMeansUnknown) {
    AddLed("phy0-led", "1");
    AddLed("input3::compose", "1");
    EXPECT_FALSE(ReadLockKeyState(dir.path().toStdString()).has_value());
}

TEST_F(LockKeyStateTest, ReadsEachLockFromItsLed) {
    AddLed("input3::capslock", "1\n");
    AddLed("input3::numlock", "0\n");
    AddLed("input3::scrolllock", "0\n");
    const auto state = ReadLockKeyState(dir.path().toStdString());
    ASSERT_TRUE(state.has_value());
    EXPECT_TRUE(state->capsLock);
    EXPECT_FALSE(state->numLock);
    EXPECT_FALSE(state->scrollLock);
}

TEST_F(LockKeyStateTest, AnyKeyboardShowingTheLockCounts) {
    AddLed("input3::numlock", "0");
    AddLed("input7::numlock", "1");
    const auto state = ReadLockKeyState(dir.path().toStdString());
    ASSERT_TRUE(state.has_value());
    EXPECT_TRUE(state->numLock);
    EXPECT_FALSE(state->capsLock);
}

} // namespace
