#include <gtest/gtest.h>

#include <Qt>
#include <array>
#include <vector>

#include "engine/ViewKeys.h"

namespace {

TEST(ViewKeys, KeypadShiftAndAltDecideWhatAKeyDoes) {
    // clang-format off
    const struct { const char* name; int key; bool keypad, shift, alt; ViewKey expected; } rows[] = {
        {"arrow left moves", Qt::Key_Left, false, false, false, KeyAction::MoveLeft},
        {"shift left rotates left", Qt::Key_Left, false, true, false, Command::RotateLeft},
        {"keypad arrow moves too", Qt::Key_Down, true, false, false, KeyAction::MoveDown},
        {"return validates", Qt::Key_Return, false, false, false, KeyAction::Validate},
        {"escape goes on", Qt::Key_Escape, false, false, false, Command::NextPicture},
        {"I: identity sheet", Qt::Key_I, false, true, false, Command::IdSheet},
        {"keypad 0 goes back", Qt::Key_0, true, false, false, Command::PreviousPicture},
        {"keypad insert goes back", Qt::Key_Insert, true, false, false, Command::PreviousPicture},
        {"keypad star turns the frame", Qt::Key_Asterisk, true, false, false, Command::TurnFrame},
        {"top-row 0 does nothing", Qt::Key_0, false, false, false, std::monostate{}},
        {"main-keyboard plus does nothing", Qt::Key_Plus, false, false, false, std::monostate{}},
        {"insert alone does nothing", Qt::Key_Insert, false, false, false, std::monostate{}},
        {"alt letter belongs to the menu bar", Qt::Key_B, false, false, true, std::monostate{}},
    };
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(mapViewKey(row.key, row.keypad, row.shift, row.alt), row.expected) << row.name;
}

// Steps seen by a held key: each key-down runs beginKey, the move, then endKey.
std::vector<int> heldKeySteps(int presses, bool ctrl, bool progressive) {
    KeyStep step;
    std::vector<int> seen;
    for (int i = 0; i < presses; ++i) {
        step.beginKey(ctrl, progressive);
        seen.push_back(step.value());
        step.endKey(progressive);
    }
    return seen;
}

TEST(ViewKeys, HeldKeyStepsGrowByFourUpTo65UnlessFixed) {
    EXPECT_EQ(heldKeySteps(18, false, true), (std::vector<int>{1, 5, 9, 13, 17, 21, 25, 29, 33, 37,
                                                               41, 45, 49, 53, 57, 61, 65, 65}));
    EXPECT_EQ(heldKeySteps(3, false, false), (std::vector<int>{5, 5, 5}));
    EXPECT_EQ(heldKeySteps(3, true, true), (std::vector<int>{1, 1, 1}));
    KeyStep step;
    step.beginKey(false, true);
    step.endKey(true);
    step.release();
    EXPECT_EQ(step.value(), 1);
}

TEST(ViewKeys, RightDragLargerMovementWinsAndTiesGoVertical) {
    const std::pair<std::array<int, 4>, int> rows[] = {
        {{100, 100, 90, 102}, 10},
        {{100, 100, 112, 97}, -12},
        {{100, 100, 101, 108}, 8},
        {{100, 100, 95, 95}, -5},
    };
    for (const auto& [drag, expected] : rows)
        EXPECT_EQ(rightDragZoomAmount(drag[0], drag[1], drag[2], drag[3]), expected) << drag[2];
    EXPECT_EQ(sidePanelWidth(1001), 200);
}

} // namespace
