#include "app/LockKeyState.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

TEST(LockKeyStateTest, ReadsEachLockFromAnyKeyboardLed) {
    using Leds = std::vector<std::pair<std::string, std::string>>; // folder, brightness
    // clang-format off
    const std::tuple<const char*, Leds, std::optional<LockKeyState>> rows[] = {
        {"no LED folder", {}, std::nullopt},
        {"only other LEDs", {{"phy0-led", "1"}, {"input3::compose", "1"}}, std::nullopt},
        {"each lock from its LED", {{"input3::capslock", "1\n"}, {"input3::numlock", "0\n"},
          {"input3::scrolllock", "0\n"}}, LockKeyState{true, false, false}},
        {"any keyboard showing the lock counts", {{"input3::numlock", "0"}, {"input7::numlock", "1"},
          {"input7::scrolllock", "1"}}, LockKeyState{false, true, true}},
    };
    // clang-format on
    for (const auto& [name, leds, expected] : rows) {
        SCOPED_TRACE(name);
        const QTemporaryDir dir;
        const std::filesystem::path root = dir.path().toStdString() + "/leds";
        for (const auto& [led, brightness] : leds) {
            std::filesystem::create_directories(root / led);
            std::ofstream(root / led / "brightness") << brightness;
        }
        const std::optional<LockKeyState> state = readLockKeyState(root.string());
        ASSERT_EQ(state.has_value(), expected.has_value());
        if (state) {
            EXPECT_EQ(state->capsLock, expected->capsLock);
            EXPECT_EQ(state->numLock, expected->numLock);
            EXPECT_EQ(state->scrollLock, expected->scrollLock);
        }
    }
}
