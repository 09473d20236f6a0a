#include "app/LockKeyState.h"

#include <QTemporaryDir>
#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

TEST(LockKeyStateTest, EachLockIsLitOnAnyKeyboard) {
    using Leds = std::vector<std::pair<std::string, int>>; // LED folder, brightness
    using State = std::optional<std::array<bool, 3>>;      // caps, num, scroll
    // clang-format off
    const std::tuple<const char*, Leds, State> rows[] = {
        {"no LED folder", {}, std::nullopt},
        {"only other LEDs", {{"phy0-led", 1}, {"input3::compose", 1}}, std::nullopt},
        {"each lock from its own LED", {{"input3::capslock", 1}, {"input3::numlock", 0}}, {{true, false, false}}},
        {"any keyboard lit counts", {{"input3::numlock", 0}, {"input7::numlock", 1}, {"input7::scrolllock", 2}}, {{false, true, true}}},
    };
    // clang-format on
    for (const auto& [name, leds, expected] : rows) {
        SCOPED_TRACE(name);
        const QTemporaryDir dir;
        const std::filesystem::path root = dir.path().toStdString() + "/leds";
        for (const auto& [led, brightness] : leds) {
            std::filesystem::create_directories(root / led);
            std::ofstream(root / led / "brightness") << brightness << '\n';
        }
        const std::optional<LockKeyState> state = readLockKeyState(root.string());
        ASSERT_EQ(state.has_value(), expected.has_value());
        if (state) {
            EXPECT_EQ((std::array{state->capsLock, state->numLock, state->scrollLock}), *expected);
        }
    }
}
