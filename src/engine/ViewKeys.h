#pragma once

// The photo view's key map and the small rules of its keyboard and mouse gestures, kept
// apart from the widget so tests reach them directly.

// What a key stroke asks the view to do.
enum class ViewAction {
    None,
    DeletePreviousResult, // Backspace: previous photo, then delete its result
    Validate,             // Enter
    NextPicture,          // Escape
    ToggleFullScreen,     // Space
    Reload,               // Home
    MoveLeft,
    MoveUp,
    MoveRight,
    MoveDown,
    RotateLeft,     // Shift+Left
    FlipVertical,   // Shift+Up
    RotateRight,    // Shift+Right
    FlipHorizontal, // Shift+Down
    DeleteResult,   // Delete
    ToggleWhiteBorder,
    ToggleIdSheet,
    PreviousPicture, // keypad 0
    Grayscale,       // keypad 1
    Sepia,           // keypad 2
    TurnFrame,       // keypad *
    ZoomIn,          // keypad +: larger frame
    ZoomOut,         // keypad -: smaller frame
    ToggleThirds,    // keypad /
    OnlineHelp,      // F1
};

// qtKey is a Qt::Key value. keypad: the key comes from the numeric keypad; the digits and
// the + - * / keys act only from there (with Num Lock off, keypad 0 arrives as Insert and
// still means keypad 0). Alt combinations belong to the menu bar and do nothing here.
[[nodiscard]] ViewAction MapViewKey(int qtKey, bool keypad, bool shift, bool alt);

// Distance in display pixels by which one key stroke moves or zooms the crop frame.
// Holding a key with progressive keys on gives 1, 5, 9, ... 61, 65, 65, ...; with them off
// always 5; with Ctrl always 1; any key release brings it back to 1.
class KeyStep {
public:
    static constexpr int kProgressiveGain = 4;
    static constexpr int kProgressiveCeiling = 64; // grows while below, so tops out at 65
    static constexpr int kFixedStep = 5;

    // Before the key is dispatched.
    void BeginKey(bool ctrl, bool progressive);
    // After the key was dispatched (handled or not).
    void EndKey(bool progressive);
    // A key was released (not an auto-repeat release).
    void Release() { step = 1; }

    [[nodiscard]] int Value() const { return step; }

private:
    int step = 1;
};

// Frame zoom amount of a right-button drag from anchor to point (view client pixels):
// dragging left or down makes the frame smaller (positive), right or up larger (negative);
// the larger of the two movements wins, ties go to the vertical one.
[[nodiscard]] int RightDragZoomAmount(int anchorX, int anchorY, int x, int y);

// Width in pixels of the side panel in a view of the given client width.
[[nodiscard]] constexpr int SidePanelWidth(int viewWidth) {
    return viewWidth / 5;
}
