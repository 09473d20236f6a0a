#include <gtest/gtest.h>

#include <Qt>
#include <string>
#include <vector>

#include "engine/ViewKeys.h"

namespace {

struct KeyRow {
    const char* name;
    int key;
    bool keypad;
    bool shift;
    bool alt;
    ViewKey expected;
};

const std::vector<KeyRow> kKeyRows = {
    {"arrow left moves", Qt::Key_Left, false, false, false, KeyAction::MoveLeft},
    {"shift left rotates left", Qt::Key_Left, false, true, false, Command::RotateLeft},
    {"shift up flips vertically", Qt::Key_Up, false, true, false, Command::FlipVertical},
    {"shift right rotates right", Qt::Key_Right, false, true, false, Command::RotateRight},
    {"shift down flips horizontally", Qt::Key_Down, false, true, false, Command::FlipHorizontal},
    {"keypad arrow (num lock off) moves too", Qt::Key_Down, true, false, false,
     KeyAction::MoveDown},
    {"return validates", Qt::Key_Return, false, false, false, KeyAction::Validate},
    {"keypad enter validates", Qt::Key_Enter, true, false, false, KeyAction::Validate},
    {"escape goes on", Qt::Key_Escape, false, false, false, Command::NextPicture},
    {"space toggles full screen", Qt::Key_Space, false, false, false, KeyAction::ToggleFullScreen},
    {"home reloads", Qt::Key_Home, false, false, false, KeyAction::Reload},
    {"delete deletes the result", Qt::Key_Delete, false, false, false, Command::DeleteResult},
    {"backspace deletes the previous result", Qt::Key_Backspace, false, false, false,
     Command::DeletePreviousResult},
    {"B toggles the white border", Qt::Key_B, false, false, false, Command::WhiteBorder},
    {"I toggles the identity sheet", Qt::Key_I, false, true, false, Command::IdSheet},
    {"F1 opens help", Qt::Key_F1, false, false, false, Command::OnlineHelp},
    {"keypad 0 goes back", Qt::Key_0, true, false, false, Command::PreviousPicture},
    {"keypad 0 with num lock off goes back", Qt::Key_Insert, true, false, false,
     Command::PreviousPicture},
    {"keypad 1 grays", Qt::Key_1, true, false, false, Command::Grayscale},
    {"keypad 2 tints sepia", Qt::Key_2, true, false, false, Command::Sepia},
    {"keypad star turns the frame", Qt::Key_Asterisk, true, false, false, Command::TurnFrame},
    {"keypad plus enlarges", Qt::Key_Plus, true, false, false, Command::ZoomIn},
    {"keypad minus shrinks", Qt::Key_Minus, true, false, false, Command::ZoomOut},
    {"keypad slash toggles thirds", Qt::Key_Slash, true, false, false, Command::Thirds},
    {"top-row 0 does nothing", Qt::Key_0, false, false, false, std::monostate{}},
    {"main-keyboard plus does nothing", Qt::Key_Plus, false, false, false, std::monostate{}},
    {"main-keyboard star does nothing", Qt::Key_Asterisk, false, false, false, std::monostate{}},
    {"main-keyboard slash does nothing", Qt::Key_Slash, false, false, false, std::monostate{}},
    {"insert alone does nothing", Qt::Key_Insert, false, false, false, std::monostate{}},
    {"alt letter belongs to the menu bar", Qt::Key_B, false, false, true, std::monostate{}},
    {"an unmapped letter does nothing", Qt::Key_Q, false, false, false, std::monostate{}},
};

TEST(ViewKeys, MapsEveryKeyOfTheKeyMap) {
    for (const KeyRow& row : kKeyRows)
        EXPECT_EQ(mapViewKey(row.key, row.keypad, row.shift, row.alt), row.expected) << row.name;
}

// Steps seen by a held key: each key-down runs BeginKey, the move, then EndKey.
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

TEST(KeyStep, ProgressiveStepsGrowByFourUpTo65AndReleaseResets) {
    EXPECT_EQ(heldKeySteps(20, false, true),
              (std::vector<int>{1,  5,  9,  13, 17, 21, 25, 29, 33, 37,
                                41, 45, 49, 53, 57, 61, 65, 65, 65, 65}));
    KeyStep step;
    for (int i = 0; i < 5; ++i) {
        step.beginKey(false, true);
        step.endKey(true);
    }
    ASSERT_EQ(step.value(), 21);
    step.release();
    EXPECT_EQ(step.value(), 1);
}

TEST(KeyStep, FixedAndCtrlSteps) {
    struct Row {
        const char* name;
        bool ctrl;
        bool progressive;
        int expectedEachPress;
    };
    const Row rows[] = {
        {"progressive off moves by 5", false, false, 5},
        {"ctrl moves by 1 with progressive on", true, true, 1},
        {"ctrl moves by 1 with progressive off", true, false, 1},
    };
    for (const Row& row : rows)
        for (int value : heldKeySteps(6, row.ctrl, row.progressive))
            EXPECT_EQ(value, row.expectedEachPress) << row.name;
}

TEST(RightDrag, LargerMovementWinsAndTiesGoVertical) {
    struct Row {
        const char* name;
        int ax, ay, x, y;
        int expected;
    };
    const Row rows[] = {
        {"drag left shrinks", 100, 100, 90, 102, 10},
        {"drag right enlarges", 100, 100, 112, 97, -12},
        {"drag down shrinks", 100, 100, 101, 108, 8},
        {"drag up enlarges", 100, 100, 99, 93, -7},
        {"tie goes to the vertical movement", 100, 100, 95, 95, -5},
    };
    for (const Row& row : rows)
        EXPECT_EQ(rightDragZoomAmount(row.ax, row.ay, row.x, row.y), row.expected) << row.name;
}

TEST(Layout, SidePanelTakesAFifth) {
    EXPECT_EQ(sidePanelWidth(1001), 200);
}

} // namespace
