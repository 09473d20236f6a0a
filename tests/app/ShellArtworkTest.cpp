#include "app/LockKeyState.h"
#include "app/SplashArtwork.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(SplashArtworkTest, PictureSizeAndLightBottomBand) {
    const QImage picture = makeSplashPicture();
    ASSERT_EQ(picture.size(), QSize(497, 360));
    // The version is drawn in dark text: the band under it must be light.
    for (int x = 250; x < 497; x += 20)
        EXPECT_GT(qGray(picture.pixel(x, 345)), 180) << x;
}

TEST(LockKeyStateTest, ReadsEachLockFromAnyKeyboardLed) {
    struct Row {
        const char* name;
        std::vector<std::pair<std::string, std::string>> leds; // folder, brightness
        std::optional<LockKeyState> expected;
    };
    const std::vector<Row> rows{
        {"no LED folder", {}, std::nullopt},
        {"only other LEDs", {{"phy0-led", "1"}, {"input3::compose", "1"}}, std::nullopt},
        {"each lock from its LED",
         {{"input3::capslock", "1\n"}, {"input3::numlock", "0\n"}, {"input3::scrolllock", "0\n"}},
         LockKeyState{true, false, false}},
        {"any keyboard showing the lock counts",
         {{"input3::numlock", "0"}, {"input7::numlock", "1"}},
         LockKeyState{false, true, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const std::filesystem::path root = dir.path().toStdString() + "/leds";
        for (const auto& [name, brightness] : row.leds) {
            std::filesystem::create_directories(root / name);
            std::ofstream(root / name / "brightness") << brightness;
        }
        const auto state = readLockKeyState(root.string());
        ASSERT_EQ(state.has_value(), row.expected.has_value());
        if (state) {
            EXPECT_EQ(state->capsLock, row.expected->capsLock);
            EXPECT_EQ(state->numLock, row.expected->numLock);
            EXPECT_EQ(state->scrollLock, row.expected->scrollLock);
        }
    }
}

} // namespace
