#pragma once

#include "engine/Command.h"

#include <variant>

// The photo view's key map and the small rules of its keyboard and mouse gestures, kept
// apart from the widget so tests reach them directly.

// Keys of the view that run no command of the menu or toolbar.
enum class KeyAction {
    Validate,         // Enter: save the crop, or go on to the next photo
    ToggleFullScreen, // Space: enters and leaves (the menu command only enters)
    Reload,           // Home
    MoveLeft,         // arrows: move the crop frame by the key step
    MoveUp,
    MoveRight,
    MoveDown,
};

// What a key stroke asks for: nothing, a command (run through its action, as from the menu
// or toolbar), or a key-only action.
using ViewKey = std::variant<std::monostate, Command, KeyAction>;

// qtKey is a Qt::Key value. keypad: the key comes from the numeric keypad; the digits and
// the + - * / keys act only from there (with Num Lock off, keypad 0 arrives as Insert and
// still means keypad 0). Alt combinations belong to the menu bar and do nothing here.
[[nodiscard]] ViewKey mapViewKey(int qtKey, bool keypad, bool shift, bool alt);

// Distance in display pixels by which one key stroke moves or zooms the crop frame.
// Holding a key with progressive keys on gives 1, 5, 9, ... 61, 65, 65, ...; with them off
// always 5; with Ctrl always 1; any key release brings it back to 1.
class KeyStep {
public:
    static constexpr int kProgressiveGain = 4;
    static constexpr int kProgressiveCeiling = 64; // grows while below, so tops out at 65
    static constexpr int kFixedStep = 5;

    // Before the key is dispatched.
    void beginKey(bool ctrl, bool progressive);
    // After the key was dispatched (handled or not).
    void endKey(bool progressive);
    // A key was released (not an auto-repeat release).
    void release() { m_step = 1; }

    [[nodiscard]] int value() const { return m_step; }

private:
    int m_step = 1;
};

// Frame zoom amount of a right-button drag from anchor to point (view client pixels):
// dragging left or down makes the frame smaller (positive), right or up larger (negative);
// the larger of the two movements wins, ties go to the vertical one.
[[nodiscard]] int rightDragZoomAmount(int anchorX, int anchorY, int x, int y);

// Width in pixels of the side panel in a view of the given client width.
[[nodiscard]] constexpr int sidePanelWidth(int viewWidth) {
    return viewWidth / 5;
}
